#include "options/settings_file.h"

#include "options/command_line.h"
#include "options/global_options.h"
#include "options/settings_staging.h"

#include <algorithm>

namespace vornset {
namespace {

// What one run's settings files are read into, one after the other.
std::array<char, 65536> settingsText;

// The settings of one run's files, in their order.
std::array<Entry, mostFileSettings> fileEntries;

constexpr Refusal TOO_MANY_SETTINGS{{}, "more than 10923 settings"};
static_assert(mostFileSettings == 10923);

// The entry for the setting at hand, where the store has room for it.
Entry* nextEntry(Staging& staging)
{
    if (staging.staged.count == fileEntries.size())
        return nullptr;
    Entry& entry = fileEntries[staging.staged.count++];
    entry = Entry{};
    entry.from = {0, staging.place.file, staging.place.line, staging.within, staging.item};
    return &entry;
}

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
    if (setting == nullptr) {
        std::string_view key = line;
        if (std::size_t equals = line.find('='); equals != std::string_view::npos)
            key.remove_suffix(line.size() - equals);
        Refusal refusal{key, "no such option", !key.empty()};
        refusal.meant = likelyKey(key);
        return refusal;
    }
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
    Line line{{text.data(), std::min(end, text.size())}, end != std::string_view::npos};
    text.remove_prefix(line.ended ? end + 1 : text.size());
    return line;
}

// The table's spelling of a key, or nothing where no option has it.
std::string_view tableKey(std::string_view key)
{
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        if (setting.key == key)
            return setting.key;
    for (const ProfileSetting& setting : PROFILE_SETTINGS)
        if (setting.key == key)
            return setting.key;
    return {};
}

// Keeps the field that a comment, as show=options writes it in place of a value it
// cannot carry, says is left alone: "# KEY: stored value N has no option value" or
// "# prfname: stored name holds a control character".
void noteNotCarried(std::string_view comment, Staging& staging)
{
    constexpr std::string_view valueStart = ": stored value ", valueEnd = " has no option value",
                               name = ": stored name holds a control character";
    if (!comment.starts_with("# "))
        return;
    comment.remove_prefix(2);
    std::size_t colon = comment.find(':');
    if (colon == std::string_view::npos)
        return;
    std::string_view key = tableKey(std::string_view(comment.data(), colon));
    if (key.empty())
        return;
    comment.remove_prefix(colon);
    NotCarried left{staging.place, {}};
    left.field.key = key;
    left.field.profile = staging.section.profile.value_or(0);
    if (comment.starts_with(valueStart) && comment.ends_with(valueEnd)) {
        comment.remove_prefix(valueStart.size());
        comment.remove_suffix(valueEnd.size());
        std::optional<int> stored = parseDecimal(comment);
        if (!stored)
            return;
        left.field.stored = static_cast<unsigned>(*stored);
    } else if (comment == name && key == profileSetting(ProfileField::name).key) {
        left.field.kind = ValueKind::name;
    } else {
        return;
    }
    StagedSettings& staged = staging.staged;
    if (staged.notCarriedCount < staged.notCarried.size())
        staged.notCarried[staged.notCarriedCount++] = left;
}

std::optional<Refusal> stageText(std::string_view text, Staging& staging)
{
    bool exported = text.starts_with(EXPORT_START);
    // Whether the end line was read: after it come only blank lines and comments.
    bool ended = false;
    while (!text.empty()) {
        ++staging.place.line;
        Line line = nextLine(text);
        // A carriage return belongs right before the line feed, and nowhere else.
        if (line.ended && line.text.ends_with('\r'))
            line.text.remove_suffix(1);
        if (line.text.find('\r') != std::string_view::npos)
            return Refusal{{}, "carriage return inside a line", false, staging.place.line};
        if (isBlank(line.text) || line.text.starts_with('#')) {
            ended = ended || (line.text == EXPORT_END && line.ended);
            noteNotCarried(line.text, staging);
            continue;
        }
        if (ended)
            return Refusal{{}, "a setting after the end line", false, staging.place.line};
        if (std::optional<Refusal> refusal = stageLine(line.text, staging)) {
            refusal->line = staging.place.line;
            return refusal;
        }
        staging.holdsSettings = true;
    }
    if (exported && !ended)
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
    Entry* entry = nextEntry(staging);
    if (entry == nullptr)
        return TOO_MANY_SETTINGS;
    entry->kind = Entry::global;
    entry->row = static_cast<std::uint8_t>(&setting - GLOBAL_SETTINGS.data());
    entry->number = *code;
    return std::nullopt;
}

std::optional<Refusal> stageProfileValue(const ProfileSetting& setting, std::string_view value, Staging& staging)
{
    if (setting.field == ProfileField::profile)
        closeSection(staging);
    else if (!staging.section.profile)
        return Refusal{setting.key, "'prf' must be set", true};
    if (setting.field == ProfileField::name && value.size() > ConfigBlock::nameLength)
        return Refusal{setting.key, "at most 16 bytes", true};
    if (std::optional<Refusal> refusal = takeProfileValue(setting, value, staging.section, parseDecimal))
        return refusal;
    Entry* entry = nextEntry(staging);
    if (entry == nullptr)
        return TOO_MANY_SETTINGS;
    entry->kind = Entry::profile;
    entry->row = static_cast<std::uint8_t>(&setting - PROFILE_SETTINGS.data());
    const ProfileFields& fields = staging.section.fields;
    switch (setting.field) {
    case ProfileField::profile:
        entry->number = *staging.section.profile;
        break;
    case ProfileField::name:
        entry->name = *fields.name;
        break;
    case ProfileField::drive:
        entry->number = *fields.drive;
        break;
    case ProfileField::partition:
        entry->number = *fields.partition;
        break;
    case ProfileField::logPart:
        entry->number = *fields.logPart;
        break;
    }
    return std::nullopt;
}

void closeSection(Staging& staging)
{
    staging.section = {};
}

std::optional<Refusal> stageSettings(std::string_view text, int file, StagedSettings& staged)
{
    Staging staging{staged, {file, 0}, {}, 0, {}};
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

LoadedSettings readSettingsFiles(Entries options, SettingsFiles& files)
{
    LoadedSettings loaded;
    int file = 0;
    bool several = settingsFileCount(options) > 1;
    // The pass stops at the first file that cannot be read or is refused.
    runPass(options, Entry::runKey, loadRow, [&](const Entry& option) -> std::optional<Refusal> {
        std::string_view name = option.value;
        SettingsFiles::Reading reading = files.read(name, settingsText);
        std::string_view text(settingsText.data(), reading.length);
        if (reading.fault == SettingsFiles::Fault::none && text.find('\0') != std::string_view::npos)
            reading.fault = SettingsFiles::Fault::zeroByte;
        if (reading.fault != SettingsFiles::Fault::none) {
            loaded.unreadable = {name, reading.fault, files.failure()};
            return Refusal{};
        }
        loaded.refusal = stageSettings(text, ++file, loaded.staged);
        if (loaded.refusal && several)
            loaded.refusal->file = name;
        return loaded.refusal;
    });
    return loaded;
}

std::size_t settingsFileCount(Entries options)
{
    return static_cast<std::size_t>(std::count_if(options.begin(), options.end(), [](const Entry& option) {
        return option.kind == Entry::runKey && option.row == loadRow;
    }));
}

std::string_view settingsFileName(Entries options, int file)
{
    std::string_view name;
    // The pass stops at the file'th.
    runPass(options, Entry::runKey, loadRow, [&](const Entry& option) {
        name = option.value;
        return --file > 0 ? std::nullopt : std::optional<Refusal>(Refusal{});
    });
    return name;
}

Entries StagedSettings::entries() const
{
    return std::span(fileEntries).first(count);
}

void applyStagedSettings(const StagedSettings& staged, ConfigBlock& block)
{
    std::size_t profile = 0;
    for (const Entry& entry : staged.entries()) {
        if (entry.kind == Entry::global) {
            block.set(GLOBAL_SETTINGS[entry.row].field, static_cast<std::uint8_t>(entry.number));
            continue;
        }
        ProfileFields fields;
        switch (PROFILE_SETTINGS[entry.row].field) {
        case ProfileField::profile:
            profile = static_cast<std::size_t>(entry.number - 1);
            break;
        case ProfileField::name:
            fields.name = entry.name;
            break;
        case ProfileField::drive:
            fields.drive = entry.number;
            break;
        case ProfileField::partition:
            fields.partition = entry.number;
            break;
        case ProfileField::logPart:
            fields.logPart = entry.number;
            break;
        }
        applyProfileFields(block, profile, fields);
    }
}

} // namespace vornset
