#pragma once

#include "options/param.h"
#include "settings/refusal.h"

#include <optional>
#include <string_view>

namespace vornset {

// Whether the one argument of a run asks for the help screen: "--help", "-h", or on
// Windows "/?".
bool asksForHelp(std::string_view argument);

// Whether the one argument of a run asks for the version: "--version".
bool asksForVersion(std::string_view argument);

// No key starts with "-", so an option that does is a flag the tool does not have:
// the refusal of the first such option.
std::optional<Refusal> refuseFlags(Arguments options);

// Why an option does nothing, where it does nothing.
enum class Ignored { no, noSuchOption, noProfileChosen };

// Whether the option matches no key, or changes a profile that no "prf=" of the
// options chooses.
Ignored whyIgnored(std::string_view option, Arguments options);

} // namespace vornset
