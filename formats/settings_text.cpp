#include "formats/settings_text.h"

#include "options/apply.h"
#include "options/param.h"
#include "output/messages.h"
#include "output/report.h"
#include "settings/fields.h"

#include <algorithm>

namespace vornset {

using namespace std::string_view_literals;
namespace {

// An export starts with the first and ends with the last; a file that starts so but
// lacks the end line was cut short on its way.
constexpr std::string_view EXPORT_START = "# vornset settings, ";
constexpr std::string_view EXPORT_END = "# end of vornset settings";
constexpr std::string_view COMMENT = "# ";

// Whether a line of a settings file can carry the field's value: a control character
// would break the line, or print otherwise than it reads.
bool carriedAsOption(const Field& field)
{
    return field.kind == ValueKind::name ? !holdsControl(field.name()) : field.kind != ValueKind::none;
}

// The text before the first of the characters, and after it.
std::string_view before(std::string_view text, char c)
{
    return {text.data(), std::min(text.find(c), text.size())};
}

std::string_view after(std::string_view text, std::size_t length)
{
    text.remove_prefix(std::min(length, text.size()));
    return text;
}

// The file'th of the run's settings files as it is read: its line at hand, the
// profile whose section that is in, whether any line gave a value to set, and the
// first line refused.
struct TextReading {
    Plan& plan;
    int file;
    int line = 0;
    // The profile's number, or 0 before the first "prf".
    int profile = 0;
    bool holdsSettings = false;
    std::optional<Refusal> refusal{};

    Origin place() const { return {.file = file, .line = line}; }

    void refuse(std::string_view key, Problem problem, std::string_view meant = {})
    {
        refusal = Refusal{.key = key, .reason = problem.reason, .namesKey = problem.namesKey, .at = place(), .meant = meant};
    }
};

void readLine(std::string_view line, TextReading& reading)
{
    std::string_view key = before(line, '=');
    Key found = keyCarriedBy(line);
    if (found == keyCount)
        return reading.refuse(key, {NO_SUCH_OPTION, !key.empty()}, keyText(likelyOption(key)));
    Problem problem;
    FileValue value;
    if (found >= firstRunKey)
        problem = {"not allowed in a settings file"sv, true};
    else if (found > keyOf(ProfileField::profile) && reading.profile == 0)
        problem = {"'prf' must be set"sv, true};
    else
        problem = checkFileValue(found, after(line, key.size() + 1), value);
    if (problem)
        return reading.refuse(keyText(found), problem);
    // "prf" starts the profile's section; the other four need one.
    if (found == keyOf(ProfileField::profile))
        reading.profile = value.number;
    reading.holdsSettings = true;
    if (!keepFileValue(found, value, reading.profile, reading.place(), reading.plan.files))
        reading.refuse({}, {TOO_MANY_SETTINGS});
}

// Keeps the field that a comment, as an export writes it in place of a value it
// cannot carry, says is left alone.
void noteNotCarried(std::string_view comment, TextReading& reading)
{
    if (!comment.starts_with(COMMENT))
        return;
    comment.remove_prefix(COMMENT.size());
    std::string_view key = before(comment, ':');
    Key found = keyNamed(key);
    if (found >= firstRunKey)
        return;
    comment.remove_prefix(key.size());
    NotCarried left{reading.place(), found, found < firstProfileKey ? 0 : reading.profile, {}};
    if (comment.starts_with(STORED_VALUE) && comment.ends_with(HAS_NO_OPTION_VALUE)) {
        comment.remove_prefix(STORED_VALUE.size());
        comment.remove_suffix(HAS_NO_OPTION_VALUE.size());
        std::optional<int> stored = parseDecimal(comment);
        if (!stored)
            return;
        left.stored = static_cast<unsigned>(*stored);
    } else if (comment != NAME_HOLDS_CONTROL || found != keyOf(ProfileField::name)) {
        return;
    }
    reading.plan.files.leaves(left);
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

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

std::optional<Refusal> readSettingsText(std::string_view text, int file, Plan& plan)
{
    TextReading reading{plan, file};
    bool exported = text.starts_with(EXPORT_START);
    // Whether the end line was read: after it come only blank lines and comments.
    bool ended = false;
    while (!text.empty()) {
        ++reading.line;
        Line line = nextLine(text);
        // A carriage return belongs right before the line feed, and nowhere else.
        if (line.ended && line.text.ends_with('\r'))
            line.text.remove_suffix(1);
        if (line.text.find('\r') != std::string_view::npos) {
            reading.refuse({}, {"carriage return inside a line"sv});
        } else if (isBlank(line.text) || line.text.starts_with('#')) {
            ended = ended || (line.text == EXPORT_END && line.ended);
            noteNotCarried(line.text, reading);
        } else if (ended) {
            reading.refuse({}, {"a setting after the end line"sv});
        } else {
            readLine(line.text, reading);
        }
        if (reading.refusal)
            return reading.refusal;
    }
    reading.line = std::max(reading.line, 1);
    if (exported && !ended)
        reading.refuse({}, {"the settings end before their end line"sv});
    else if (!reading.holdsSettings)
        reading.refusal = noSettings(file);
    return reading.refusal;
}

void printSettingsAsOptions(const ConfigBlock& block, Output& out, Output& err)
{
    out << EXPORT_START << "configuration version " << static_cast<int>(supportedVersion) << "\n";
    if (startsHidden(block) && !hiddenStartBootable(block))
        out << "# this image starts hidden without countdown or default boot: "
               "loading these settings into another image is refused\n";
    for (std::size_t i = 0; i < fieldCount; ++i) {
        Field field = fieldAt(block, i);
        if (carriedAsOption(field)) {
            out << field.key << "=";
            printOptionText(field, out);
        } else {
            out << COMMENT;
            printNotCarried(field, out);
            warnNotCarried({}, 0, field, err);
        }
        out << "\n";
    }
    out << EXPORT_END << "\n";
}

} // namespace vornset
