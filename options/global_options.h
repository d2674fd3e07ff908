#pragma once

#include "console/output.h"
#include "image/config_block.h"
#include "options/param.h"

namespace vornset {

// Runs one pass per global key, in a fixed order, storing each valid value in the
// block as soon as it is seen. At the first invalid value prints its message and
// returns false; the block may then hold some of the changes already made.
bool applyGlobalOptions(ConfigBlock& block, Arguments options, Output& out);

// Whether the argument carries one of the thirteen global keys.
bool isGlobalOption(std::string_view argument);

} // namespace vornset
