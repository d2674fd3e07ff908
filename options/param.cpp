#include "options/param.h"

#include <algorithm>
#include <climits>

namespace vornset {
namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool param(std::string_view key, std::string_view& value, const char* argument)
{
    std::string_view text(argument);
    if (!text.starts_with(key))
        return false;
    text.remove_prefix(key.size());
    value = text;
    return true;
}

std::optional<int> parseNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i]))
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long long magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    long long number = negative ? -magnitude : magnitude;
    if (number > INT_MAX)
        return std::nullopt;
    return static_cast<int>(number);
}

bool startsWithAny(std::string_view argument, std::span<const std::string_view> keys)
{
    return std::any_of(keys.begin(), keys.end(),
                       [argument](std::string_view key) { return argument.starts_with(key); });
}

std::optional<int> numberInRange(std::string_view text, int lowest, int highest)
{
    std::optional<int> number = parseNumber(text);
    if (!number || *number < lowest || *number > highest)
        return std::nullopt;
    return number;
}

} // namespace vornset
