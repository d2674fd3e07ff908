#pragma once

#include "output/output.h"

#include <string_view>

namespace vornset {

// Where users find the tool; the help banner and the version error both point there.
extern const std::string_view projectAddress;

// The help screen as users of the boot manager know it, fixed.
void printHelp(Output& out);

// What --help prints after the help screen: what the fixed screen cannot say.
void printMoreHelp(Output& out);

// The tool's version, from the build, and its licence.
void printVersion(Output& out);

} // namespace vornset
