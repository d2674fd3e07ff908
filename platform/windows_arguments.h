#pragma once

#include <span>

namespace vornset {

// The command line as the tool reads it on Windows, made from the wide arguments:
// the options in the ANSI code page, byte for byte as the C runtime would hand them
// to main, and the image path, which is only ever printed, in the console's code
// page, both with "?" for the characters the code page lacks.
std::span<const char* const> narrowArguments(int count, wchar_t* arguments[]);

// Which of the arguments that narrowArguments made hold a "?" for what their code
// page lacks, by position.
std::span<const bool> inexactArguments(int count);

} // namespace vornset
