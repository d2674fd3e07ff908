#include "output/settings_export.h"

#include "output/profiles.h"
#include "settings/hidden_start.h"
#include "settings/settings.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace vornset {
namespace {

// A profile as the options see it: each field's option value where one gives it.
struct ProfileValues {
    int number;
    ConfigBlock::Name name;
    std::uint8_t drive;
    std::uint8_t partitionByte;
    std::optional<std::uint8_t> driveValue;
    std::optional<int> partition;
    std::optional<int> logPart;
};

std::optional<int> partitionValue(unsigned number)
{
    return isPartitionNumber(number) ? std::optional<int>(static_cast<int>(number)) : std::nullopt;
}

ProfileValues profileValues(const ConfigBlock& block, std::size_t profile)
{
    std::uint8_t drive = block.drive(profile);
    return {static_cast<int>(profile) + 1,
            block.name(profile),
            drive,
            block.partitionByte(profile),
            driveDigit(drive) ? std::optional(drive) : std::nullopt,
            partitionValue(block.bootPartition(profile)),
            partitionValue(block.logPart(profile))};
}

void printValue(const OptionValue& value, Output& out, bool quoted)
{
    if (value.word.empty())
        out << value.number;
    else if (quoted)
        out << "\"" << value.word << "\"";
    else
        out << value.word;
}

void printNoOptionValue(std::string_view key, std::uint8_t stored, Output& out)
{
    out << "# " << key << ": stored value " << static_cast<int>(stored) << " has no option value\n";
}

// One line "KEY=VALUE", the value as print prints it, or the comment where no option
// gives the stored value.
template <typename Value, typename Print>
void printOptionLine(std::string_view key, const std::optional<Value>& value, std::uint8_t stored, Output& out,
                     Print print)
{
    if (!value) {
        printNoOptionValue(key, stored, out);
        return;
    }
    out << key << "=";
    print(*value);
    out << "\n";
}

void printProfileLines(const ProfileValues& profile, Output& out)
{
    out << "prf=" << profile.number << "\n";
    // A control character would break the line, or print otherwise than it reads.
    std::string_view name = textOf(profile.name);
    if (holdsControl(name))
        out << "# prfname: stored name holds a control character\n";
    else
        out << "prfname=" << name << "\n";
    auto number = [&out](int value) { out << value; };
    printOptionLine("btdrv", profile.driveValue, profile.drive, out,
                    [&out](std::uint8_t drive) { printDrive(out, drive); });
    printOptionLine("btprt", profile.partition, profile.partitionByte, out, number);
    printOptionLine("btlog", profile.logPart, profile.partitionByte, out, number);
}

// Printable ASCII stands for itself but for the quote and the backslash; every other
// byte is the code point of its value.
void printJsonString(std::string_view text, Output& out)
{
    out << "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            const char escaped[] = {'\\', c};
            out << std::string_view(escaped, 2);
        } else if (byte >= 0x20 && byte < 0x7F) {
            out << std::string_view(&c, 1);
        } else {
            out << "\\u00" << HexByte{byte};
        }
    }
    out << "\"";
}

template <typename Value, typename Print>
void printJsonOrNull(const std::optional<Value>& value, Output& out, Print print)
{
    if (value)
        print(*value);
    else
        out << "null";
}

void printJsonProfile(const ProfileValues& profile, Output& out)
{
    out << "    {\"prf\": " << profile.number << ", \"prfname\": ";
    printJsonString(textOf(profile.name), out);
    auto number = [&out](int value) { out << value; };
    out << ", \"btdrv\": ";
    printJsonOrNull(profile.driveValue, out, [&out](std::uint8_t drive) {
        out << "\"";
        printDrive(out, drive);
        out << "\"";
    });
    out << ", \"btprt\": ";
    printJsonOrNull(profile.partition, out, number);
    out << ", \"btlog\": ";
    printJsonOrNull(profile.logPart, out, number);
    out << ", \"stored\": {\"partition\": " << static_cast<int>(profile.partitionByte)
        << ", \"drive\": " << static_cast<int>(profile.drive) << ", \"name\": [";
    for (std::size_t i = 0; i < profile.name.size(); ++i)
        out << (i > 0 ? ", " : "") << static_cast<int>(profile.name[i]);
    out << "]}}";
}

