#include "options/show_option.h"

#include <algorithm>

namespace vornset {
namespace {

constexpr std::string_view showKey = "show=";
constexpr std::string_view profilesValue = "profiles";

bool isShowProfiles(const char* argument)
{
    std::string_view value;
    return param(showKey, value, argument) && value == profilesValue;
}

} // namespace

bool checkShowOption(Arguments options, Output& out)
{
    return forEachValue(showKey, options, [&](std::string_view value) {
        if (value == profilesValue)
            return true;
        out << "Parameter error: show, only profiles is valid\n";
        return false;
    });
}

bool showsProfiles(Arguments options)
{
    return std::ranges::any_of(options, isShowProfiles);
}

bool onlyShowsProfiles(Arguments options)
{
    return !options.empty() && std::ranges::all_of(options, isShowProfiles);
}

} // namespace vornset
