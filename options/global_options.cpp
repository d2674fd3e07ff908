#include "options/global_options.h"

#include "settings/hidden_start.h"

#include <algorithm>

namespace vornset {
namespace {

std::optional<Refusal> applyValue(const GlobalSetting& setting, std::string_view value, ConfigBlock& block)
{
    std::optional<std::uint8_t> code = codeOfArgument(setting, value);
    if (!code)
        return Refusal{setting.key, setting.refusal};
    if (setting.field == Setting::stm && *code == hiddenStart && !hiddenStartBootable(block))
        return Refusal{setting.key, HIDDEN_START_NEEDS, true};
    block.set(setting.field, *code);
    return std::nullopt;
}

} // namespace

const GlobalSetting* globalSettingCarriedBy(std::string_view argument)
{
    auto found = std::find_if(GLOBAL_SETTINGS.begin(), GLOBAL_SETTINGS.end(),
                              [argument](const GlobalSetting& setting) { return carries(argument, setting.key); });
    return found == GLOBAL_SETTINGS.end() ? nullptr : &*found;
}

std::optional<std::uint8_t> codeOfArgument(const GlobalSetting& setting, std::string_view value,
                                           std::optional<int> (*readNumber)(std::string_view))
{
    if (!takesNumber(setting))
        return codeOfWord(setting, value);
    std::optional<int> number = readNumber(value);
    return number ? codeOfNumber(setting, *number) : std::nullopt;
}

std::optional<Refusal> applyGlobalOptions(ConfigBlock& block, Entries options)
{
    for (std::size_t row : PASS_ORDER) {
        auto apply = [&block, row](const Entry& entry) { return applyValue(GLOBAL_SETTINGS[row], entry.value, block); };
        if (std::optional<Refusal> refusal = runPass(options, Entry::global, row, apply))
            return refusal;
    }
    return std::nullopt;
}

} // namespace vornset
