#pragma once

#include "image/config_block.h"

#include <array>
#include <cstdint>

namespace vornset {

// The three settings the rule for a hidden start ties together, in the order in
// which a refusal names the one that broke it.
inline constexpr std::array<Setting, 3> HIDDEN_START_FIELDS{Setting::cnt, Setting::dbt, Setting::stm};

inline constexpr std::uint8_t hiddenStart = 1;

bool startsHidden(const ConfigBlock& block);

// Without a countdown and a default boot, a hidden menu would leave nothing to boot.
bool hiddenStartBootable(const ConfigBlock& block);

// The three bytes the rule reads, to tell whether a run changed them.
using HiddenStartBytes = std::array<std::uint8_t, 3>;
HiddenStartBytes hiddenStartBytes(const ConfigBlock& block);

} // namespace vornset
