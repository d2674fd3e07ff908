#pragma once

#include "image/config_block.h"
#include "options/entry.h"
#include "options/param.h"
#include "settings/refusal.h"
#include "settings/settings.h"

#include <optional>

namespace vornset {

// The values given for one profile's fields, each empty until given.
struct ProfileFields {
    std::optional<int> drive; // the middle digit of 80h..89h
    std::optional<int> partition;
    std::optional<int> logPart;
    std::optional<ConfigBlock::Name> name;
};

// The profile options of a run, gathered over all arguments and written into the
// block together once every option has been validated.
struct ProfileEdits {
    std::optional<int> profile; // 1..16
    ProfileFields fields;
};

// The row of PROFILE_SETTINGS for a field: the rows are in the fields' order.
inline std::size_t rowOfProfile(ProfileField field)
{
    return static_cast<std::size_t>(field);
}

// The profile option whose key the argument carries, if any.
const ProfileSetting* profileSettingCarriedBy(std::string_view argument);

// How a number is read: as atoi does on the command line, strictly in a file.
using NumberReader = std::optional<int> (*)(std::string_view text);

// Takes one value of a profile option into the edits, or says why it is refused.
std::optional<Refusal> takeProfileValue(const ProfileSetting& setting, std::string_view value, ProfileEdits& edits,
                                        NumberReader readNumber = parseNumber);

// Runs the profile passes in their order over the command line's entries. At the
// first invalid value returns why.
std::optional<Refusal> collectProfileEdits(Entries options, ProfileEdits& edits);

// Writes the given fields into one profile, by its index 0..15.
void applyProfileFields(ConfigBlock& block, std::size_t index, const ProfileFields& fields);

// Writes the gathered values into the chosen profile; without a profile number it
// drops them.
void applyProfileEdits(ConfigBlock& block, const ProfileEdits& edits);

} // namespace vornset
