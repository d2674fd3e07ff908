#pragma once

#include "console/output.h"
#include "image/config_block.h"
#include "options/param.h"

namespace vornset {

// "show=" asks for the image's settings in another form after the run's other work:
// the table of profiles, the settings as options, or the settings as JSON.
inline constexpr std::string_view SHOW_KEY = "show=";

// The pass runs after every settings pass and refuses any other value.
bool checkShowOption(Arguments options, Output& out);

// A run whose every option is a valid "show=" only reads the image.
bool onlyShows(Arguments options);

// Prints each form that the options ask for once, in the order first asked, each
// after an empty line where text came before it.
void printShownForms(const ConfigBlock& block, Arguments options, bool afterOtherText, Output& out);

} // namespace vornset
