#pragma once

#include "console/output.h"
#include "image/config_block.h"
#include "image/settings_files.h"
#include "options/param.h"

#include <string_view>

namespace vornset {

// "load=FILE" applies a settings file: the options that show=options prints, one a
// line, with "prf=N" starting the lines for profile N.
inline constexpr std::string_view LOAD_KEY = "load=";

// Applies the settings files that the options name, in their order, before any other
// option, so that the command line's own options win. At the first file that cannot
// be read, or the first bad line, prints its message and returns false.
bool loadSettingsFiles(ConfigBlock& block, Arguments options, SettingsFiles& files, Output& out);

// Applies the text of one settings file to the block. Every line is checked as the
// command line is, but strictly: a line that is no option is refused too. The rule
// for a hidden start is judged on the settings as the whole file leaves them. At the
// first bad line prints its message and returns false.
bool applySettings(std::string_view text, ConfigBlock& block, Output& out);

} // namespace vornset
