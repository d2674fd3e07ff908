#pragma once

#include "image/config_block.h"
#include "options/plan.h"
#include "output/output.h"
#include "settings/refusal.h"

#include <optional>
#include <string_view>

namespace vornset {

// Prints the block's settings as a settings file that load= reads back: a comment
// line, the thirteen global options in the help screen's order, then each profile's
// section, then the end line. A stored value that no option gives, and a name that a
// line cannot carry, is written as a comment instead, with a warning on err that
// loading leaves it.
void printSettingsAsOptions(const ConfigBlock& block, Output& out, Output& err);

// Reads the text of a settings file, the file'th of the run's load=, into the plan.
// Every line is checked as the command line is, but strictly: a line that is no
// option is refused, a number is decimal digits alone, a name longer than its field
// is refused, and an export must end with its end line. Returns the first line that
// is refused.
std::optional<Refusal> readSettingsText(std::string_view text, int file, Plan& plan);

} // namespace vornset
