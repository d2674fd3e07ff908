#pragma once

#include "console/output.h"
#include "image/config_block.h"
#include "options/param.h"
#include "options/refusal.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vornset {

// "prf=" chooses the profile that the other four keys change.
inline constexpr std::string_view PROFILE_KEY = "prf=";
inline constexpr std::array<std::string_view, 4> PROFILE_FIELD_KEYS{"prfname=", "btdrv=", "btprt=", "btlog="};

// The values the profile options take: drives 80h to 89h, written "8", a digit and
// "h"; boot partitions and log part. numbers 1 to 4.
inline constexpr std::uint8_t firstBiosDrive = 0x80;
inline constexpr int driveCount = 10;
inline constexpr int lowestPartition = 1;
inline constexpr int highestPartition = 4;

// The values of the profile options, gathered over all arguments and written into
// the block together once every option has been validated. Each is empty until given.
struct ProfileEdits {
    std::optional<int> profile; // 1..16
    std::optional<int> drive;   // the middle digit of 80h..89h
    std::optional<int> partition;
    std::optional<int> logPart;
    std::optional<ConfigBlock::Name> name;
};

// Runs the profile passes. At the first invalid value prints its message and returns false.
bool collectProfileEdits(Arguments options, ProfileEdits& edits, Output& out);

// One argument with a profile key, taken into the edits: why its value was refused,
// if it was. Nothing for an argument without one.
std::optional<Refusal> takeProfileOption(std::string_view argument, ProfileEdits& edits);

// Writes the gathered values into the chosen profile; without a profile number it
// drops them.
void applyProfileEdits(ConfigBlock& block, const ProfileEdits& edits);

} // namespace vornset