void printJsonSettings(const ConfigBlock& block, bool stored, Output& out)
{
    out << (stored ? "  \"stored\": {\n" : "  \"settings\": {\n");
    for (std::size_t i = 0; i < GLOBAL_SETTINGS.size(); ++i) {
        const GlobalSetting& setting = GLOBAL_SETTINGS[i];
        std::uint8_t code = block.get(setting.field);
        out << "    \"" << setting.key << "\": ";
        if (stored)
            out << static_cast<int>(code);
        else
            printJsonOrNull(optionValue(setting, code), out, [&](const OptionValue& value) { printValue(value, out, true); });
        out << (i + 1 < GLOBAL_SETTINGS.size() ? ",\n" : "\n");
    }
    out << "  },\n";
}

// One field's value as show=changes tells it: the option value that gives it, or the
// stored value where none does. Two are the same where their lines in show=options
// would be.
template <typename Value>
struct ChangeValue {
    std::optional<Value> value;
    std::uint8_t stored;

    bool operator==(const ChangeValue& other) const
    {
        return value == other.value && (value || stored == other.stored);
    }
};

template <typename Value, typename Print>
void printChangeValue(const ChangeValue<Value>& field, Output& out, Print print)
{
    if (field.value)
        print(*field.value);
    else
        out << "stored " << static_cast<int>(field.stored);
}

// "KEY: OLD -> NEW", after the profile's number where it is a profile's field.
template <typename Value, typename Print>
void printChange(std::string_view prefix, std::string_view key, const ChangeValue<Value>& before,
                 const ChangeValue<Value>& after, Output& out, Print print)
{
    if (before == after)
        return;
    out << prefix << key << ": ";
    printChangeValue(before, out, print);
    out << " -> ";
    printChangeValue(after, out, print);
    out << "\n";
}

void printProfileChanges(const ProfileValues& before, const ProfileValues& after, Output& out)
{
    char prefixText[] = "prf=NN ";
    auto [end, error] = std::to_chars(prefixText + 4, prefixText + 6, before.number);
    (void)error; // two digits hold every profile number
    *end = ' ';
    std::string_view prefix(prefixText, static_cast<std::size_t>(end + 1 - prefixText));
    if (before.name != after.name)
        out << prefix << "prfname: \"" << Printable{textOf(before.name)} << "\" -> \"" << Printable{textOf(after.name)}
            << "\"\n";
    auto number = [&out](int value) { out << value; };
    printChange(prefix, "btdrv", ChangeValue<std::uint8_t>{before.driveValue, before.drive},
                ChangeValue<std::uint8_t>{after.driveValue, after.drive}, out,
                [&out](std::uint8_t drive) { printDrive(out, drive); });
    printChange(prefix, "btprt", ChangeValue<int>{before.partition, before.partitionByte},
                ChangeValue<int>{after.partition, after.partitionByte}, out, number);
    printChange(prefix, "btlog", ChangeValue<int>{before.logPart, before.partitionByte},
                ChangeValue<int>{after.logPart, after.partitionByte}, out, number);
}

} // namespace

void printChanges(const ConfigBlock& before, const ConfigBlock& after, Output& out)
{
    CountingOutput counted(out);
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        std::uint8_t old = before.get(setting.field), now = after.get(setting.field);
        printChange({}, setting.key, ChangeValue<OptionValue>{optionValue(setting, old), old},
                    ChangeValue<OptionValue>{optionValue(setting, now), now}, counted,
                    [&counted](const OptionValue& value) { printValue(value, counted, false); });
    }
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile)
        printProfileChanges(profileValues(before, profile), profileValues(after, profile), counted);
    if (counted.written() == 0)
        out << "no changes\n";
}

void printSettingsAsOptions(const ConfigBlock& block, Output& out)
{
    out << "# vornset settings, configuration version " << static_cast<int>(supportedVersion) << "\n";
    if (startsHidden(block) && !hiddenStartBootable(block))
        out << "# this image starts hidden without countdown or default boot: "
               "loading these settings into another image is refused\n";
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        std::uint8_t code = block.get(setting.field);
        printOptionLine(setting.key, optionValue(setting, code), code, out,
                        [&out](const OptionValue& value) { printValue(value, out, false); });
    }
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile)
        printProfileLines(profileValues(block, profile), out);
}

void printSettingsAsJson(const ConfigBlock& block, Output& out)
{
    out << "{\n  \"version\": " << static_cast<int>(supportedVersion) << ",\n";
    printJsonSettings(block, false, out);
    printJsonSettings(block, true, out);
    out << "  \"profiles\": [\n";
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile) {
        printJsonProfile(profileValues(block, profile), out);
        out << (profile + 1 < ConfigBlock::profileCount ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
}

} // namespace vornset
