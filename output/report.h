#pragma once

#include "output/output.h"
#include "image/config_block.h"

namespace vornset {

// Prints the thirteen global settings of the block, one labelled line each.
void printInfos(const ConfigBlock& block, Output& out);

} // namespace vornset
