#include "options/hidden_start_rule.h"

#include "settings/settings.h"

#include <algorithm>
#include <climits>

namespace vornset {
namespace {

// Whether the field, as the run leaves it, is what breaks the rule.
bool breaksRule(Setting field, const ConfigBlock& after)
{
    return field == Setting::stm ? startsHidden(after) : after.get(field) == 0;
}

bool sets(const Entry& entry, Setting field)
{
    return entry.kind == Entry::global && entry.row == rowOf(field);
}

// Where the run last set the field, as a position in the run's order: the files'
// lines in their order, then the command line. Nothing where the run left it alone.
std::optional<Source> lastSetting(Setting field, const StagedSettings& files, Entries options)
{
    if (std::any_of(options.begin(), options.end(), [field](const Entry& entry) { return sets(entry, field); }))
        return Source{0, INT_MAX, 0};
    std::optional<Source> last;
    for (const Entry& entry : files.entries())
        if (sets(entry, field))
            last = entry.from;
    return last;
}

bool isLater(const Source& a, const Source& b)
{
    return a.file != b.file ? a.file > b.file : a.line > b.line;
}

} // namespace

std::optional<Refusal> judgeHiddenStart(const HiddenStartBytes& before, const ConfigBlock& after,
                                        const StagedSettings& files, Entries options)
{
    if (!startsHidden(after) || hiddenStartBootable(after) || hiddenStartBytes(after) == before)
        return std::nullopt;
    std::optional<Source> last;
    Setting named{};
    for (Setting field : HIDDEN_START_FIELDS) {
        std::optional<Source> place = breaksRule(field, after) ? lastSetting(field, files, options) : std::nullopt;
        if (place && (!last || isLater(*place, *last))) {
            last = place;
            named = field;
        }
    }
    if (!last)
        return std::nullopt;
    Refusal refusal{globalSetting(named).key, HIDDEN_START_NEEDS, true, last->file == INT_MAX ? 0 : last->line};
    if (last->file != INT_MAX && settingsFileCount(options) > 1)
        refusal.file = settingsFileName(options, last->file);
    // In a JSON document, the object the value stands in.
    refusal.within = last->within;
    return refusal;
}

} // namespace vornset
