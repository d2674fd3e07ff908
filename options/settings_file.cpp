#include "options/settings_file.h"

#include "options/global_options.h"
#include "options/show_option.h"
#include "options/write_option.h"

#include <algorithm>

namespace vornset {
namespace {

// What one run's settings files are read into, one after the other.
std::array<char, 65536> settingsText;

// Options of a run that a settings file may not hold.
constexpr std::string_view RUN_KEYS[] = {LOAD_KEY, SHOW_KEY, WRITE_KEY};

// A settings file as it is checked: the profile whose section it is in, and the
// values given for that profile so far.
struct Staging {
    StagedSettings& staged;
    Place place;
    ProfileEdits section;
};

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

void merge(ProfileFields& into, const ProfileFields& from)
{
    if (from.drive)
        into.drive = from.drive;
    if (from.partition)
        into.partition = from.partition;
    if (from.logPart)
        into.logPart = from.logPart;
    if (from.name)
        into.name = from.name;
}

// "prf=N" ends the section of the profile before and starts profile N's.
void closeSection(Staging& staging)
{
    if (staging.section.profile)
        merge(staging.staged.profiles[static_cast<std::size_t>(*staging.section.profile - 1)], staging.section.fields);
    staging.section = {};
}

std::optional<Refusal> stageProfileLine(std::string_view line, Staging& staging)
{
    const ProfileSetting* setting = profileSettingCarriedBy(line);
    if (setting == nullptr)
        return Refusal{{}, "no such option"};
    if (setting->field == ProfileField::profile)
        closeSection(staging);
    else if (!staging.section.profile)
        return Refusal{setting->key, "'prf' must be set", true};
    std::string_view value;
    param(setting->key, value, line);
    return takeProfileValue(*setting, value, staging.section);
}

std::optional<Refusal> stageLine(std::string_view line, Staging& staging)
{
    for (std::string_view key : RUN_KEYS)
        if (carries(line, key))
            return Refusal{key, "not allowed in a settings file", true};
    const GlobalSetting* setting = globalSettingCarriedBy(line);
    if (setting == nullptr)
        return stageProfileLine(line, staging);
    std::string_view value;
    param(setting->key, value, line);
    std::optional<std::uint8_t> code = codeOfArgument(*setting, value);
    if (!code)
        return Refusal{setting->key, setting->refusal};
    std::size_t row = static_cast<std::size_t>(setting - GLOBAL_SETTINGS.data());
    staging.staged.globals[row] = code;
    staging.staged.places[row] = staging.place;
    return std::nullopt;
}

} // namespace

std::optional<Refusal> stageSettings(std::string_view text, int file, StagedSettings& staged)
{
    Staging staging{staged, {file, 0}, {}};
    bool holdsSettings = false;
    while (!text.empty()) {
        ++staging.place.line;
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (isBlank(line) || line.starts_with('#'))
            continue;
        if (std::optional<Refusal> refusal = stageLine(line, staging)) {
            refusal->line = staging.place.line;
            return refusal;
        }
        holdsSettings = true;
    }
    closeSection(staging);
    // An empty file is most often what a failed export left: it restores nothing.
    if (!holdsSettings)
        return Refusal{LOAD_KEY, "the file holds no settings", true};
    return std::nullopt;
}

LoadedSettings readSettingsFiles(Arguments options, SettingsFiles& files)
{
    LoadedSettings loaded;
    int file = 0;
    forEachValue(LOAD_KEY, options, [&](std::string_view name) {
        std::optional<std::size_t> length = files.read(name, settingsText);
        std::string_view text(settingsText.data(), length.value_or(0));
        if (!length || text.find('\0') != std::string_view::npos) {
            loaded.unreadable = name;
            return false;
        }
        loaded.refusal = stageSettings(text, ++file, loaded.staged);
        return !loaded.refusal;
    });
    return loaded;
}

void applyStagedSettings(const StagedSettings& staged, ConfigBlock& block)
{
    for (std::size_t row = 0; row < staged.globals.size(); ++row)
        if (staged.globals[row])
            block.set(GLOBAL_SETTINGS[row].field, *staged.globals[row]);
    for (std::size_t profile = 0; profile < staged.profiles.size(); ++profile)
        applyProfileFields(block, profile, staged.profiles[profile]);
}

} // namespace vornset
