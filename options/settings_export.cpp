#include "options/settings_export.h"

#include "console/profiles.h"
#include "options/global_options.h"
#include "options/profile_edits.h"

#include <algorithm>
#include <optional>

namespace vornset {
namespace {

// A profile as the options see it: each field's option value where one gives it.
struct ProfileSetting {
    int number;
    ConfigBlock::Name name;
    std::uint8_t drive;
    std::uint8_t partitionByte;
    std::optional<std::uint8_t> driveValue;
    std::optional<int> partition;
    std::optional<int> logPart;
};

std::optional<int> inPartitionRange(unsigned value)
{
    int number = static_cast<int>(value);
    return number >= lowestPartition && number <= highestPartition ? std::optional<int>(number) : std::nullopt;
}

ProfileSetting profileSetting(const ConfigBlock& block, std::size_t profile)
{
    std::uint8_t drive = block.drive(profile);
    return {static_cast<int>(profile) + 1,
            block.name(profile),
            drive,
            block.partitionByte(profile),
            drive >= firstBiosDrive && drive < firstBiosDrive + driveCount ? std::optional(drive) : std::nullopt,
            inPartitionRange(block.bootPartition(profile)),
            inPartitionRange(block.logPart(profile))};
}

// A settings file's line ends where the name would break it.
bool lineCanCarry(std::string_view name)
{
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
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

void printProfileLines(const ProfileSetting& profile, Output& out)
{
    out << "prf=" << profile.number << "\n";
    std::string_view name = textOf(profile.name);
    if (lineCanCarry(name))
        out << "prfname=" << name << "\n";
    else
        out << "# prfname: stored name holds a control character\n";
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
    constexpr std::string_view hexDigits = "0123456789abcdef";
    out << "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            const char escaped[] = {'\\', c};
            out << std::string_view(escaped, 2);
        } else if (byte >= 0x20 && byte < 0x7F) {
            out << std::string_view(&c, 1);
        } else {
            const char escaped[] = {'\\', 'u', '0', '0', hexDigits[byte >> 4], hexDigits[byte & 0xF]};
            out << std::string_view(escaped, sizeof escaped);
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

void printJsonProfile(const ProfileSetting& profile, Output& out)
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

void printJsonSettings(const std::array<GlobalSetting, 13>& settings, bool stored, Output& out)
{
    out << (stored ? "  \"stored\": {\n" : "  \"settings\": {\n");
    for (std::size_t i = 0; i < settings.size(); ++i) {
        out << "    \"" << settings[i].name << "\": ";
        if (stored)
            out << static_cast<int>(settings[i].stored);
        else
            printJsonOrNull(settings[i].value, out, [&](const OptionValue& value) { printValue(value, out, true); });
        out << (i + 1 < settings.size() ? ",\n" : "\n");
    }
    out << "  },\n";
}

} // namespace

void printSettingsAsOptions(const ConfigBlock& block, Output& out)
{
    out << "# vornset settings, configuration version " << static_cast<int>(supportedVersion) << "\n";
    for (const GlobalSetting& setting : globalSettings(block))
        printOptionLine(setting.name, setting.value, setting.stored, out,
                        [&out](const OptionValue& value) { printValue(value, out, false); });
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile)
        printProfileLines(profileSetting(block, profile), out);
}

void printSettingsAsJson(const ConfigBlock& block, Output& out)
{
    std::array<GlobalSetting, 13> settings = globalSettings(block);
    out << "{\n  \"version\": " << static_cast<int>(supportedVersion) << ",\n";
    printJsonSettings(settings, false, out);
    printJsonSettings(settings, true, out);
    out << "  \"profiles\": [\n";
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile) {
        printJsonProfile(profileSetting(block, profile), out);
        out << (profile + 1 < ConfigBlock::profileCount ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
}

} // namespace vornset
