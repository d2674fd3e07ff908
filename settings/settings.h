#pragma once

#include "image/config_block.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// Numbers an option takes, from lowest to highest; the block stores a number less
// its bias: 1 for the settings the boot manager counts from 0.
struct NumberRange {
    int lowest;
    int highest;
    int bias;
};

// What a row holds for the page alone, and the collection's doc printer, a build tool
// of its own (VORNSET_ROW_TEXTS): its title and hint in plain words, its words for
// a setting's choices, and its sentence for a refusal that no range or word explains.
// The tool is built without their bytes.
#if defined(__EMSCRIPTEN__) || defined(VORNSET_ROW_TEXTS)
#define VORNSET_PAGE_ONLY(...) __VA_ARGS__
#else
#define VORNSET_PAGE_ONLY(...)
#endif

// Everything the tool knows of one of the thirteen global settings: the option that
// sets it, the field it is kept in, how the report shows it, what the option takes
// and how a value outside that is refused, and its row of the help screen.
struct GlobalSetting {
    std::string_view key{};
    Setting field{};
    // The report's line: the label, then a word, or the number and its unit.
    std::string_view label{};
    std::span<const std::string_view> reportWords{};
    std::string_view unit{};
    // The option takes one of its words, stored as the word's position, or, where
    // it has none, a number in its range.
    std::span<const std::string_view> words{};
    NumberRange numbers{};
    // What follows "Parameter error: " for any other value.
    std::string_view refusal{};
    // The help screen's columns: what the option sets, and the values it takes.
    std::string_view sets{};
    std::string_view values{};
    // What the page calls it, in plain words, and a line that says more; the page's
    // words for the option's words, one each, in their order: what a person chooses;
    // and what the page says where the tool refuses a value by a rule of its own
    // rather than by its range or words.
    VORNSET_PAGE_ONLY(std::string_view title{}; std::string_view hint{}; std::span<const std::string_view> choices{};
                      std::string_view refused{};)
};

// The thirteen global settings in the order the help screen lists them, which is
// also the order of the report and of every export.
inline constexpr std::size_t globalCount = 13;
extern const std::array<GlobalSetting, globalCount> GLOBAL_SETTINGS;

// The order in which the option passes run, as rows of GLOBAL_SETTINGS: vm, cnt,
// cntval, usbmdev, dbt, stm, dprf, stf, zan, fnt, usb1, int19h, hotkey. It decides
// which of two invalid values is reported, and lets "stm=" see the countdown and
// default boot as changed.
extern const std::array<std::uint8_t, globalCount> PASS_ORDER;

const GlobalSetting& globalSetting(Setting field);

// The position of a global setting's row in GLOBAL_SETTINGS.
std::size_t rowOf(Setting field);

// Whether the setting takes a number rather than a word.
bool takesNumber(const GlobalSetting& setting);

// The stored code for a word, or for a number, where the setting takes it.
std::optional<std::uint8_t> codeOfWord(const GlobalSetting& setting, std::string_view word);
std::optional<std::uint8_t> codeOfNumber(const GlobalSetting& setting, int number);

// What an option gives a setting: a word, or, where the word is empty, a number.
struct OptionValue {
    std::string_view word;
    int number;

    bool operator==(const OptionValue&) const = default;
};

// The option value that gives a stored code, if any does.
std::optional<OptionValue> optionValue(const GlobalSetting& setting, std::uint8_t code);

// The five profile options, in the order their passes run: "prf=" chooses the
// profile that the other four change.
enum class ProfileField : std::uint8_t { profile, name, drive, partition, logPart };

struct ProfileSetting {
    std::string_view key{};
    ProfileField field{};
    // Numbers from lowest to highest, with no bias; unused by the name and the drive.
    NumberRange numbers{};
    std::string_view refusal{};
    std::string_view sets{};
    std::string_view values{};
    VORNSET_PAGE_ONLY(std::string_view title{}; std::string_view hint{};)
};

inline constexpr std::size_t profileFieldCount = 5;
extern const std::array<ProfileSetting, profileFieldCount> PROFILE_SETTINGS;

const ProfileSetting& profileSetting(ProfileField field);

// A drive is written "8", one decimal digit and a lower-case "h": 80h to 89h.
inline constexpr std::uint8_t firstBiosDrive = 0x80;
inline constexpr int driveCount = 10;

// The option value of a stored drive byte, if any gives it: its middle digit.
std::optional<int> driveDigit(std::uint8_t drive);

// Whether a stored partition or log part. number is one that the options give.
bool isPartitionNumber(unsigned number);

// The three settings the rule for a hidden start ties together, in the order in
// which a refusal names the one that broke it.
inline constexpr std::array<Setting, 3> HIDDEN_START_FIELDS{Setting::cnt, Setting::dbt, Setting::stm};

inline constexpr std::uint8_t hiddenStart = 1;

bool startsHidden(const ConfigBlock& block);

// Without a countdown and a default boot, a hidden menu would leave nothing to boot.
bool hiddenStartBootable(const ConfigBlock& block);

// The three bytes the rule reads, to tell whether a run changed them.
using HiddenStartBytes = std::array<std::uint8_t, 3>;
HiddenStartBytes hiddenStartBytes(const ConfigBlock& block);

// The keys that say what a run does rather than what it sets: "show=" prints the
// settings in other forms, "load=" applies a settings file ("load=-" standard
// input), "write=no" makes an edit a dry run. --help lists them in this order.
enum class RunKey : std::uint8_t { show, load, write };

// The forms show= prints, in the order of its words.
enum class Form : std::uint8_t { profiles, options, json, changes };

struct RunSetting {
    std::string_view key{};
    RunKey field{};
    // The values it takes, or, where there are none, any text: a file's name.
    std::span<const std::string_view> words{};
    std::string_view refusal{};
    // The row of --help: what follows "key=", and what it does.
    std::string_view usage{};
    std::string_view does{};
};

inline constexpr std::size_t runKeyCount = 3;
extern const std::array<RunSetting, runKeyCount> RUN_SETTINGS;

const RunSetting& runSetting(RunKey field);

// The position of a word among the setting's words, if it is one.
std::optional<std::size_t> positionOf(std::span<const std::string_view> words, std::string_view word);

} // namespace vornset
