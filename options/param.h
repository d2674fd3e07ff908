#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// The option arguments: everything between the program name and the image path.
using Arguments = std::span<const char* const>;

// Matches an argument against a key that includes its '=', so that "cnt=" never
// takes "cntval=5". On a match, value is the rest of the argument, read in place.
bool param(std::string_view key, std::string_view& value, const char* argument);

// Reads a number the way atoi does (leading white space, a sign, digits up to the
// first other character, no digits meaning 0), except that a number too large for
// an int is returned as nothing rather than wrapped into some other value.
std::optional<int> parseNumber(std::string_view text);

std::optional<int> numberInRange(std::string_view text, int lowest, int highest);

// Whether the argument starts with any of the keys.
bool startsWithAny(std::string_view argument, std::span<const std::string_view> keys);

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

} // namespace vornset
