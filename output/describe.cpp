#include "output/describe.h"

#include "settings/settings.h"

namespace vornset {
namespace {

// Every text here is the tool's own: none needs escaping.
void printTexts(std::string_view key, std::string_view sets, std::string_view values, Output& out)
{
    out << "{\"key\": \"" << key << "\", \"sets\": \"" << sets << "\", \"values\": \"" << values << "\"";
}

void printRange(const NumberRange& range, Output& out)
{
    out << ", \"lowest\": " << range.lowest << ", \"highest\": " << range.highest;
}

void printGlobal(const GlobalSetting& setting, Output& out)
{
    printTexts(setting.key, setting.sets, setting.values, out);
    out << ", \"label\": \"" << setting.label << "\"";
    if (takesNumber(setting)) {
        printRange(setting.numbers, out);
    } else {
        out << ", \"words\": [";
        for (std::size_t i = 0; i < setting.words.size(); ++i)
            out << (i > 0 ? ", " : "") << "\"" << setting.words[i] << "\"";
        out << "]";
    }
    out << "}";
}

} // namespace

void printOptionDescriptions(Output& out)
{
    out << "{\"settings\": [";
    for (std::size_t i = 0; i < GLOBAL_SETTINGS.size(); ++i) {
        out << (i > 0 ? ", " : "");
        printGlobal(GLOBAL_SETTINGS[i], out);
    }
    out << "], \"profileOptions\": [";
    for (std::size_t i = 0; i < PROFILE_SETTINGS.size(); ++i) {
        const ProfileSetting& setting = PROFILE_SETTINGS[i];
        out << (i > 0 ? ", " : "");
        printTexts(setting.key, setting.sets, setting.values, out);
        if (setting.numbers.highest > 0)
            printRange(setting.numbers, out);
        out << "}";
    }
    const NumberRange& partitions = profileSetting(ProfileField::partition).numbers;
    out << "], \"profiles\": " << static_cast<int>(ConfigBlock::profileCount)
        << ", \"nameLength\": " << static_cast<int>(ConfigBlock::nameLength) << ", \"firstDrive\": " << firstBiosDrive
        << ", \"drives\": " << driveCount << ", \"lowestPartition\": " << partitions.lowest
        << ", \"highestPartition\": " << partitions.highest << "}";
}

} // namespace vornset
