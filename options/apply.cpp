#include "options/apply.h"

#include "options/param.h"
#include "settings/hidden_start.h"

namespace vornset {
namespace {

// The profile options of the command line, gathered over all of them and written
// into the chosen profile together once every option has been checked.
struct ProfileEdits {
    std::optional<int> profile;
    FileSettings::Profile fields;
    bool nameCut = false;
};

Origin argumentAt(std::uint16_t position)
{
    return {.argument = position + 1};
}

std::optional<Refusal> globalPass(const Plan& plan, std::size_t row, ConfigBlock& block)
{
    const GlobalSetting& setting = GLOBAL_SETTINGS[row];
    for (std::uint16_t position : plan.valuesOf(static_cast<Key>(row))) {
        std::optional<std::uint8_t> code = codeOfValue(setting, plan.value(position), parseNumber);
        if (!code)
            return Refusal{.key = setting.key, .reason = setting.refusal, .at = argumentAt(position)};
        if (setting.field == Setting::stm && *code == hiddenStart && !hiddenStartBootable(block))
            return Refusal{.key = setting.key, .reason = HIDDEN_START_NEEDS, .namesKey = true, .at = argumentAt(position)};
        block.set(setting.field, *code);
    }
    return std::nullopt;
}

// Where the run last set the field: the command line, after every file, or the file
// and line; nothing where the run left it alone.
std::optional<Origin> lastSetting(Setting field, const Plan& plan)
{
    std::size_t row = rowOf(field);
    std::span<const std::uint16_t> options = plan.valuesOf(static_cast<Key>(row));
    if (!options.empty())
        return argumentAt(options.back());
    const FileSettings::Global& file = plan.files.globals[row];
    return file.code ? std::optional<Origin>(file.at) : std::nullopt;
}

// The rule is broken where the run leaves the image starting hidden without a
// countdown or a default boot, unless it was exactly so before the run. The refusal
// names the last of the run's settings that broke it; on the command line the
// countdown before the default boot, and that before the start mode.
std::optional<Refusal> judgeHiddenStart(const HiddenStartBytes& before, const ConfigBlock& after, const Plan& plan)
{
    if (!startsHidden(after) || hiddenStartBootable(after) || hiddenStartBytes(after) == before)
        return std::nullopt;
    std::optional<Refusal> refusal;
    for (Setting field : HIDDEN_START_FIELDS) {
        bool breaks = field == Setting::stm ? startsHidden(after) : after.get(field) == 0;
        std::optional<Origin> at = breaks ? lastSetting(field, plan) : std::nullopt;
        if (at && (!refusal || at->laterThan(refusal->at)))
            refusal = Refusal{.key = globalSetting(field).key, .reason = HIDDEN_START_NEEDS, .namesKey = true, .at = *at};
    }
    if (refusal && refusal->at.file > 0 && plan.loads() > 1)
        refusal->file = plan.loadName(refusal->at.file);
    return refusal;
}

std::optional<Refusal> profilePasses(const Plan& plan, ProfileEdits& edits)
{
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        for (std::uint16_t position : plan.valuesOf(keyOf(setting.field))) {
            std::string_view value = plan.value(position);
            if (setting.field == ProfileField::name) {
                edits.fields.name = nameOf(value);
                edits.nameCut = value.size() > ConfigBlock::nameLength;
                continue;
            }
            std::optional<int> number = numberOfValue(setting, value, parseNumber);
            if (!number)
                return Refusal{.key = setting.key, .reason = setting.refusal, .at = argumentAt(position)};
            (setting.field == ProfileField::profile ? edits.profile : edits.fields.number(setting.field)) = number;
        }
    }
    return std::nullopt;
}

// show= and write= take their words alone, whatever the run does.
std::optional<Refusal> runKeyPasses(const Plan& plan)
{
    for (RunKey key : {RunKey::show, RunKey::write}) {
        const RunSetting& setting = runSetting(key);
        for (std::uint16_t position : plan.valuesOf(keyOf(key)))
            if (!positionOf(setting.words, plan.value(position)))
                return Refusal{.key = setting.key, .reason = setting.refusal, .at = argumentAt(position)};
    }
    return std::nullopt;
}

void applyProfileFields(ConfigBlock& block, std::size_t index, const FileSettings::Profile& fields)
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

} // namespace

Problem checkFileValue(Key key, std::string_view text, FileValue& value)
{
    if (key < firstProfileKey) {
        const GlobalSetting& setting = GLOBAL_SETTINGS[key];
        std::optional<std::uint8_t> code = codeOfValue(setting, text, parseDecimal);
        value.number = code.value_or(0);
        return code ? Problem{} : Problem{setting.refusal};
    }
    const ProfileSetting& setting = PROFILE_SETTINGS[key - firstProfileKey];
    if (setting.field == ProfileField::name) {
        value.name = nameOf(text);
        return text.size() > ConfigBlock::nameLength ? Problem{"at most 16 bytes", true} : Problem{};
    }
    std::optional<int> number = numberOfValue(setting, text, parseDecimal);
    value.number = number.value_or(0);
    return number ? Problem{} : Problem{setting.refusal};
}

bool keepFileValue(Key key, const FileValue& value, int profile, const Origin& at, FileSettings& files)
{
    if (key < firstProfileKey) {
        files.globals[key] = {static_cast<std::uint8_t>(value.number), at};
    } else if (key != keyOf(ProfileField::profile)) {
        FileSettings::Profile& fields = files.profiles[static_cast<std::size_t>(profile - 1)];
        if (key == keyOf(ProfileField::name))
            fields.name = value.name;
        else
            fields.number(PROFILE_SETTINGS[key - firstProfileKey].field) = value.number;
    }
    return files.counted();
}

void applyFileSettings(const FileSettings& files, ConfigBlock& block)
{
    for (std::size_t row = 0; row < files.globals.size(); ++row)
        if (files.globals[row].code)
            block.set(GLOBAL_SETTINGS[row].field, *files.globals[row].code);
    for (std::size_t profile = 0; profile < files.profiles.size(); ++profile)
        applyProfileFields(block, profile, files.profiles[profile]);
}

std::optional<Refusal> applyPlan(const Plan& plan, ConfigBlock& block, GivenName& name)
{
    HiddenStartBytes before = hiddenStartBytes(block);
    applyFileSettings(plan.files, block);
    for (std::size_t row : PASS_ORDER)
        if (std::optional<Refusal> refusal = globalPass(plan, row, block))
            return refusal;
    ProfileEdits edits;
    std::optional<Refusal> refusal = judgeHiddenStart(before, block, plan);
    if (!refusal)
        refusal = profilePasses(plan, edits);
    if (!refusal)
        refusal = runKeyPasses(plan);
    if (refusal)
        return refusal;
    // Without a profile number the profile's values were checked and are dropped.
    if (edits.profile) {
        name = {edits.fields.name.has_value(), edits.nameCut && edits.fields.name, edits.fields.name.value_or(ConfigBlock::Name{})};
        applyProfileFields(block, static_cast<std::size_t>(*edits.profile - 1), edits.fields);
    }
    return std::nullopt;
}

} // namespace vornset
