#include "options/param.h"

#include <algorithm>
#include <climits>

namespace vornset {
namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::optional<int> inRange(std::optional<int> number, const NumberRange& range)
{
    return number && *number >= range.lowest && *number <= range.highest ? number : std::nullopt;
}

} // namespace

bool carries(std::string_view argument, std::string_view key)
{
    return argument.size() > key.size() && argument.starts_with(key) && argument[key.size()] == '=';
}

// The decimal digits that text starts with, read as a number, and how many there
// are; nothing where the number is more than an int holds, negative or not.
std::optional<long long> leadingDigits(std::string_view text, std::size_t& count, bool negative)
{
    constexpr long long largest = INT_MAX;
    long long magnitude = 0;
    for (count = 0; count < text.size() && text[count] >= '0' && text[count] <= '9'; ++count) {
        magnitude = magnitude * 10 + (text[count] - '0');
        if (magnitude > largest + (negative ? 1 : 0))
            return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

std::optional<int> parseNumber(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isWhiteSpace(text[start]))
        ++start;
    text.remove_prefix(start);
    bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    std::size_t count = 0;
    std::optional<long long> number = leadingDigits(text, count, negative);
    return number ? std::optional<int>(static_cast<int>(*number)) : std::nullopt;
}

std::optional<int> parseDecimal(std::string_view text)
{
    std::size_t count = 0;
    std::optional<long long> number = leadingDigits(text, count, false);
    if (!number || count == 0 || count != text.size())
        return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<std::uint8_t> codeOfValue(const GlobalSetting& setting, std::string_view value, NumberReader readNumber)
{
    if (!takesNumber(setting))
        return codeOfWord(setting, value);
    std::optional<int> number = readNumber(value);
    return number ? codeOfNumber(setting, *number) : std::nullopt;
}

std::optional<int> numberOfValue(const ProfileSetting& setting, std::string_view value, NumberReader readNumber)
{
    switch (setting.field) {
    case ProfileField::name:
        return std::nullopt;
    case ProfileField::drive:
        if (value.size() == 3 && value[0] == '8' && value[1] >= '0' && value[1] <= '9' && value[2] == 'h')
            return value[1] - '0';
        return std::nullopt;
    case ProfileField::profile:
    case ProfileField::partition:
    case ProfileField::logPart:
        break;
    }
    return inRange(readNumber(value), setting.numbers);
}

ConfigBlock::Name nameOf(std::string_view value)
{
    ConfigBlock::Name name{};
    std::copy_n(value.begin(), std::min(value.size(), name.size()), name.begin());
    return name;
}

} // namespace vornset
