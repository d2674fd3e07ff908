#include "options/write_option.h"

namespace vornset {
namespace {

bool isWriteValue(std::string_view value)
{
    return value == "yes" || value == "no";
}

} // namespace

std::optional<Refusal> checkWriteOption(Arguments options)
{
    bool valid = forEachValue(WRITE_KEY, options, isWriteValue);
    return valid ? std::nullopt : std::optional<Refusal>(Refusal{WRITE_KEY, "write, only yes and no are valid"});
}

bool isDryRun(Arguments options)
{
    bool dryRun = false;
    forEachValue(WRITE_KEY, options, [&](std::string_view value) {
        if (isWriteValue(value))
            dryRun = value == "no";
        return true;
    });
    return dryRun;
}

} // namespace vornset
