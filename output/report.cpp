#include "output/report.h"

#include "settings/settings.h"

#include <cstdint>

namespace vornset {
namespace {

// The labels are padded to the longest, "Countdown value".
constexpr std::size_t labelWidth = 15;

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
        out << setting.label;
        for (std::size_t used = setting.label.size(); used < labelWidth; ++used)
            out << " ";
        out << ": ";
        printValue(setting, valueOf(block, setting.field), out);
        out << "\n";
    }
}

} // namespace vornset
