#include "options/param.h"

#include <charconv>
#include <climits>

namespace vornset {
namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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

} // namespace vornset
