#include "output/report.h"

#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vornset {
namespace {

// The labels are padded to the longest, "Countdown value", then ": ".
constexpr std::string_view labelPadding = "               : ";

// The boot manager treats its settings as signed bytes, and so does the report.
int valueOf(const ConfigBlock& block, Setting setting)
{
    return static_cast<std::int8_t>(block.get(setting));
}

void printValue(const GlobalSetting& setting, int value, Output& out)
{
    if (takesNumber(setting))
        out << value + setting.numbers.bias << setting.unit;
    else if (value >= 0 && static_cast<std::size_t>(value) < setting.reportWords.size())
        out << setting.reportWords[static_cast<std::size_t>(value)];
    else
        out << "unknown (" << value << ")";
}

} // namespace

void printInfos(const ConfigBlock& block, Output& out)
{
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        // One piece, label and padding together: the report is most of what is printed.
        std::array<char, labelPadding.size()> start;
        std::copy(labelPadding.begin(), labelPadding.end(), start.begin());
        std::copy(setting.label.begin(), setting.label.end(), start.begin());
        out << std::string_view(start.data(), start.size());
        printValue(setting, valueOf(block, setting.field), out);
        out << "\n";
    }
}

} // namespace vornset
