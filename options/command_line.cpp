#include "options/command_line.h"

#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/settings_file.h"

#include <algorithm>
#include <array>
#include <type_traits>

namespace vornset {
namespace {

// The entries of the last reading.
std::array<Entry, mostOptions> optionEntries;

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

bool sameLetter(char a, char b)
{
    return lowerCase(a) == lowerCase(b);
}

// How many letters must be put in, taken out or changed, or pairs of neighbours
// swapped, to make one word the other, whatever their case; no more than limit + 1
// is told.
std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit)
{
    constexpr std::size_t longest = 16;
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > limit || b.size() > longest)
        return limit + 1;
    // Three rows of the table, the row for i at (i + 1) % 3: two back, the last,
    // and the one being filled.
    std::array<std::array<std::size_t, longest + 1>, 3> rows{};
    for (std::size_t j = 0; j <= b.size(); ++j)
        rows[1][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        auto& twoBack = rows[(i + 2) % 3];
        auto& last = rows[i % 3];
        auto& row = rows[(i + 1) % 3];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (sameLetter(a[i - 1], b[j - 1]) ? 0 : 1)});
            if (i > 1 && j > 1 && sameLetter(a[i - 1], b[j - 2]) && sameLetter(a[i - 2], b[j - 1]))
                row[j] = std::min(row[j], twoBack[j - 2] + 1);
        }
    }
    return std::min(rows[(a.size() + 1) % 3][b.size()], limit + 1);
}

bool startsWith(std::string_view key, std::string_view typed)
{
    return key.size() >= typed.size() && std::equal(typed.begin(), typed.end(), key.begin(), sameLetter);
}

// What an argument without "=" most likely means as a key: the letters and digits it
// starts with, so that "write-no" is read as "write".
std::string_view typedKey(std::string_view argument)
{
    std::size_t equals = argument.find('=');
    if (equals != std::string_view::npos)
        return {argument.data(), equals};
    std::size_t end = 0;
    while (end < argument.size()
           && ((argument[end] >= 'a' && argument[end] <= 'z') || (argument[end] >= 'A' && argument[end] <= 'Z')
               || (argument[end] >= '0' && argument[end] <= '9')))
        ++end;
    return {argument.data(), end};
}

Entry readOption(std::string_view argument, int position)
{
    Entry entry;
    entry.text = argument;
    entry.from.argument = position;
    std::string_view value;
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        if (param(setting.key, value, argument)) {
            entry.kind = Entry::global;
            entry.row = static_cast<std::uint8_t>(&setting - GLOBAL_SETTINGS.data());
            entry.value = value;
            return entry;
        }
    for (const ProfileSetting& setting : PROFILE_SETTINGS)
        if (param(setting.key, value, argument)) {
            entry.kind = Entry::profile;
            entry.row = static_cast<std::uint8_t>(&setting - PROFILE_SETTINGS.data());
            entry.value = value;
            return entry;
        }
    for (std::size_t row = 0; row < std::size(RUN_KEYS); ++row)
        if (param(RUN_KEYS[row], value, argument)) {
            entry.kind = Entry::runKey;
            entry.row = static_cast<std::uint8_t>(row);
            entry.value = value;
            return entry;
        }
    if (argument.empty()) {
        entry.why = Ignored::empty;
        return entry;
    }
    bool named = false;
    forEachKey([&](std::string_view key) { named = named || argument == key; });
    entry.why = named ? Ignored::noValue : Ignored::noSuchOption;
    entry.meant = named ? argument : likelyKey(typedKey(argument));
    return entry;
}

bool isPathSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Whether an ignored option names another image: it names what exists, or it is a
// word without "=" that can only be a path.
bool namesAnImage(const Entry& entry, SettingsFiles& files)
{
    if (entry.why != Ignored::noSuchOption && entry.why != Ignored::noValue)
        return false;
    std::string_view text = entry.text;
    bool path = text.find('=') == std::string_view::npos
        && (text.find('.') != std::string_view::npos || std::any_of(text.begin(), text.end(), isPathSeparator));
    return path || files.isFile(text);
}

