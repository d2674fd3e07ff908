#pragma once

#include "image/config_block.h"
#include "settings/settings.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vornset {

// The one way an argument is matched to a key: the key and "=" start it, so that
// "cnt" never takes "cntval=5".
bool carries(std::string_view argument, std::string_view key);

// Reads a number the way atoi does (leading white space, a sign, digits up to the
// first other character, no digits meaning 0), except that a number too large for
// an int is returned as nothing rather than wrapped into some other value.
std::optional<int> parseNumber(std::string_view text);

// Reads a number strictly: decimal digits alone, nothing before or after them, and
// no more than an int holds. Settings files and JSON write numbers so.
std::optional<int> parseDecimal(std::string_view text);

using NumberReader = std::optional<int> (*)(std::string_view text);

// The stored code for a global setting's value: a word as it is, or a number in its
// range as the reader reads it.
std::optional<std::uint8_t> codeOfValue(const GlobalSetting& setting, std::string_view value, NumberReader readNumber);

// What a profile option's value gives: the profile's number, the drive's middle digit
// (80h to 89h, written exactly so), or the partition's or the log part.'s number.
// The name takes any text and gives none.
std::optional<int> numberOfValue(const ProfileSetting& setting, std::string_view value, NumberReader readNumber);

// A name as the field holds it: its first sixteen bytes, the rest zero.
ConfigBlock::Name nameOf(std::string_view value);

} // namespace vornset
