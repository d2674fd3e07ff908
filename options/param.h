#pragma once

#include "settings/refusal.h"

#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// The option arguments: everything between the program name and the image path.
using Arguments = std::span<const char* const>;

// The one way an argument is matched to a key: the key and "=" start it, so that
// "cnt" never takes "cntval=5". On a match, value is the rest of the argument.
bool param(std::string_view key, std::string_view& value, std::string_view argument);

// Whether the argument carries the key.
bool carries(std::string_view argument, std::string_view key);

// Reads a number the way atoi does (leading white space, a sign, digits up to the
// first other character, no digits meaning 0), except that a number too large for
// an int is returned as nothing rather than wrapped into some other value.
std::optional<int> parseNumber(std::string_view text);

// Reads a number strictly: decimal digits alone, nothing before or after them, and
// no more than an int holds.
std::optional<int> parseDecimal(std::string_view text);

} // namespace vornset
