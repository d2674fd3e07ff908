#pragma once

#include "image/settings_files.h"
#include "options/entry.h"
#include "options/param.h"
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

// The command line's options read once, one entry per argument in their order: the
// setting or run key it gives and its value, or why it is ignored and the key most
// likely meant. The arguments are read here and nowhere else.
struct CommandLine {
    Entries entries;
    // More options than the entries hold; the run is refused.
    bool tooMany = false;
};

// The most options a run takes, more than any platform's command line holds but
// Linux's.
inline constexpr std::size_t mostOptions = 4096;

// Reads the options, the arguments from the second to the last but one. The entries
// stay valid until the next reading. Where inexact is given, an option it marks was
// not held exactly by the text it was given in.
CommandLine readCommandLine(Arguments options, std::span<const bool> inexact = {});

// The first refusal of the command line before the image is opened: too many
// options; a flag, since no key starts with "-"; an option that names another image
// (an existing file, folder or device, or a word without "=" that holds a path
// separator or a dot); one most likely meant as a run key (load=, show=, write=),
// whose misspelling would change what the run does; one that the platform could not
// hold exactly. Only the last argument names the image.
std::optional<Refusal> refuseCommandLine(const CommandLine& commandLine, SettingsFiles& files);

// The key most likely meant by a word that is no key, or nothing: the key it is but
// for case; or the only key of five letters or more that starts with it, where it
// has three or more; or else the nearest, by letters added, dropped, changed or two
// neighbours swapped, whatever their case: one for a key of four letters or fewer,
// two for a longer one.
std::string_view likelyKey(std::string_view typed);

// The same among the keys given, as those of one object of a JSON document.
std::string_view likelyKey(std::string_view typed, std::span<const std::string_view> keys);

} // namespace vornset
