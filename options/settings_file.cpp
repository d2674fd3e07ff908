#include "options/settings_file.h"

#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/show_option.h"
#include "options/write_option.h"

#include <algorithm>
#include <array>

namespace vornset {
namespace {

// What one run's settings files are read into, one after the other.
std::array<char, 65536> settingsText;

// A settings file as it is applied: the profile whose section it is in, and the
// line that last set each setting the hidden-start rule ties together.
struct Loading {
    ConfigBlock& block;
    ProfileEdits section;
    int lineSetting[3] = {};
};

constexpr Setting HIDDEN_START_FIELDS[] = {Setting::stm, Setting::cnt, Setting::dbt};

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// "KEY, 'prf' must be set", made in a buffer of its own: the key is not known in advance.
Refusal withoutProfile(std::string_view key)
{
    static char text[64];
    constexpr std::string_view reason = ", 'prf' must be set";
    key = key.substr(0, std::min(key.find('='), sizeof text - reason.size()));
    char* end = std::copy(key.begin(), key.end(), text);
    end = std::copy(reason.begin(), reason.end(), end);
    return {text, static_cast<std::size_t>(end - text)};
}

// "prf=N" ends the section of the profile before and starts profile N's.
Refusal applyProfileLine(std::string_view line, Loading& loading)
{
    if (line.starts_with(PROFILE_KEY)) {
        applyProfileEdits(loading.block, loading.section);
        loading.section = {};
    }
    if (startsWithAny(line, PROFILE_FIELD_KEYS) && !loading.section.profile)
        return withoutProfile(line);
    return takeProfileOption(line, loading.section).value_or("no such option");
}

Refusal applyLine(std::string_view line, int number, Loading& loading)
{
    if (line.starts_with(LOAD_KEY))
        return "load, not allowed in a settings file";
    if (line.starts_with(SHOW_KEY))
        return "show, not allowed in a settings file";
    if (line.starts_with(WRITE_KEY))
        return "write, not allowed in a settings file";
    std::optional<GlobalOptionApplied> applied = applyGlobalOption(loading.block, line);
    if (!applied)
        return applyProfileLine(line, loading);
    auto field = std::find(std::begin(HIDDEN_START_FIELDS), std::end(HIDDEN_START_FIELDS), applied->field);
    if (applied->refusal.empty() && field != std::end(HIDDEN_START_FIELDS))
        loading.lineSetting[field - std::begin(HIDDEN_START_FIELDS)] = number;
    return applied->refusal;
}

bool refuseLine(int number, Refusal refusal, Output& out)
{
    out << "Parameter error: load, line " << number << ": " << refusal << "\n";
    return false;
}

// The file may leave a hidden start without a countdown or a default boot only where
// the image had it so: the line that set the last of them is refused, stm first.
bool keepsHiddenStartBootable(const Loading& loading, Output& out)
{
    const ConfigBlock& block = loading.block;
    if (!startsHidden(block) || hiddenStartBootable(block))
        return true;
    for (std::size_t i = 0; i < std::size(HIDDEN_START_FIELDS); ++i) {
        Setting field = HIDDEN_START_FIELDS[i];
        bool offending = field == Setting::stm || block.get(field) == 0;
        if (loading.lineSetting[i] != 0 && offending)
            return refuseLine(loading.lineSetting[i], hiddenStartRefusal(field), out);
    }
    return true;
}

} // namespace

bool applySettings(std::string_view text, ConfigBlock& block, Output& out)
{
    Loading loading{block, {}};
    for (int number = 1; !text.empty(); ++number) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (isBlank(line) || line.starts_with('#'))
            continue;
        if (Refusal refusal = applyLine(line, number, loading); !refusal.empty())
            return refuseLine(number, refusal, out);
    }
    applyProfileEdits(block, loading.section);
    return keepsHiddenStartBootable(loading, out);
}

bool loadSettingsFiles(ConfigBlock& block, Arguments options, SettingsFiles& files, Output& out)
{
    return forEachValue(LOAD_KEY, options, [&](std::string_view name) {
        std::optional<std::size_t> length = files.read(name, settingsText);
        std::string_view text(settingsText.data(), length.value_or(0));
        if (!length || text.find('\0') != std::string_view::npos) {
            out << "Error: unable to read settings from " << Printable{name} << "\n";
            return false;
        }
        return applySettings(text, block, out);
    });
}

} // namespace vornset
