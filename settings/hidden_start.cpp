#include "settings/hidden_start.h"

namespace vornset {

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

} // namespace vornset
