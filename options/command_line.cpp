#include "options/command_line.h"

#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/show_option.h"
#include "options/write_option.h"

#include <algorithm>

namespace vornset {
namespace {

constexpr std::string_view RUN_KEYS[] = {"load", SHOW_KEY, WRITE_KEY};

bool isRunOption(std::string_view option)
{
    return std::any_of(std::begin(RUN_KEYS), std::end(RUN_KEYS), [option](std::string_view key) { return carries(option, key); });
}

} // namespace

bool asksForHelp(std::string_view argument)
{
#ifdef _WIN32
    if (argument == "/?")
        return true;
#endif
    return argument == "--help" || argument == "-h";
}

bool asksForVersion(std::string_view argument)
{
    return argument == "--version";
}

std::optional<Refusal> refuseFlags(Arguments options)
{
    auto flag = std::find_if(options.begin(), options.end(),
                             [](std::string_view option) { return option.starts_with('-'); });
    if (flag == options.end())
        return std::nullopt;
    return Refusal{*flag, "options are written key=value; run vornset without parameter to see help", true};
}

Ignored whyIgnored(std::string_view option, Arguments options)
{
    const ProfileSetting* profile = profileSettingCarriedBy(option);
    if (profile == nullptr)
        return globalSettingCarriedBy(option) != nullptr || isRunOption(option) ? Ignored::no : Ignored::noSuchOption;
    bool chosen = anyCarries(options, profileSetting(ProfileField::profile).key);
    return profile->field == ProfileField::profile || chosen ? Ignored::no : Ignored::noProfileChosen;
}

} // namespace vornset
