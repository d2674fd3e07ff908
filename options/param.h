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

// Hands the value of every argument that carries the key to accept, in argument
// order, and stops at the first value it refuses.
template <typename Accept>
bool forEachValue(std::string_view key, Arguments arguments, Accept accept)
{
    for (const char* argument : arguments) {
        std::string_view value;
        if (param(key, value, argument) && !accept(value))
            return false;
    }
    return true;
}

// One option's pass: every argument that carries the setting's key, in argument
// order, handed to take with its value, until take refuses one.
template <typename Setting, typename Take>
std::optional<Refusal> runPass(const Setting& setting, Arguments arguments, Take take)
{
    std::optional<Refusal> refusal;
    forEachValue(setting.key, arguments, [&](std::string_view value) {
        refusal = take(setting, value);
        return !refusal;
    });
    return refusal;
}

// Whether any of the arguments carries the key.
bool anyCarries(Arguments arguments, std::string_view key);

} // namespace vornset
