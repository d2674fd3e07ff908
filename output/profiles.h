#pragma once

#include "output/output.h"
#include "image/config_block.h"

#include <cstdint>

namespace vornset {

// Prints the sixteen boot profiles as a table: number, name, drive, boot partition
// and log part. number, each as stored.
void printProfiles(const ConfigBlock& block, Output& out);

// A BIOS drive number as btdrv= takes it: two lower-case hex digits and "h", as 81h.
void printDrive(Output& out, std::uint8_t drive);

} // namespace vornset
