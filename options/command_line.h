#pragma once

#include "image/settings_files.h"
#include "options/plan.h"
#include "settings/refusal.h"

#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// Whether the one argument of a run asks for the help screen: "--help", "-h", or on
// Windows "/?".
bool asksForHelp(std::string_view argument);

// Whether the one argument of a run asks for the version: "--version".
bool asksForVersion(std::string_view argument);

// Reads the options, the arguments from the second to the last but one, into the
// plan, once: the key each gives, or why it does nothing and the key most likely
// meant; what the run shows, and whether it edits and writes. Where inexact is given,
// an option it marks was not held exactly by the text it was given in.
//
// Returns the first refusal before the image is opened: too many options; a flag,
// since no key starts with "-"; an option that names another image (an existing
// file, folder or device, or a word without "=" that holds a path separator or a
// dot); one most likely meant as a run key, whose misspelling would change what the
// run does; one that the platform could not hold exactly. Only the last argument
// names the image.
std::optional<Refusal> readCommandLine(std::span<const char* const> options, std::span<const bool> inexact,
                                       SettingsFiles& files, Plan& plan);

} // namespace vornset
