#include "options/global_options.h"

#include "console/words.h"
#include "options/refusal.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vornset {
namespace {

// Two option values differ from the words the report prints for the same code.
constexpr std::array<std::string_view, 5> VIDEOMODE_VALUES{"text", "640x480", "800x600", "1024x768", "1280x1024"};
constexpr std::array<std::string_view, 2> FONT_VALUES{"bt", "bios"};

// A number is stored less its bias: 1 for the settings the boot manager counts from 0.
struct NumberRange {
    int lowest;
    int highest;
    int bias;
};

// A global option takes either one of its words, stored as the word's position, or
// a number in its range.
struct GlobalOption {
    std::string_view key;
    Setting field;
    std::span<const std::string_view> words;
    NumberRange numbers;
    std::string_view refusal;
};

// The order is the order the passes run in, which decides which of two invalid
// values is reported and lets "stm=" see the countdown and default boot as changed.
constexpr GlobalOption GLOBAL_OPTIONS[] = {
    {"vm=", Setting::vm, VIDEOMODE_VALUES, {}, "vm, run vornset without parameter to see help"},
    {"cnt=", Setting::cnt, ONOFF, {}, "cnt, only on and off is valid"},
    {"cntval=", Setting::cntval, {}, {1, 99, 0}, "cntval, only values 1-99 are valid"},
    {"usbmdev=", Setting::usbmdev, {}, {1, 99, 1}, "usbmdev, only values 1-99 are valid"},
    {"dbt=", Setting::dbt, DEFAULTBOOT, {}, "dbt, run vornset without parameter to see help"},
    {"stm=", Setting::stm, STARTMODE, {}, "stm, menu or hidden alowed"},
    {"dprf=", Setting::dprf, {}, {1, 16, 1}, "dprf, only values 1-16 are valid"},
    {"stf=", Setting::stf, ONOFF, {}, "stf, only on and off is valid"},
    {"zan=", Setting::zan, ONOFF, {}, "zan, only on and off is valid"},
    {"fnt=", Setting::fnt, FONT_VALUES, {}, "fnt, only bt and bios is valid"},
    {"usb1=", Setting::usb1, MODE, {}, "usb1, only off, 1, 2 is valid"},
    {"int19h=", Setting::int19h, ONOFF, {}, "int19h, only on and off is valid"},
    {"hotkey=", Setting::hotkey, YESNO, {}, "hk, only yes and no is valid"},
};

constexpr std::uint8_t hiddenStart = 1;

std::optional<std::uint8_t> codeFor(const GlobalOption& option, std::string_view value)
{
    if (!option.words.empty()) {
        auto word = std::ranges::find(option.words, value);
        if (word == option.words.end())
            return std::nullopt;
        return static_cast<std::uint8_t>(word - option.words.begin());
    }
    std::optional<int> number = numberInRange(value, option.numbers.lowest, option.numbers.highest);
    if (!number)
        return std::nullopt;
    return static_cast<std::uint8_t>(*number - option.numbers.bias);
}

// Without a countdown and a default boot, a hidden menu would leave nothing to boot.
bool hiddenStartAllowed(const ConfigBlock& block)
{
    return block.get(Setting::cnt) != 0 && block.get(Setting::dbt) != 0;
}

bool applyValue(const GlobalOption& option, std::string_view value, ConfigBlock& block, Output& out)
{
    std::optional<std::uint8_t> code = codeFor(option, value);
    if (!code)
        return refuse(option.refusal, out);
    if (option.field == Setting::stm && *code == hiddenStart && !hiddenStartAllowed(block))
        return refuse(HIDDEN_START_BY_STM, out);
    block.set(option.field, *code);
    return true;
}

const GlobalOption& optionFor(Setting field)
{
    return *std::ranges::find(GLOBAL_OPTIONS, field, &GlobalOption::field);
}

// Whether the options turn the field off: the last of them for its key gave 0.
bool turnsOff(Arguments options, Setting field, const ConfigBlock& block)
{
    std::string_view value;
    return block.get(field) == 0
        && std::ranges::any_of(options, [&](const char* option) { return param(optionFor(field).key, value, option); });
}

// The rule for a hidden start holds both ways: a run may not take the countdown or
// the default boot away from an image that starts hidden, which would leave the
// menu with nothing to boot. An image in that state already can be mended.
bool keepsHiddenStartBootable(const ConfigBlock& block, Arguments options, Output& out)
{
    if (block.get(Setting::stm) != hiddenStart)
        return true;
    if (turnsOff(options, Setting::cnt, block))
        return refuse(HIDDEN_START_BY_CNT, out);
    if (turnsOff(options, Setting::dbt, block))
        return refuse(HIDDEN_START_BY_DBT, out);
    return true;
}

} // namespace

bool applyGlobalOptions(ConfigBlock& block, Arguments options, Output& out)
{
    return std::ranges::all_of(GLOBAL_OPTIONS,
                               [&](const GlobalOption& option) {
                                   return forEachValue(option.key, options, [&](std::string_view value) {
                                       return applyValue(option, value, block, out);
                                   });
                               })
        && keepsHiddenStartBootable(block, options, out);
}

bool isGlobalOption(std::string_view argument)
{
    return std::ranges::any_of(GLOBAL_OPTIONS, [&](const GlobalOption& option) { return argument.starts_with(option.key); });
}

} // namespace vornset
