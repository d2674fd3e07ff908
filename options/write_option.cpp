#include "options/write_option.h"

#include "options/refusal.h"

namespace vornset {

bool checkWriteOption(Arguments options, Output& out)
{
    return forEachValue(WRITE_KEY, options, [&](std::string_view value) {
        return value == "yes" || value == "no" || refuse("write, only yes and no are valid", out);
    });
}

bool isDryRun(Arguments options)
{
    bool dryRun = false;
    forEachValue(WRITE_KEY, options, [&](std::string_view value) {
        if (value == "yes" || value == "no")
            dryRun = value == "no";
        return true;
    });
    return dryRun;
}

} // namespace vornset
