#include "options/global_options.h"

#include "console/words.h"

#include <algorithm>

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
    Refusal refusal;
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

// The order of the help screen, in which settings are shown as options.
constexpr Setting HELP_ORDER[] = {
    Setting::vm,  Setting::stm, Setting::cnt, Setting::cntval, Setting::dbt,     Setting::dprf,   Setting::stf,
    Setting::zan, Setting::fnt, Setting::usb1, Setting::usbmdev, Setting::int19h, Setting::hotkey,
};

constexpr std::uint8_t hiddenStart = 1;

const GlobalOption& optionFor(Setting field)
{
    return *std::find_if(std::begin(GLOBAL_OPTIONS), std::end(GLOBAL_OPTIONS),
                         [field](const GlobalOption& option) { return option.field == field; });
}

// The option whose key starts the argument, or the end of the table.
const GlobalOption* optionCarriedBy(std::string_view argument)
{
    return std::find_if(std::begin(GLOBAL_OPTIONS), std::end(GLOBAL_OPTIONS),
                        [argument](const GlobalOption& option) { return argument.starts_with(option.key); });
}

// The key without its "=".
std::string_view nameOf(const GlobalOption& option)
{
    return option.key.substr(0, option.key.size() - 1);
}

std::optional<std::uint8_t> codeFor(const GlobalOption& option, std::string_view value)
{
    if (!option.words.empty()) {
        auto word = std::find(std::begin(option.words), std::end(option.words), value);
        if (word == option.words.end())
            return std::nullopt;
        return static_cast<std::uint8_t>(word - option.words.begin());
    }
    std::optional<int> number = numberInRange(value, option.numbers.lowest, option.numbers.highest);
    if (!number)
        return std::nullopt;
    return static_cast<std::uint8_t>(*number - option.numbers.bias);
}

std::optional<OptionValue> valueFor(const GlobalOption& option, std::uint8_t code)
{
    if (!option.words.empty()) {
        if (code >= option.words.size())
            return std::nullopt;
        return OptionValue{option.words[code], 0};
    }
    int number = code + option.numbers.bias;
    if (number < option.numbers.lowest || number > option.numbers.highest)
        return std::nullopt;
    return OptionValue{{}, number};
}

bool applyValue(const GlobalOption& option, std::string_view value, ConfigBlock& block, Output& out)
{
    std::optional<std::uint8_t> code = codeFor(option, value);
    if (!code)
        return refuse(option.refusal, out);
    if (option.field == Setting::stm && *code == hiddenStart && !hiddenStartBootable(block))
        return refuse(hiddenStartRefusal(Setting::stm), out);
    block.set(option.field, *code);
    return true;
}

// Whether the options turn the field off: the last of them for its key gave 0.
bool turnsOff(Arguments options, Setting field, const ConfigBlock& block)
{
    std::string_view value;
    return block.get(field) == 0
        && std::any_of(options.begin(), options.end(),
                       [&](const char* option) { return param(optionFor(field).key, value, option); });
}

// The rule for a hidden start holds both ways: a run may not take the countdown or
// the default boot away from an image that starts hidden, which would leave the
// menu with nothing to boot. An image in that state already can be mended.
bool keepsHiddenStartBootable(const ConfigBlock& block, Arguments options, Output& out)
{
    if (!startsHidden(block))
        return true;
    for (Setting field : {Setting::cnt, Setting::dbt})
        if (turnsOff(options, field, block))
            return refuse(hiddenStartRefusal(field), out);
    return true;
}

} // namespace

bool applyGlobalOptions(ConfigBlock& block, Arguments options, Output& out)
{
    return std::all_of(std::begin(GLOBAL_OPTIONS), std::end(GLOBAL_OPTIONS),
                       [&](const GlobalOption& option) {
                           return forEachValue(option.key, options, [&](std::string_view value) {
                               return applyValue(option, value, block, out);
                           });
                       })
        && keepsHiddenStartBootable(block, options, out);
}

bool isGlobalOption(std::string_view argument)
{
    return optionCarriedBy(argument) != std::end(GLOBAL_OPTIONS);
}

std::optional<GlobalOptionApplied> applyGlobalOption(ConfigBlock& block, std::string_view argument)
{
    const GlobalOption* option = optionCarriedBy(argument);
    if (option == std::end(GLOBAL_OPTIONS))
        return std::nullopt;
    argument.remove_prefix(option->key.size());
    std::optional<std::uint8_t> code = codeFor(*option, argument);
    if (!code)
        return GlobalOptionApplied{option->field, option->refusal};
    block.set(option->field, *code);
    return GlobalOptionApplied{option->field, {}};
}

// Without a countdown and a default boot, a hidden menu would leave nothing to boot.
bool hiddenStartBootable(const ConfigBlock& block)
{
    return block.get(Setting::cnt) != 0 && block.get(Setting::dbt) != 0;
}

bool startsHidden(const ConfigBlock& block)
{
    return block.get(Setting::stm) == hiddenStart;
}

Refusal hiddenStartRefusal(Setting field)
{
    switch (field) {
    case Setting::cnt:
        return HIDDEN_START_BY_CNT;
    case Setting::dbt:
        return HIDDEN_START_BY_DBT;
    default:
        return HIDDEN_START_BY_STM;
    }
}

std::array<GlobalSetting, 13> globalSettings(const ConfigBlock& block)
{
    std::array<GlobalSetting, 13> settings{};
    std::transform(std::begin(HELP_ORDER), std::end(HELP_ORDER), settings.begin(), [&](Setting field) {
        const GlobalOption& option = optionFor(field);
        std::uint8_t stored = block.get(field);
        return GlobalSetting{nameOf(option), stored, valueFor(option, stored)};
    });
    return settings;
}

std::array<GlobalOptionValues, 13> globalOptionValues()
{
    std::array<GlobalOptionValues, 13> values{};
    std::transform(std::begin(HELP_ORDER), std::end(HELP_ORDER), values.begin(), [](Setting field) {
        const GlobalOption& option = optionFor(field);
        return GlobalOptionValues{nameOf(option), option.words, option.numbers.lowest, option.numbers.highest};
    });
    return values;
}

} // namespace vornset
