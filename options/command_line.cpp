#include "options/command_line.h"

#include "options/param.h"
#include "options/suggest.h"

#include <algorithm>

namespace vornset {

const std::string_view TOO_MANY_SETTINGS = "more than 10923 settings";

using namespace std::string_view_literals;
namespace {

bool isKeyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// What an argument without "=" most likely means as a key: the letters and digits it
// starts with, so that "write-no" is read as "write".
std::string_view typedKey(std::string_view argument)
{
    std::size_t end = argument.find('=');
    if (end == std::string_view::npos)
        for (end = 0; end < argument.size() && isKeyCharacter(argument[end]);)
            ++end;
    return {argument.data(), end};
}

Option readOption(std::string_view argument)
{
    Option option{.key = keyCarriedBy(argument), .meant = keyNamed(argument), .why = Ignored::no, .inexact = false};
    if (option.key != keyCount)
        return option;
    option.why = argument.empty() ? Ignored::empty : option.meant != keyCount ? Ignored::noValue : Ignored::noSuchOption;
    if (option.why == Ignored::noSuchOption)
        option.meant = likelyOption(typedKey(argument));
    return option;
}

// Whether an ignored option names another image: it names what exists, or it is a
// word without "=" that can only be a path.
bool namesAnImage(const Option& option, std::string_view text, SettingsFiles& files)
{
    if (option.why != Ignored::noSuchOption && option.why != Ignored::noValue)
        return false;
    bool path = text.find('=') == std::string_view::npos
        && text.find_first_of("./\\") != std::string_view::npos;
    return path || files.isFile(text);
}

// The refusals before the image is opened, each the first of its kind; the kinds in
// the order in which they are told.
enum Kind { flag, otherImage, nearMiss, inexactText, kinds };

Refusal refusalOf(Kind kind, const Option& option, std::string_view text, int argument)
{
    Refusal refusal{.key = text, .namesKey = true, .at = {.argument = argument}};
    switch (kind) {
    case flag:
        refusal.reason = "options are written key=value; run vornset without parameter to see help"sv;
        break;
    case otherImage:
        refusal.reason = "only the last parameter names the image"sv;
        break;
    case nearMiss:
        refusal.reason = option.why == Ignored::noValue ? OPTIONS_ARE_WRITTEN : NO_SUCH_OPTION;
        refusal.meant = keyText(option.meant);
        break;
    case inexactText:
    case kinds:
        refusal.reason = "the code page cannot hold it exactly; use letters of your Windows code page"sv;
        break;
    }
    return refusal;
}

// The first option, by its position from 1, that gives each kind of refusal.
void noteRefusals(const Option& option, std::string_view text, int argument, SettingsFiles& files,
                  std::array<int, kinds>& first)
{
    auto note = [&](Kind kind, bool refused) {
        if (refused && first[kind] == 0)
            first[kind] = argument;
    };
    note(flag, text.starts_with('-'));
    note(nearMiss, option.why != Ignored::no && option.meant >= firstRunKey && option.meant < keyCount);
    note(inexactText, option.inexact && option.key != keyOf(RunKey::load));
    if (first[otherImage] == 0 && first[flag] == 0)
        note(otherImage, namesAnImage(option, text, files));
}

// A run only shows where every option is a valid show=; its forms, each once, in
// the order first asked; and the last valid write= says whether it writes.
void readWhatTheRunDoes(Plan& plan)
{
    std::size_t showing = 0;
    for (std::uint16_t position : plan.valuesOf(keyOf(RunKey::show))) {
        std::optional<std::size_t> form = positionOf(runSetting(RunKey::show).words, plan.value(position));
        showing += form ? 1u : 0u;
        if (form && !plan.shows(static_cast<Form>(*form)))
            plan.shown[plan.shownCount++] = static_cast<Form>(*form);
    }
    plan.edit = !plan.arguments.empty() && showing < plan.arguments.size();
    plan.printsData = plan.shows(Form::options) || plan.shows(Form::json);
    std::span<const std::string_view> yesNo = runSetting(RunKey::write).words;
    for (std::uint16_t position : plan.valuesOf(keyOf(RunKey::write)))
        if (std::optional<std::size_t> word = positionOf(yesNo, plan.value(position)))
            plan.dryRun = yesNo[*word] == "no"sv;
}

// The profile options of a command line without "prf=" change nothing.
void markUnchosenProfiles(Plan& plan)
{
    if (!plan.valuesOf(keyOf(ProfileField::profile)).empty())
        return;
    for (Key key = keyOf(ProfileField::name); key < firstRunKey; ++key)
        for (std::uint16_t position : plan.valuesOf(key))
            plan.options[position].why = Ignored::noProfileChosen;
}

} // namespace

bool asksForHelp(std::string_view argument)
{
#ifdef _WIN32
    if (argument == "/?"sv)
        return true;
#endif
    return argument == "--help"sv || argument == "-h"sv;
}

bool asksForVersion(std::string_view argument)
{
    return argument == "--version"sv;
}

std::optional<Refusal> readCommandLine(std::span<const char* const> options, std::span<const bool> inexact,
                                       SettingsFiles& files, Plan& plan)
{
    plan.arguments = options.first(std::min(options.size(), mostOptions));
    std::array<int, kinds> first{};
    for (std::size_t i = 0; i < plan.arguments.size(); ++i) {
        Option& option = plan.options[i] = readOption(options[i]);
        option.inexact = i + 1 < inexact.size() && inexact[i + 1];
        noteRefusals(option, options[i], static_cast<int>(i) + 1, files, first);
    }
    plan.sortByKey();
    markUnchosenProfiles(plan);
    readWhatTheRunDoes(plan);
    if (options.size() > mostOptions)
        return Refusal{.reason = "more than 4096 options"sv};
    for (int kind = flag; kind < kinds; ++kind)
        if (int argument = first[static_cast<std::size_t>(kind)]; argument > 0)
            return refusalOf(static_cast<Kind>(kind), plan.options[static_cast<std::size_t>(argument - 1)],
                             plan.text(static_cast<std::size_t>(argument - 1)), argument);
    return std::nullopt;
}

Key keyCarriedBy(std::string_view text)
{
    Key key = 0;
    while (key < keyCount && !carries(text, keyText(key)))
        ++key;
    return key;
}

Key keyNamed(std::string_view text)
{
    Key key = 0;
    while (key < keyCount && text != keyText(key))
        ++key;
    return key;
}

Key likelyOption(std::string_view typed)
{
    std::array<std::string_view, keyCount> keys{};
    for (Key key = 0; key < keyCount; ++key)
        keys[key] = keyText(key);
    return static_cast<Key>(likelyKey(typed, keys));
}

std::string_view keyText(Key key)
{
    if (key < firstProfileKey)
        return GLOBAL_SETTINGS[key].key;
    if (key < firstRunKey)
        return PROFILE_SETTINGS[key - firstProfileKey].key;
    return key < keyCount ? RUN_SETTINGS[key - firstRunKey].key : std::string_view{};
}

Refusal noSettings(int file)
{
    return {.key = runSetting(RunKey::load).key, .reason = "the file holds no settings"sv, .namesKey = true,
            .at = {.file = file}};
}

bool Plan::shows(Form form) const
{
    for (std::size_t i = 0; i < shownCount; ++i)
        if (shown[i] == form)
            return true;
    return false;
}

std::string_view Plan::value(std::size_t position) const
{
    std::string_view text = arguments[position];
    text.remove_prefix(std::min(text.size(), keyText(options[position].key).size() + 1));
    return text;
}

std::string_view Plan::loadName(int file) const
{
    std::span<const std::uint16_t> loaded = valuesOf(keyOf(RunKey::load));
    return file >= 1 && static_cast<std::size_t>(file) <= loaded.size() ? value(loaded[static_cast<std::size_t>(file) - 1])
                                                                        : std::string_view{};
}

void Plan::sortByKey()
{
    keyStart_.fill(0);
    for (std::size_t i = 0; i < arguments.size(); ++i)
        ++keyStart_[options[i].key + 2u];
    for (std::size_t key = 2; key < keyStart_.size(); ++key)
        keyStart_[key] = static_cast<std::uint16_t>(keyStart_[key] + keyStart_[key - 1]);
    for (std::size_t i = 0; i < arguments.size(); ++i)
        byKey_[keyStart_[options[i].key + 1u]++] = static_cast<std::uint16_t>(i);
}

} // namespace vornset
