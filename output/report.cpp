#include "output/report.h"

#include "output/profiles.h"
#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

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

// "prf=N " before a profile's field, nothing before a global one.
void printProfilePrefix(const Field& field, Output& out)
{
    if (field.profile > 0)
        out << "prf=" << field.profile << " ";
}

// A name between quotes, escaped so that no two even look alike, and after it any
// bytes that its field holds past the name's end, up to the last that is not zero:
// "AB" (then 43 44). Any other value as its option gives it, or its stored bits.
void printChangeValue(const Field& field, Output& out)
{
    if (field.kind != ValueKind::name) {
        printOptionText(field, out);
        return;
    }
    std::string_view name = field.name();
    out << "\"" << Escaped{name, true} << "\"";
    std::size_t end = field.nameBytes.size();
    while (end > name.size() + 1 && field.nameBytes[end - 1] == 0)
        --end;
    if (end <= name.size() + 1)
        return;
    out << " (then";
    for (std::size_t i = name.size() + 1; i < end; ++i)
        out << " " << HexByte{field.nameBytes[i]};
    out << ")";
}

} // namespace

void printOptionText(const Field& field, Output& out)
{
    switch (field.kind) {
    case ValueKind::word:
        out << field.word;
        break;
    case ValueKind::number:
        out << field.number;
        break;
    case ValueKind::drive:
        printDrive(out, static_cast<std::uint8_t>(field.number));
        break;
    case ValueKind::name:
        out << field.name();
        break;
    case ValueKind::none:
        out << "stored " << static_cast<int>(field.stored);
        break;
    }
}

void printChanges(const ConfigBlock& before, const ConfigBlock& after, Output& out)
{
    CountingOutput counted(out);
    for (std::size_t i = 0; i < fieldCount; ++i) {
        Field old = fieldAt(before, i), now = fieldAt(after, i);
        if (sameValue(old, now))
            continue;
        printProfilePrefix(old, counted);
        counted << old.key << ": ";
        printChangeValue(old, counted);
        counted << " -> ";
        printChangeValue(now, counted);
        counted << "\n";
    }
    if (counted.written() == 0)
        out << "no changes\n";
}

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
