#pragma once

#include "image/config_block.h"
#include "options/entry.h"
#include "options/param.h"
#include "settings/refusal.h"
#include "settings/settings.h"

#include <cstdint>
#include <optional>

namespace vornset {

// The global setting whose key the argument carries, if any.
const GlobalSetting* globalSettingCarriedBy(std::string_view argument);

// The stored code for a command-line value: a word as it is, a number as atoi reads it
// or, in a settings file, as parseDecimal does.
std::optional<std::uint8_t> codeOfArgument(const GlobalSetting& setting, std::string_view value,
                                           std::optional<int> (*readNumber)(std::string_view) = parseNumber);

// Runs one pass per global key in the fixed pass order over the command line's
// entries, storing each valid value in the block as soon as it is seen. "stm=hidden" is refused where the block has no
// countdown or no default boot at that moment. At the first invalid value returns
// why; the block may then hold some of the changes already made.
std::optional<Refusal> applyGlobalOptions(ConfigBlock& block, Entries options);

} // namespace vornset
