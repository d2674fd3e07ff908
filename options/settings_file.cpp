#include "options/settings_file.h"

#include "options/global_options.h"
#include "options/settings_staging.h"

#include <algorithm>

namespace vornset {
namespace {

// What one run's settings files are read into, one after the other.
std::array<char, 65536> settingsText;

// What Windows Notepad may put at the start of a UTF-8 file.
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// An export starts with the first and ends with the last; a file that starts so but
// lacks the end line was cut short on its way.
constexpr std::string_view EXPORT_START = "# vornset settings, ";
constexpr std::string_view EXPORT_END = "# end of vornset settings";

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

std::optional<Refusal> stageLine(std::string_view line, Staging& staging)
{
    for (std::string_view key : RUN_KEYS)
        if (carries(line, key))
            return Refusal{key, "not allowed in a settings file", true};
    std::string_view value;
    if (const GlobalSetting* setting = globalSettingCarriedBy(line)) {
        param(setting->key, value, line);
        return stageGlobal(*setting, value, staging);
    }
    const ProfileSetting* setting = profileSettingCarriedBy(line);
    if (setting == nullptr)
        return Refusal{{}, "no such option"};
    param(setting->key, value, line);
    return stageProfileValue(*setting, value, staging);
}

// One line of the text and whether a line end closed it.
struct Line {
    std::string_view text;
    bool ended;
};

Line nextLine(std::string_view& text)
{
    std::size_t end = text.find('\n');
    Line line{{text.data(), end < text.size() ? end : text.size()}, end != std::string_view::npos};
    text.remove_prefix(line.ended ? end + 1 : text.size());
    return line;
}

std::optional<Refusal> stageText(std::string_view text, Staging& staging)
{
    bool exported = text.starts_with(EXPORT_START);
    Line last{};
    while (!text.empty()) {
        ++staging.place.line;
        Line line = nextLine(text);
        // A carriage return belongs right before the line feed, and nowhere else.
        if (line.ended && line.text.ends_with('\r'))
            line.text.remove_suffix(1);
        if (line.text.find('\r') != std::string_view::npos)
            return Refusal{{}, "carriage return inside a line", false, staging.place.line};
        last = line;
        if (isBlank(line.text) || line.text.starts_with('#'))
            continue;
        if (std::optional<Refusal> refusal = stageLine(line.text, staging)) {
            refusal->line = staging.place.line;
            return refusal;
        }
        staging.holdsSettings = true;
    }
    if (exported && !(last.text == EXPORT_END && last.ended))
        return Refusal{{}, "the settings end before their end line", false, std::max(staging.place.line, 1)};
    return std::nullopt;
}

bool isJson(std::string_view text)
{
    std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '{';
}

} // namespace

std::optional<Refusal> stageGlobal(const GlobalSetting& setting, std::string_view value, Staging& staging)
{
    std::optional<std::uint8_t> code = codeOfArgument(setting, value, parseDecimal);
    if (!code)
        return Refusal{setting.key, setting.refusal};
    std::size_t row = static_cast<std::size_t>(&setting - GLOBAL_SETTINGS.data());
    staging.staged.globals[row] = code;
    staging.staged.places[row] = staging.place;
    return std::nullopt;
}

std::optional<Refusal> stageProfileValue(const ProfileSetting& setting, std::string_view value, Staging& staging)
{
    if (setting.field == ProfileField::profile)
        closeSection(staging);
    else if (!staging.section.profile)
        return Refusal{setting.key, "'prf' must be set", true};
    return takeProfileValue(setting, value, staging.section, parseDecimal);
}

void closeSection(Staging& staging)
{
    if (staging.section.profile)
        merge(staging.staged.profiles[static_cast<std::size_t>(*staging.section.profile - 1)], staging.section.fields);
    staging.section = {};
}

std::optional<Refusal> stageSettings(std::string_view text, int file, StagedSettings& staged)
{
    Staging staging{staged, {file, 0}, {}};
    staged.loaded = true;
    if (text.starts_with(BYTE_ORDER_MARK))
        text.remove_prefix(BYTE_ORDER_MARK.size());
    std::optional<Refusal> refusal = isJson(text) ? stageJson(text, staging) : stageText(text, staging);
    if (refusal)
        return refusal;
    closeSection(staging);
    // An empty file is most often what a failed export left: it restores nothing.
    if (!staging.holdsSettings)
        return Refusal{LOAD_KEY, "the file holds no settings", true};
    return std::nullopt;
}

LoadedSettings readSettingsFiles(Arguments options, SettingsFiles& files)
{
    LoadedSettings loaded;
    int file = 0;
    bool several = settingsFileCount(options) > 1;
    forEachValue(LOAD_KEY, options, [&](std::string_view name) {
        std::optional<std::size_t> length = files.read(name, settingsText);
        std::string_view text(settingsText.data(), length.value_or(0));
        if (!length || text.find('\0') != std::string_view::npos) {
            loaded.unreadable = name;
            return false;
        }
        loaded.refusal = stageSettings(text, ++file, loaded.staged);
        if (loaded.refusal && several)
            loaded.refusal->file = name;
        return !loaded.refusal;
    });
    return loaded;
}

std::size_t settingsFileCount(Arguments options)
{
    return static_cast<std::size_t>(
        std::count_if(options.begin(), options.end(), [](const char* option) { return carries(option, LOAD_KEY); }));
}

std::string_view settingsFileName(Arguments options, int file)
{
    std::string_view name;
    forEachValue(LOAD_KEY, options, [&](std::string_view value) {
        name = value;
        return --file > 0;
    });
    return name;
}

void applyStagedSettings(const StagedSettings& staged, ConfigBlock& block)
{
    if (!staged.loaded)
        return;
    for (std::size_t row = 0; row < staged.globals.size(); ++row)
        if (staged.globals[row])
            block.set(GLOBAL_SETTINGS[row].field, *staged.globals[row]);
    for (std::size_t profile = 0; profile < staged.profiles.size(); ++profile)
        applyProfileFields(block, profile, staged.profiles[profile]);
}

} // namespace vornset
