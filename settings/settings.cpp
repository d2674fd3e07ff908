#include "settings/settings.h"

#include "settings/words.h"

#include <algorithm>

namespace vornset {

const std::array<GlobalSetting, 13> GLOBAL_SETTINGS{{
    {"vm", Setting::vm, "Video mode", VIDEOMODE, "", VIDEOMODE_VALUES, {},
     "vm, run vornset without parameter to see help", "video mode", "text, 640x480, 800x600, 1024x768, 1280x1024"},
    {"stm", Setting::stm, "Start mode", STARTMODE, "", STARTMODE, {}, "stm, menu or hidden alowed", "start mode",
     "menu or hidden, hidden requires cnt=on and dbt not off"},
    {"cnt", Setting::cnt, "Countdown", ONOFF, "", ONOFF, {}, "cnt, only on and off is valid", "countdown", "on or off"},
    {"cntval", Setting::cntval, "Countdown value", {}, " seconds", {}, {1, 99, 0},
     "cntval, only values 1-99 are valid", "countdown", "value in seconds between 1 and 99"},
    {"dbt", Setting::dbt, "Default boot", DEFAULTBOOT, "", DEFAULTBOOT, {},
     "dbt, run vornset without parameter to see help", "default boot", "off, profile, floppy, cdrom, usb"},
    {"dprf", Setting::dprf, "Profile", {}, "", {}, {1, 16, 1}, "dprf, only values 1-16 are valid", "default profile",
     "value between 1 and 16"},
    {"stf", Setting::stf, "Starfield", ONOFF, "", ONOFF, {}, "stf, only on and off is valid", "starfield", "on or off"},
    {"zan", Setting::zan, "Zoom animation", ONOFF, "", ONOFF, {}, "zan, only on and off is valid", "zoom animation",
     "on or off"},
    {"fnt", Setting::fnt, "Font", FONT, "", FONT_VALUES, {}, "fnt, only bt and bios is valid", "font", "bt or bios"},
    {"usb1", Setting::usb1, "Force USB 1.1", MODE, "", MODE, {}, "usb1, only off, 1, 2 is valid", "force usb 1.1",
     "off or 1 or 2. 1 = Mode 1, 2 = Mode 2"},
    {"usbmdev", Setting::usbmdev, "Use USB MassDev", {}, "", {}, {1, 99, 1}, "usbmdev, only values 1-99 are valid",
     "use usb massdev", "1-99"},
    {"int19h", Setting::int19h, "Use INT19h", ONOFF, "", ONOFF, {}, "int19h, only on and off is valid",
     "int19h/os boot", "do not boot the os and use int19h, on or off"},
    {"hotkey", Setting::hotkey, "Startup hotkey", YESNO, "", YESNO, {}, "hk, only yes and no is valid",
     "startup hotkey", "yes or no"},
}};

const std::array<Setting, 13> PASS_ORDER{
    Setting::vm,  Setting::cnt, Setting::cntval, Setting::usbmdev, Setting::dbt,    Setting::stm,    Setting::dprf,
    Setting::stf, Setting::zan, Setting::fnt,    Setting::usb1,    Setting::int19h, Setting::hotkey,
};

const std::array<ProfileSetting, 5> PROFILE_SETTINGS{{
    {"prf", ProfileField::profile, {1, static_cast<int>(ConfigBlock::profileCount), 0},
     "prf, only values 1-16 are valid", "profile", "set 'prf' value between 1 and 16"},
    {"prfname", ProfileField::name, {}, "", "set profilename", "16 chars, 'prf' must be set"},
    {"btdrv", ProfileField::drive, {}, "btdrv, only values 80h-89h are valid", "boot drive",
     "80h-89h, 'prf' must be set"},
    {"btprt", ProfileField::partition, {1, 4, 0}, "btprt, only values 1-4 are valid", "boot partition",
     "1-4, 'prf' must be set"},
    {"btlog", ProfileField::logPart, {1, 4, 0}, "btlog, only values 1-4 are valid", "boot log part.",
     "1-4, 'prf' must be set"},
}};

std::size_t rowOf(Setting field)
{
    auto row = std::find_if(GLOBAL_SETTINGS.begin(), GLOBAL_SETTINGS.end(),
                            [field](const GlobalSetting& setting) { return setting.field == field; });
    return static_cast<std::size_t>(row - GLOBAL_SETTINGS.begin());
}

const GlobalSetting& globalSetting(Setting field)
{
    return GLOBAL_SETTINGS[rowOf(field)];
}

std::optional<std::uint8_t> codeOfWord(const GlobalSetting& setting, std::string_view word)
{
    auto found = std::find(setting.words.begin(), setting.words.end(), word);
    if (found == setting.words.end())
        return std::nullopt;
    return static_cast<std::uint8_t>(found - setting.words.begin());
}

std::optional<std::uint8_t> codeOfNumber(const GlobalSetting& setting, int number)
{
    if (!takesNumber(setting) || number < setting.numbers.lowest || number > setting.numbers.highest)
        return std::nullopt;
    return static_cast<std::uint8_t>(number - setting.numbers.bias);
}

std::optional<OptionValue> optionValue(const GlobalSetting& setting, std::uint8_t code)
{
    if (!takesNumber(setting)) {
        if (code >= setting.words.size())
            return std::nullopt;
        return OptionValue{setting.words[code], 0};
    }
    int number = code + setting.numbers.bias;
    if (number < setting.numbers.lowest || number > setting.numbers.highest)
        return std::nullopt;
    return OptionValue{{}, number};
}

const ProfileSetting& profileSetting(ProfileField field)
{
    return PROFILE_SETTINGS[static_cast<std::size_t>(field)];
}

std::optional<int> driveDigit(std::uint8_t drive)
{
    if (drive < firstBiosDrive || drive >= firstBiosDrive + driveCount)
        return std::nullopt;
    return drive - firstBiosDrive;
}

bool isPartitionNumber(unsigned number)
{
    const NumberRange& range = profileSetting(ProfileField::partition).numbers;
    return static_cast<int>(number) >= range.lowest && static_cast<int>(number) <= range.highest;
}

} // namespace vornset
