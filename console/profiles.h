#pragma once

#include "console/output.h"
#include "image/config_block.h"

namespace vornset {

// Prints the sixteen boot profiles as a table: number, name, drive, boot partition
// and log part. number, each as stored.
void printProfiles(const ConfigBlock& block, Output& out);

} // namespace vornset