constexpr std::string_view RUN_KEY_MISSPELT[] = {
    "no such option; did you mean load=?",
    "no such option; did you mean show=?",
    "no such option; did you mean write=?",
};
constexpr std::string_view RUN_KEY_ALONE[] = {
    "options are written load=VALUE",
    "options are written show=VALUE",
    "options are written write=VALUE",
};
static_assert(std::size(RUN_KEYS) == std::size(RUN_KEY_MISSPELT));

// The refusal of an ignored option most likely meant as a run key.
std::optional<Refusal> nearMiss(const Entry& entry)
{
    for (std::size_t row = 0; row < std::size(RUN_KEYS); ++row)
        if (entry.meant == RUN_KEYS[row])
            return Refusal{entry.text, entry.why == Ignored::noValue ? RUN_KEY_ALONE[row] : RUN_KEY_MISSPELT[row], true};
    return std::nullopt;
}

bool choosesProfile(const Entry& entry)
{
    return entry.kind == Entry::profile && PROFILE_SETTINGS[entry.row].field == ProfileField::profile;
}

} // namespace

std::string_view likelyKey(std::string_view typed)
{
    constexpr std::size_t keyCount = std::tuple_size_v<std::remove_cvref_t<decltype(GLOBAL_SETTINGS)>>
        + std::tuple_size_v<std::remove_cvref_t<decltype(PROFILE_SETTINGS)>> + std::size(RUN_KEYS);
    std::array<std::string_view, keyCount> keys{};
    std::size_t count = 0;
    forEachKey([&](std::string_view key) { keys[count++] = key; });
    return likelyKey(typed, keys);
}

std::string_view likelyKey(std::string_view typed, std::span<const std::string_view> keys)
{
    constexpr std::size_t shortKey = 4;
    std::string_view nearest, starting;
    std::size_t best = 3, startingCount = 0;
    for (std::string_view key : keys) {
        std::size_t limit = key.size() <= shortKey ? 1 : 2;
        std::size_t distance = editDistance(typed, key, limit);
        if (distance <= limit && distance < best) {
            best = distance;
            nearest = key;
        }
        if (typed.size() >= 3 && key.size() > shortKey && startsWith(key, typed) && ++startingCount == 1)
            starting = key;
    }
    if (startingCount == 1 && best > 0)
        return starting;
    // A word of one or two letters is within reach of many keys.
    return best < typed.size() ? nearest : std::string_view{};
}

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

CommandLine readCommandLine(Arguments options, std::span<const bool> inexact)
{
    CommandLine read;
    read.tooMany = options.size() > optionEntries.size();
    std::size_t count = std::min(options.size(), optionEntries.size());
    bool chosen = false;
    for (std::size_t i = 0; i < count; ++i) {
        optionEntries[i] = readOption(options[i], static_cast<int>(i) + 1);
        chosen = chosen || choosesProfile(optionEntries[i]);
        if (i + 1 < inexact.size() && inexact[i + 1])
            optionEntries[i].inexact = true;
    }
    read.entries = std::span(optionEntries).first(count);
    if (!chosen)
        for (Entry& entry : std::span(optionEntries).first(count))
            if (entry.kind == Entry::profile && !choosesProfile(entry))
                entry.why = Ignored::noProfileChosen;
    return read;
}

std::optional<Refusal> refuseCommandLine(const CommandLine& commandLine, SettingsFiles& files)
{
    if (commandLine.tooMany)
        return Refusal{{}, "more than 4096 options"};
    Entries entries = commandLine.entries;
    for (const Entry& entry : entries)
        if (entry.text.starts_with('-'))
            return Refusal{entry.text, "options are written key=value; run vornset without parameter to see help", true,
                           0, {}, {}, entry.from.argument};
    for (const Entry& entry : entries)
        if (namesAnImage(entry, files))
            return Refusal{entry.text, "only the last parameter names the image", true, 0, {}, {}, entry.from.argument};
    for (const Entry& entry : entries)
        if (std::optional<Refusal> refusal = entry.why == Ignored::no ? std::nullopt : nearMiss(entry)) {
            refusal->argument = entry.from.argument;
            return refusal;
        }
    for (const Entry& entry : entries)
        if (entry.inexact && !(entry.kind == Entry::runKey && entry.row == loadRow))
            return Refusal{entry.text, "the code page cannot hold it exactly; use only characters of your Windows code page",
                           true, 0, {}, {}, entry.from.argument};
    return std::nullopt;
}

} // namespace vornset
