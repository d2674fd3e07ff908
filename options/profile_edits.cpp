#include "options/profile_edits.h"

#include <algorithm>

namespace vornset {
namespace {

std::optional<Refusal> numberInto(std::optional<int>& target, const ProfileSetting& setting, std::string_view value,
                                  NumberReader readNumber)
{
    std::optional<int> number = readNumber(value);
    bool inRange = number && *number >= setting.numbers.lowest && *number <= setting.numbers.highest;
    target = inRange ? number : std::nullopt;
    return inRange ? std::nullopt : std::optional<Refusal>(Refusal{setting.key, setting.refusal});
}

// A name longer than the field is cut to its first sixteen bytes.
ConfigBlock::Name nameOf(std::string_view value)
{
    ConfigBlock::Name name{};
    std::copy_n(value.begin(), std::min(value.size(), name.size()), name.begin());
    return name;
}

std::optional<int> driveOf(std::string_view value)
{
    if (value.size() == 3 && value[0] == '8' && value[1] >= '0' && value[1] <= '9' && value[2] == 'h')
        return value[1] - '0';
    return std::nullopt;
}

} // namespace

const ProfileSetting* profileSettingCarriedBy(std::string_view argument)
{
    auto found = std::find_if(PROFILE_SETTINGS.begin(), PROFILE_SETTINGS.end(),
                              [argument](const ProfileSetting& setting) { return carries(argument, setting.key); });
    return found == PROFILE_SETTINGS.end() ? nullptr : &*found;
}

std::optional<Refusal> takeProfileValue(const ProfileSetting& setting, std::string_view value, ProfileEdits& edits,
                                        NumberReader readNumber)
{
    ProfileFields& fields = edits.fields;
    switch (setting.field) {
    case ProfileField::profile:
        return numberInto(edits.profile, setting, value, readNumber);
    case ProfileField::name:
        fields.name = nameOf(value);
        return std::nullopt;
    case ProfileField::drive:
        fields.drive = driveOf(value);
        return fields.drive ? std::nullopt : std::optional<Refusal>(Refusal{setting.key, setting.refusal});
    case ProfileField::partition:
        return numberInto(fields.partition, setting, value, readNumber);
    case ProfileField::logPart:
        return numberInto(fields.logPart, setting, value, readNumber);
    }
    return std::nullopt;
}

std::optional<Refusal> collectProfileEdits(Entries options, ProfileEdits& edits)
{
    for (std::size_t row = 0; row < PROFILE_SETTINGS.size(); ++row) {
        auto take = [&edits, row](const Entry& entry) { return takeProfileValue(PROFILE_SETTINGS[row], entry.value, edits); };
        if (std::optional<Refusal> refusal = runPass(options, Entry::profile, row, take))
            return refusal;
    }
    return std::nullopt;
}

void applyProfileFields(ConfigBlock& block, std::size_t index, const ProfileFields& fields)
{
    if (fields.name)
        block.setName(index, *fields.name);
    if (fields.drive)
        block.setDrive(index, static_cast<std::uint8_t>(firstBiosDrive + *fields.drive));
    if (fields.partition)
        block.setBootPartition(index, static_cast<unsigned>(*fields.partition));
    if (fields.logPart)
        block.setLogPart(index, static_cast<unsigned>(*fields.logPart));
}

void applyProfileEdits(ConfigBlock& block, const ProfileEdits& edits)
{
    if (edits.profile)
        applyProfileFields(block, static_cast<std::size_t>(*edits.profile - 1), edits.fields);
}

} // namespace vornset
