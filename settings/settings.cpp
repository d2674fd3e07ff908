#include "settings/settings.h"

#include "settings/refusal.h"
#include "settings/words.h"

#include <algorithm>

namespace vornset {

const std::string_view NO_SUCH_OPTION = "no such option";
const std::string_view OPTIONS_ARE_WRITTEN = "options are written ";
const std::string_view HIDDEN_START_NEEDS = "hidden mode requires countdown and default boot";

const std::array<GlobalSetting, globalCount> GLOBAL_SETTINGS{{
    {.key = "vm", .field = Setting::vm,
     .label = "Video mode", .reportWords = VIDEOMODE,
     .words = VIDEOMODE_VALUES,
     .refusal = "vm, run vornset without parameter to see help",
     .sets = "video mode", .values = "text, 640x480, 800x600, 1024x768, 1280x1024",
     VORNSET_PAGE_ONLY(.title = "Video mode",
                       .hint = "The screen resolution of the boot menu, or text mode.",
                       .choices = VIDEOMODE)},
    {.key = "stm", .field = Setting::stm,
     .label = "Start mode", .reportWords = STARTMODE,
     .words = STARTMODE,
     .refusal = "stm, menu or hidden alowed",
     .sets = "start mode", .values = "menu or hidden, hidden requires cnt=on and dbt not off",
     VORNSET_PAGE_ONLY(.title = "Start mode",
                       .hint = "Starting hidden runs the default boot without showing the menu; it needs the countdown on and a default boot.",
                       .choices = STARTMODE_CHOICES,
                       .refused = "To start hidden, turn the countdown on and choose a default boot first.")},
    {.key = "cnt", .field = Setting::cnt,
     .label = "Countdown", .reportWords = ONOFF,
     .words = ONOFF,
     .refusal = "cnt, only on and off is valid",
     .sets = "countdown", .values = "on or off",
     VORNSET_PAGE_ONLY(.title = "Countdown",
                       .hint = "On: when the countdown ends, the default boot starts by itself. Off: the menu waits for a choice.")},
    {.key = "cntval", .field = Setting::cntval,
     .label = "Countdown value", .unit = " seconds",
     .numbers = {1, 99, 0},
     .refusal = "cntval, only values 1-99 are valid",
     .sets = "countdown", .values = "value in seconds between 1 and 99",
     VORNSET_PAGE_ONLY(.title = "Seconds before the default starts",
                       .hint = "A whole number of seconds, from 1 to 99.")},
    {.key = "dbt", .field = Setting::dbt,
     .label = "Default boot", .reportWords = DEFAULTBOOT,
     .words = DEFAULTBOOT,
     .refusal = "dbt, run vornset without parameter to see help",
     .sets = "default boot", .values = "off, profile, floppy, cdrom, usb",
     VORNSET_PAGE_ONLY(.title = "Default boot",
                       .hint = "What starts when the countdown ends.",
                       .choices = DEFAULTBOOT_CHOICES)},
    {.key = "dprf", .field = Setting::dprf,
     .label = "Profile",
     .numbers = {1, 16, 1},
     .refusal = "dprf, only values 1-16 are valid",
     .sets = "default profile", .values = "value between 1 and 16",
     VORNSET_PAGE_ONLY(.title = "Default profile",
                       .hint = "The profile that starts when the default boot is a profile.")},
    {.key = "stf", .field = Setting::stf,
     .label = "Starfield", .reportWords = ONOFF,
     .words = ONOFF,
     .refusal = "stf, only on and off is valid",
     .sets = "starfield", .values = "on or off",
     VORNSET_PAGE_ONLY(.title = "Starfield",
                       .hint = "Stars moving behind the menu.")},
    {.key = "zan", .field = Setting::zan,
     .label = "Zoom animation", .reportWords = ONOFF,
     .words = ONOFF,
     .refusal = "zan, only on and off is valid",
     .sets = "zoom animation", .values = "on or off",
     VORNSET_PAGE_ONLY(.title = "Zoom animation",
                       .hint = "The menu zooms in as it opens.")},
    {.key = "fnt", .field = Setting::fnt,
     .label = "Font", .reportWords = FONT,
     .words = FONT_VALUES,
     .refusal = "fnt, only bt and bios is valid",
     .sets = "font", .values = "bt or bios",
     VORNSET_PAGE_ONLY(.title = "Font",
                       .hint = "The boot manager's own font, or the BIOS font.",
                       .choices = FONT_CHOICES)},
    {.key = "usb1", .field = Setting::usb1,
     .label = "Force USB 1.1", .reportWords = MODE,
     .words = MODE,
     .refusal = "usb1, only off, 1, 2 is valid",
     .sets = "force usb 1.1", .values = "off or 1 or 2. 1 = Mode 1, 2 = Mode 2",
     VORNSET_PAGE_ONLY(.title = "Force USB 1.1",
                       .hint = "Keep it off, unless a USB keyboard, stick or disk does not work in the menu: then try mode 1, then mode 2.",
                       .choices = MODE_CHOICES)},
    {.key = "usbmdev", .field = Setting::usbmdev,
     .label = "Use USB MassDev",
     .numbers = {1, 99, 1},
     .refusal = "usbmdev, only values 1-99 are valid",
     .sets = "use usb massdev", .values = "1-99",
     VORNSET_PAGE_ONLY(.title = "USB stick or disk to start from",
                       .hint = "Where several USB sticks or disks are plugged in, which one the default boot from USB starts, counted from 1; keep 1 where there is one.")},
    {.key = "int19h", .field = Setting::int19h,
     .label = "Use INT19h", .reportWords = ONOFF,
     .words = ONOFF,
     .refusal = "int19h, only on and off is valid",
     .sets = "int19h/os boot", .values = "do not boot the os and use int19h, on or off",
     VORNSET_PAGE_ONLY(.title = "Leave the start to the BIOS",
                       .hint = "On: the boot manager does not start a system itself but hands the start back to the PC's BIOS. Keep it off unless a system starts only that way.")},
    // The refusal says "hk", as users of the boot manager know it.
    {.key = "hotkey", .field = Setting::hotkey,
     .label = "Startup hotkey", .reportWords = YESNO,
     .words = YESNO,
     .refusal = "hk, only yes and no is valid",
     .sets = "startup hotkey", .values = "yes or no",
     VORNSET_PAGE_ONLY(.title = "Startup hotkey",
                       .hint = "Yes: the boot manager's hotkey works while the PC starts. No: the key does nothing then. If unsure, keep it as it is.")},
}};

// Rows of GLOBAL_SETTINGS.
const std::array<std::uint8_t, globalCount> PASS_ORDER{
    0,  // vm
    2,  // cnt
    3,  // cntval
    10, // usbmdev
    4,  // dbt
    1,  // stm
    5,  // dprf
    6,  // stf
    7,  // zan
    8,  // fnt
    9,  // usb1
    11, // int19h
    12, // hotkey
};

const std::array<ProfileSetting, profileFieldCount> PROFILE_SETTINGS{{
    {.key = "prf", .field = ProfileField::profile,
     .numbers = {1, static_cast<int>(ConfigBlock::profileCount), 0},
     .refusal = "prf, only values 1-16 are valid",
     .sets = "profile", .values = "set 'prf' value between 1 and 16",
     VORNSET_PAGE_ONLY(.title = "Profile",
                       .hint = "The profile to change, from 1 to 16.")},
    // The command line takes any name; a JSON document may give something else.
    {.key = "prfname", .field = ProfileField::name,
     .refusal = "prfname, only text is valid",
     .sets = "set profilename", .values = "16 chars, 'prf' must be set",
     VORNSET_PAGE_ONLY(.title = "Name",
                       .hint = "What the menu shows for the profile. A name holds 16 bytes: one for each plain letter, digit or space, two or more for a letter such as \u00e9; a longer name is cut.")},
    {.key = "btdrv", .field = ProfileField::drive,
     .refusal = "btdrv, only values 80h-89h are valid",
     .sets = "boot drive", .values = "80h-89h, 'prf' must be set",
     VORNSET_PAGE_ONLY(.title = "Boot drive",
                       .hint = "The hard disk the profile starts, as the PC counts its disks: hard disk 1 is the first (80h), hard disk 2 the second (81h), up to hard disk 10 (89h).")},
    {.key = "btprt", .field = ProfileField::partition,
     .numbers = {1, 4, 0},
     .refusal = "btprt, only values 1-4 are valid",
     .sets = "boot partition", .values = "1-4, 'prf' must be set",
     VORNSET_PAGE_ONLY(.title = "Boot partition",
                       .hint = "Which of the hard disk's four primary partitions the profile starts, from 1 to 4.")},
    {.key = "btlog", .field = ProfileField::logPart,
     .numbers = {1, 4, 0},
     .refusal = "btlog, only values 1-4 are valid",
     .sets = "boot log part.", .values = "1-4, 'prf' must be set",
     VORNSET_PAGE_ONLY(.title = "Logical partition",
                       .hint = "Where the boot partition is an extended partition, which of the logical partitions inside it the profile starts, from 1 to 4; otherwise keep it as it is.")},
}};

const std::array<RunSetting, runKeyCount> RUN_SETTINGS{{
    {.key = "show", .field = RunKey::show, .words = SHOW_FORMS,
     .refusal = "show, only profiles, options, json and changes are valid",
     .usage = "profiles|options|json|changes", .does = "print the profiles, the settings, or what an edit changes"},
    {.key = "load", .field = RunKey::load,
     .usage = "FILE|-", .does = "apply a settings file, or standard input"},
    {.key = "write", .field = RunKey::write, .words = YESNO_VALUES,
     .refusal = "write, only yes and no are valid",
     .usage = "no", .does = "check and show an edit, and write nothing"},
}};

bool startsHidden(const ConfigBlock& block)
{
    return block.get(Setting::stm) == hiddenStart;
}

bool hiddenStartBootable(const ConfigBlock& block)
{
    return block.get(Setting::cnt) != 0 && block.get(Setting::dbt) != 0;
}

HiddenStartBytes hiddenStartBytes(const ConfigBlock& block)
{
    return {block.get(HIDDEN_START_FIELDS[0]), block.get(HIDDEN_START_FIELDS[1]), block.get(HIDDEN_START_FIELDS[2])};
}

const RunSetting& runSetting(RunKey field)
{
    return RUN_SETTINGS[static_cast<std::size_t>(field)];
}

std::optional<std::size_t> positionOf(std::span<const std::string_view> words, std::string_view word)
{
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i] == word)
            return i;
    return std::nullopt;
}

std::size_t rowOf(Setting field)
{
    std::size_t row = 0;
    while (row < GLOBAL_SETTINGS.size() && GLOBAL_SETTINGS[row].field != field)
        ++row;
    return row;
}

const GlobalSetting& globalSetting(Setting field)
{
    return GLOBAL_SETTINGS[rowOf(field)];
}

std::optional<std::uint8_t> codeOfWord(const GlobalSetting& setting, std::string_view word)
{
    std::optional<std::size_t> position = positionOf(setting.words, word);
    if (!position)
        return std::nullopt;
    return static_cast<std::uint8_t>(*position);
}

bool takesNumber(const GlobalSetting& setting)
{
    return setting.words.empty();
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
