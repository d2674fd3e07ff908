#pragma once

#include <span>

namespace vornset {

// The command line as the tool reads it on Windows, made from the wide arguments:
// the options in the ANSI code page, byte for byte as the C runtime would hand them
// to main, and the image path, which is only ever printed, in the console's code
// page with "?" for the characters it lacks.
std::span<const char* const> narrowArguments(int count, wchar_t* arguments[]);

} // namespace vornset
