#include "options/show_option.h"

#include "options/refusal.h"

#include <algorithm>

namespace vornset {
namespace {

constexpr std::string_view profilesValue = "profiles";

bool isShowProfiles(const char* argument)
{
    std::string_view value;
    return param(SHOW_KEY, value, argument) && value == profilesValue;
}

} // namespace

bool checkShowOption(Arguments options, Output& out)
{
    return forEachValue(SHOW_KEY, options, [&](std::string_view value) {
        if (value == profilesValue)
            return true;
        return refuse("show, only profiles is valid", out);
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
