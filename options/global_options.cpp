#include "options/global_options.h"

#include "console/words.h"

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
    {"vm=", Setting::vm, VIDEOMODE_VALUES, {}, "Parameter error: vm, run vornset without parameter to see help\n"},
    {"cnt=", Setting::cnt, ONOFF, {}, "Parameter error: cnt, only on and off is valid\n"},
    {"cntval=", Setting::cntval, {}, {1, 99, 0}, "Parameter error: cntval, only values 1-99 are valid\n"},
    {"usbmdev=", Setting::usbmdev, {}, {1, 99, 1}, "Parameter error: usbmdev, only values 1-99 are valid\n"},
    {"dbt=", Setting::dbt, DEFAULTBOOT, {}, "Parameter error: dbt, run vornset without parameter to see help\n"},
    {"stm=", Setting::stm, STARTMODE, {}, "Parameter error: stm, menu or hidden alowed\n"},
    {"dprf=", Setting::dprf, {}, {1, 16, 1}, "Parameter error: dprf, only values 1-16 are valid\n"},
    {"stf=", Setting::stf, ONOFF, {}, "Parameter error: stf, only on and off is valid\n"},
    {"zan=", Setting::zan, ONOFF, {}, "Parameter error: zan, only on and off is valid\n"},
    {"fnt=", Setting::fnt, FONT_VALUES, {}, "Parameter error: fnt, only bt and bios is valid\n"},
    {"usb1=", Setting::usb1, MODE, {}, "Parameter error: usb1, only off, 1, 2 is valid\n"},
    {"int19h=", Setting::int19h, ONOFF, {}, "Parameter error: int19h, only on and off is valid\n"},
    {"hotkey=", Setting::hotkey, YESNO, {}, "Parameter error: hk, only yes and no is valid\n"},
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
    if (!code) {
        out << option.refusal;
        return false;
    }
    if (option.field == Setting::stm && *code == hiddenStart && !hiddenStartAllowed(block)) {
        out << "Parameter error: stm, hidden mode requires countdown and default boot\n";
        return false;
    }
    block.set(option.field, *code);
    return true;
}

} // namespace

bool applyGlobalOptions(ConfigBlock& block, Arguments options, Output& out)
{
    return std::ranges::all_of(GLOBAL_OPTIONS, [&](const GlobalOption& option) {
        return forEachValue(option.key, options,
                            [&](std::string_view value) { return applyValue(option, value, block, out); });
    });
}

} // namespace vornset
