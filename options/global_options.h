#pragma once

#include "console/output.h"
#include "image/config_block.h"
#include "options/param.h"
#include "options/refusal.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vornset {

// Runs one pass per global key, in a fixed order, storing each valid value in the
// block as soon as it is seen. At the first invalid value prints its message and
// returns false; the block may then hold some of the changes already made.
bool applyGlobalOptions(ConfigBlock& block, Arguments options, Output& out);

// Whether the argument carries one of the thirteen global keys.
bool isGlobalOption(std::string_view argument);

// One argument with a global key, applied to the block as its pass would apply it
// but for the hidden-start rule, which is left to the caller: the field it names
// and why its value was refused, if it was. Nothing for an argument without one.
struct GlobalOptionApplied {
    Setting field;
    Refusal refusal;
};
std::optional<GlobalOptionApplied> applyGlobalOption(ConfigBlock& block, std::string_view argument);

// Whether the block's settings leave a hidden start with a countdown and a default boot.
bool hiddenStartBootable(const ConfigBlock& block);

// Whether the block's start mode is the hidden one.
bool startsHidden(const ConfigBlock& block);

// The refusal for a block that breaks the hidden-start rule, as the setting of this
// field broke it.
Refusal hiddenStartRefusal(Setting field);

// What an option gives a setting: a word, or, where the word is empty, a number.
struct OptionValue {
    std::string_view word;
    int number;
};

// A global setting as the options see it: its key without "=", its stored byte, and
// the value that an option would give for it, if any option can.
struct GlobalSetting {
    std::string_view name;
    std::uint8_t stored;
    std::optional<OptionValue> value;
};

// The thirteen global settings of the block in the help screen's order.
std::array<GlobalSetting, 13> globalSettings(const ConfigBlock& block);

// What a global option takes: its words, or where it has none, the numbers from
// lowest to highest.
struct GlobalOptionValues {
    std::string_view name;
    std::span<const std::string_view> words;
    int lowest;
    int highest;
};

// The values of the thirteen global options in the help screen's order.
std::array<GlobalOptionValues, 13> globalOptionValues();

} // namespace vornset
