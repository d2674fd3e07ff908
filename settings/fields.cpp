#include "settings/fields.h"

namespace vornset {
namespace {

Field globalField(const ConfigBlock& block, const GlobalSetting& setting)
{
    std::uint8_t code = block.get(setting.field);
    Field field;
    field.key = setting.key;
    field.stored = code;
    if (std::optional<OptionValue> value = optionValue(setting, code)) {
        field.kind = value->word.empty() ? ValueKind::number : ValueKind::word;
        field.word = value->word;
        field.number = value->number;
    }
    return field;
}

Field profileField(const ConfigBlock& block, std::size_t profile, const ProfileSetting& setting)
{
    Field field;
    field.key = setting.key;
    field.profile = static_cast<int>(profile) + 1;
    switch (setting.field) {
    case ProfileField::profile:
        field.stored = static_cast<unsigned>(field.profile);
        field.kind = ValueKind::number;
        field.number = field.profile;
        break;
    case ProfileField::name:
        field.kind = ValueKind::name;
        field.nameBytes = block.name(profile);
        break;
    case ProfileField::drive:
        field.stored = block.drive(profile);
        field.kind = driveDigit(block.drive(profile)) ? ValueKind::drive : ValueKind::none;
        field.number = block.drive(profile);
        break;
    case ProfileField::partition:
    case ProfileField::logPart:
        field.stored = setting.field == ProfileField::partition ? block.bootPartition(profile) : block.logPart(profile);
        field.kind = isPartitionNumber(field.stored) ? ValueKind::number : ValueKind::none;
        field.number = static_cast<int>(field.stored);
        break;
    }
    return field;
}

} // namespace

Field fieldAt(const ConfigBlock& block, std::size_t index)
{
    if (index < GLOBAL_SETTINGS.size())
        return globalField(block, GLOBAL_SETTINGS[index]);
    index -= GLOBAL_SETTINGS.size();
    return profileField(block, index / fieldsPerProfile, PROFILE_SETTINGS[index % fieldsPerProfile]);
}

bool sameValue(const Field& a, const Field& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case ValueKind::none:
        return a.stored == b.stored;
    case ValueKind::word:
        return a.word == b.word;
    case ValueKind::name:
        return a.nameBytes == b.nameBytes;
    case ValueKind::number:
    case ValueKind::drive:
        break;
    }
    return a.number == b.number;
}

} // namespace vornset
