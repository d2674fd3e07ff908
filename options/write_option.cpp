#include "options/write_option.h"

namespace vornset {
namespace {

bool isWriteValue(std::string_view value)
{
    return value == "yes" || value == "no";
}

} // namespace

std::optional<Refusal> checkWriteOption(Entries options)
{
    return runPass(options, Entry::runKey, writeRow, [](const Entry& option) {
        return isWriteValue(option.value) ? std::nullopt
                                          : std::optional<Refusal>(Refusal{WRITE_KEY, "write, only yes and no are valid"});
    });
}

bool isDryRun(Entries options)
{
    bool dryRun = false;
    runPass(options, Entry::runKey, writeRow, [&dryRun](const Entry& option) {
        if (isWriteValue(option.value))
            dryRun = option.value == "no";
        return std::optional<Refusal>();
    });
    return dryRun;
}

} // namespace vornset
