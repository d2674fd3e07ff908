#pragma once

#include "console/output.h"
#include "options/param.h"

#include <string_view>

namespace vornset {

// Whether the one argument of a run asks for the help screen: "--help", "-h", or on
// Windows "/?".
bool asksForHelp(std::string_view argument);

// Whether the one argument of a run asks for the version: "--version".
bool asksForVersion(std::string_view argument);

// No key starts with "-", so an option that does is a flag the tool does not have.
// Prints the refusal of the first such option and returns false.
bool refuseFlags(Arguments options, Output& out);

// Warns, a line each, of the options that do nothing: those that match no key, and
// those that change a profile when no "prf=" chooses one.
void warnOfIgnoredOptions(Arguments options, Output& err);

} // namespace vornset
