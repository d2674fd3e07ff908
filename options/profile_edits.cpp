#include "options/profile_edits.h"

#include <algorithm>

namespace vornset {
namespace {

// Takes one value into the edits: why it was refused, or nothing.
using Taker = Refusal (*)(std::string_view value, ProfileEdits& edits);

// A profile option with the way its value is taken, in the order its pass runs.
struct ProfileOption {
    std::string_view key;
    Taker take;
};

Refusal numberInto(std::optional<int>& target, std::string_view value, int lowest, int highest, Refusal refusal)
{
    target = numberInRange(value, lowest, highest);
    return target ? Refusal{} : refusal;
}

// A name longer than the field is cut to its first sixteen bytes.
Refusal takeName(std::string_view value, ProfileEdits& edits)
{
    ConfigBlock::Name name{};
    std::copy_n(value.begin(), std::min(value.size(), name.size()), name.begin());
    edits.name = name;
    return {};
}

// A drive is written "8", one decimal digit and a lower-case "h", as in 81h.
Refusal takeDrive(std::string_view value, ProfileEdits& edits)
{
    edits.drive.reset();
    if (value.size() == 3 && value[0] == '8' && value[1] >= '0' && value[1] <= '9' && value[2] == 'h')
        edits.drive = value[1] - '0';
    return edits.drive ? Refusal{} : "btdrv, only values 80h-89h are valid";
}

constexpr ProfileOption PROFILE_OPTIONS[] = {
    {PROFILE_KEY,
     [](std::string_view value, ProfileEdits& edits) {
         return numberInto(edits.profile, value, 1, static_cast<int>(ConfigBlock::profileCount),
                           "prf, only values 1-16 are valid");
     }},
    {PROFILE_FIELD_KEYS[0], takeName},
    {PROFILE_FIELD_KEYS[1], takeDrive},
    {PROFILE_FIELD_KEYS[2],
     [](std::string_view value, ProfileEdits& edits) {
         return numberInto(edits.partition, value, lowestPartition, highestPartition,
                           "btprt, only values 1-4 are valid");
     }},
    {PROFILE_FIELD_KEYS[3],
     [](std::string_view value, ProfileEdits& edits) {
         return numberInto(edits.logPart, value, lowestPartition, highestPartition, "btlog, only values 1-4 are valid");
     }},
};

} // namespace

bool collectProfileEdits(Arguments options, ProfileEdits& edits, Output& out)
{
    return std::all_of(std::begin(PROFILE_OPTIONS), std::end(PROFILE_OPTIONS), [&](const ProfileOption& option) {
        return forEachValue(option.key, options, [&](std::string_view value) {
            Refusal refusal = option.take(value, edits);
            return refusal.empty() || refuse(refusal, out);
        });
    });
}

std::optional<Refusal> takeProfileOption(std::string_view argument, ProfileEdits& edits)
{
    auto option = std::find_if(std::begin(PROFILE_OPTIONS), std::end(PROFILE_OPTIONS),
                               [argument](const ProfileOption& o) { return argument.starts_with(o.key); });
    if (option == std::end(PROFILE_OPTIONS))
        return std::nullopt;
    argument.remove_prefix(option->key.size());
    return option->take(argument, edits);
}

void applyProfileEdits(ConfigBlock& block, const ProfileEdits& edits)
{
    if (!edits.profile)
        return;
    auto index = static_cast<std::size_t>(*edits.profile - 1);
    if (edits.name)
        block.setName(index, *edits.name);
    if (edits.drive)
        block.setDrive(index, static_cast<std::uint8_t>(firstBiosDrive + *edits.drive));
    if (edits.partition)
        block.setBootPartition(index, static_cast<unsigned>(*edits.partition));
    if (edits.logPart)
        block.setLogPart(index, static_cast<unsigned>(*edits.logPart));
}

} // namespace vornset
