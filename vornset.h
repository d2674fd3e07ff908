#pragma once

#include "console/output.h"
#include "image/file_access.h"
#include "image/settings_files.h"

#include <span>

namespace vornset {

// What one run reaches beyond its arguments: the image file, the settings files that
// load= names, and the standard output for everything the tool prints and the
// standard error for warnings about the run itself.
struct Io {
    FileAccess& image;
    SettingsFiles& settings;
    Output& out;
    Output& err;
};

// Runs one invocation of the tool: arguments as main receives them, the program
// name first. Returns the exit status.
int run(std::span<const char* const> arguments, Io io);

} // namespace vornset
