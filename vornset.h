#pragma once

#include "image/clock.h"
#include "image/file_access.h"
#include "image/settings_files.h"
#include "output/output.h"
#include "settings/refusal.h"

#include <optional>
#include <span>

namespace vornset {

// What one run reaches beyond its arguments: the image file, the settings files that
// load= names, the standard output for everything the tool prints and the standard
// error for warnings about the run itself, and the clock that a wait for the image's
// lock runs by. Where refused is given, a refusal is also left there, for a caller
// that finds the field it names.
struct Io {
    FileAccess& image;
    SettingsFiles& settings;
    Output& out;
    Output& err;
    Clock& clock;
    std::optional<Refusal>* refused = nullptr;
    // Where the platform marks them, the arguments it could not hold exactly, by
    // their position.
    std::span<const bool> inexact{};
};

// Runs one invocation of the tool: arguments as main receives them, the program
// name first. Every input is read before the image is opened, and nothing is
// printed before it is closed. Returns the exit status.
int run(std::span<const char* const> arguments, Io io);

} // namespace vornset
