#include "options/command_line.h"

#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/settings_file.h"

#include <algorithm>
#include <array>

namespace vornset {
namespace {

bool isRunOption(std::string_view option)
{
    return std::any_of(std::begin(RUN_KEYS), std::end(RUN_KEYS), [option](std::string_view key) { return carries(option, key); });
}

// Calls each with every key an option may have.
template <typename Each>
void forEachKey(Each each)
{
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        each(setting.key);
    for (const ProfileSetting& setting : PROFILE_SETTINGS)
        each(setting.key);
    for (std::string_view key : RUN_KEYS)
        each(key);
}

char lowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// How many letters must be put in, taken out or changed to make one word the other,
// whatever their case; no more than limit + 1 is told.
std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit)
{
    constexpr std::size_t longest = 16;
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > limit || b.size() > longest)
        return limit + 1;
    std::array<std::size_t, longest + 1> row{};
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (lowerCase(a[i - 1]) == lowerCase(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return std::min(row[b.size()], limit + 1);
}

// The only key that starts with what was typed, or else the key nearest to it,
// within two letters.
std::string_view likelyKey(std::string_view typed)
{
    constexpr std::size_t limit = 2;
    std::string_view nearest, starting;
    std::size_t best = limit + 1, startingCount = 0;
    forEachKey([&](std::string_view key) {
        std::size_t distance = editDistance(typed, key, limit);
        if (distance < best) {
            best = distance;
            nearest = key;
        }
        if (!typed.empty() && key.starts_with(typed) && ++startingCount == 1)
            starting = key;
    });
    if (startingCount == 1)
        return starting;
    // A word of one or two letters is within two of many keys.
    return best <= limit && best < typed.size() ? nearest : std::string_view{};
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
    if (profile != nullptr) {
        bool chosen = anyCarries(options, profileSetting(ProfileField::profile).key);
        return profile->field == ProfileField::profile || chosen ? Ignored{} : Ignored{Ignored::noProfileChosen, {}};
    }
    if (globalSettingCarriedBy(option) != nullptr || isRunOption(option))
        return {};
    bool named = false;
    forEachKey([&](std::string_view key) { named = named || option == key; });
    if (named)
        return {Ignored::noValue, option};
    std::size_t equals = option.find('=');
    return {Ignored::noSuchOption, likelyKey({option.data(), equals < option.size() ? equals : option.size()})};
}

} // namespace vornset
