#include "options/param.h"

#include <algorithm>
#include <charconv>
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

bool param(std::string_view key, std::string_view& value, std::string_view argument)
{
    if (!carries(argument, key))
        return false;
    argument.remove_prefix(key.size() + 1);
    value = argument;
    return true;
}

bool carries(std::string_view argument, std::string_view key)
{
    return argument.size() > key.size() && argument.starts_with(key) && argument[key.size()] == '=';
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
    unsigned long long magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error == std::errc::invalid_argument)
        return 0;
    constexpr unsigned long long largest = INT_MAX;
    if (error == std::errc::result_out_of_range || magnitude > largest + (negative ? 1 : 0))
        return std::nullopt;
    long long number = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return static_cast<int>(number);
}

std::optional<int> parseDecimal(std::string_view text)
{
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    bool digitsOnly = !text.empty() && text.front() != '-';
    if (!digitsOnly || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return number;
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
