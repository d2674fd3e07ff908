#pragma once

#include "console/output.h"
#include "image/file_access.h"

#include <span>

namespace vornset {

// Runs one invocation of the tool: arguments as main receives them, the program
// name first. Returns the exit status.
int run(std::span<const char* const> arguments, Output& out, FileAccess& file);

} // namespace vornset
