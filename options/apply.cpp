#include "options/apply.h"

#include "options/param.h"

namespace vornset {

using namespace std::string_view_literals;
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

// The passes over the command line's options, each over the options of its key in
// their order; the first value refused ends them.
class Passes {
public:
    Passes(const Plan& plan, ConfigBlock& block) : plan_(plan), block_(block) {}

    std::optional<Refusal> refusal;

    bool globals()
    {
        for (std::size_t row : PASS_ORDER) {
            const GlobalSetting& setting = GLOBAL_SETTINGS[row];
            for (std::uint16_t position : plan_.valuesOf(static_cast<Key>(row))) {
                std::optional<std::uint8_t> code = codeOfValue(setting, plan_.value(position), parseNumber);
                if (!code)
                    return refuse(setting.key, {setting.refusal}, argumentAt(position));
                if (setting.field == Setting::stm && *code == hiddenStart && !hiddenStartBootable(block_))
                    return refuse(setting.key, {HIDDEN_START_NEEDS, true}, argumentAt(position));
                block_.set(setting.field, *code);
            }
        }
        return true;
    }

    // The rule is broken where the run leaves the image starting hidden without a
    // countdown or a default boot, unless it was exactly so before the run. The
    // refusal names the last of the run's settings that broke it; on the command line
    // the countdown before the default boot, and that before the start mode.
    bool hiddenStartRule(const HiddenStartBytes& before)
    {
        if (!startsHidden(block_) || hiddenStartBootable(block_) || hiddenStartBytes(block_) == before)
            return true;
        for (Setting field : HIDDEN_START_FIELDS) {
            bool breaks = field == Setting::stm ? startsHidden(block_) : block_.get(field) == 0;
            std::optional<Origin> at = breaks ? lastSetting(field) : std::nullopt;
            if (at && (!refusal || at->laterThan(refusal->at)))
                refuse(globalSetting(field).key, {HIDDEN_START_NEEDS, true}, *at, true);
        }
        return !refusal;
    }

    bool profiles(ProfileEdits& edits)
    {
        for (const ProfileSetting& setting : PROFILE_SETTINGS) {
            for (std::uint16_t position : plan_.valuesOf(keyOf(setting.field))) {
                std::string_view value = plan_.value(position);
                if (setting.field == ProfileField::name) {
                    edits.fields.name = nameOf(value);
                    edits.nameCut = value.size() > ConfigBlock::nameLength;
                    continue;
                }
                std::optional<int> number = numberOfValue(setting, value, parseNumber);
                if (!number)
                    return refuse(setting.key, {setting.refusal}, argumentAt(position));
                (setting.field == ProfileField::profile ? edits.profile : edits.fields.number(setting.field)) = number;
            }
        }
        return true;
    }

    // show= and write= take their words alone, whatever the run does.
    bool runKeys()
    {
        for (RunKey key : {RunKey::show, RunKey::write}) {
            const RunSetting& setting = runSetting(key);
            for (std::uint16_t position : plan_.valuesOf(keyOf(key)))
                if (!positionOf(setting.words, plan_.value(position)))
                    return refuse(setting.key, {setting.refusal}, argumentAt(position));
        }
        return true;
    }

private:
    bool refuse(std::string_view key, Problem problem, const Origin& at, bool again = false)
    {
        if (!refusal || again)
            refusal = Refusal{.key = key, .reason = problem.reason, .namesKey = problem.namesKey, .at = at,
                              .file = at.file > 0 && plan_.loads() > 1 ? plan_.loadName(at.file) : std::string_view{}};
        return false;
    }

    // Where the run last set the field: the command line, after every file, or the
    // file and line; nothing where the run left it alone.
    std::optional<Origin> lastSetting(Setting field) const
    {
        std::size_t row = rowOf(field);
        std::span<const std::uint16_t> options = plan_.valuesOf(static_cast<Key>(row));
        if (!options.empty())
            return argumentAt(options.back());
        const std::optional<FileSettings::Global>& file = plan_.files.globals[row];
        return file ? std::optional<Origin>(file->at) : std::nullopt;
    }

    const Plan& plan_;
    ConfigBlock& block_;
};

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
        return text.size() > ConfigBlock::nameLength ? Problem{"at most 16 bytes"sv, true} : Problem{};
    }
    std::optional<int> number = numberOfValue(setting, text, parseDecimal);
    value.number = number.value_or(0);
    return number ? Problem{} : Problem{setting.refusal};
}

bool keepFileValue(Key key, const FileValue& value, int profile, const Origin& at, FileSettings& files)
{
    if (key < firstProfileKey) {
        files.globals[key] = FileSettings::Global{static_cast<std::uint8_t>(value.number), at};
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
        if (files.globals[row])
            block.set(GLOBAL_SETTINGS[row].field, files.globals[row]->code);
    for (std::size_t profile = 0; profile < files.profiles.size(); ++profile)
        applyProfileFields(block, profile, files.profiles[profile]);
}

std::optional<Refusal> applyPlan(const Plan& plan, ConfigBlock& block, GivenName& name)
{
    HiddenStartBytes before = hiddenStartBytes(block);
    applyFileSettings(plan.files, block);
    Passes passes(plan, block);
    ProfileEdits edits;
    if (!passes.globals() || !passes.hiddenStartRule(before) || !passes.profiles(edits) || !passes.runKeys())
        return passes.refusal;
    // Without a profile number the profile's values were checked and are dropped.
    if (edits.profile) {
        name = {edits.fields.name.has_value(), edits.nameCut && edits.fields.name, edits.fields.name.value_or(ConfigBlock::Name{})};
        applyProfileFields(block, static_cast<std::size_t>(*edits.profile - 1), edits.fields);
    }
    return std::nullopt;
}

} // namespace vornset
