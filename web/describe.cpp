#include "web/describe.h"

#include "image/boot_image.h"
#include "settings/settings.h"

namespace vornset {
namespace {

// Every text here is the tool's own: none needs escaping.
template <typename Setting>
void printTexts(const Setting& setting, Output& out)
{
    out << "{\"key\": \"" << setting.key << "\", \"sets\": \"" << setting.sets << "\", \"values\": \""
        << setting.values << "\", \"title\": \"" << setting.title << "\", \"hint\": \"" << setting.hint << "\"";
}

void printRange(const NumberRange& range, Output& out)
{
    out << ", \"lowest\": " << range.lowest << ", \"highest\": " << range.highest;
}

void printWords(std::string_view name, std::span<const std::string_view> words, Output& out)
{
    out << ", \"" << name << "\": [";
    for (std::size_t i = 0; i < words.size(); ++i)
        out << (i > 0 ? ", " : "") << "\"" << words[i] << "\"";
    out << "]";
}

void printGlobal(const GlobalSetting& setting, Output& out)
{
    printTexts(setting, out);
    out << ", \"label\": \"" << setting.label << "\"";
    if (takesNumber(setting)) {
        printRange(setting.numbers, out);
    } else {
        printWords("words", setting.words, out);
    }
    if (!setting.choices.empty())
        printWords("choices", setting.choices, out);
    out << ", \"refused\": \"" << setting.refused << "\"";
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
        printTexts(setting, out);
        if (setting.numbers.highest > 0)
            printRange(setting.numbers, out);
        out << "}";
    }
    const NumberRange& partitions = profileSetting(ProfileField::partition).numbers;
    out << "], \"profiles\": " << static_cast<int>(ConfigBlock::profileCount)
        << ", \"nameLength\": " << static_cast<int>(ConfigBlock::nameLength) << ", \"firstDrive\": " << firstBiosDrive
        << ", \"drives\": " << driveCount << ", \"lowestPartition\": " << partitions.lowest
        << ", \"highestPartition\": " << partitions.highest << ", \"imageLeast\": " << static_cast<int>(minimumImageLength)
        << ", \"imageMost\": " << static_cast<int>(BootImage::capacity)
        << ", \"version\": " << static_cast<int>(supportedVersion) << "}";
}

} // namespace vornset
