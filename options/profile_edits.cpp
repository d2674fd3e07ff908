#include "options/profile_edits.h"

#include "options/refusal.h"

#include <algorithm>

namespace vornset {
namespace {

constexpr std::uint8_t firstBiosDrive = 0x80;

// Returns an acceptor that stores numbers in the range into target and refuses
// anything else with the message.
auto numberInto(std::optional<int>& target, int lowest, int highest, Refusal refusal, Output& out)
{
    return [&target, lowest, highest, refusal, &out](std::string_view value) {
        target = numberInRange(value, lowest, highest);
        return target ? true : refuse(refusal, out);
    };
}

// A name longer than the field is cut to its first sixteen bytes.
ConfigBlock::Name nameFrom(std::string_view value)
{
    ConfigBlock::Name name{};
    std::copy_n(value.begin(), std::min(value.size(), name.size()), name.begin());
    return name;
}

// A drive is written "8", one decimal digit and a lower-case "h", as in 81h.
std::optional<int> driveDigit(std::string_view value)
{
    if (value.size() != 3 || value[0] != '8' || value[1] < '0' || value[1] > '9' || value[2] != 'h')
        return std::nullopt;
    return value[1] - '0';
}

} // namespace

bool collectProfileEdits(Arguments options, ProfileEdits& edits, Output& out)
{
    return forEachValue(PROFILE_KEY, options,
                        numberInto(edits.profile, 1, 16, "prf, only values 1-16 are valid", out))
        && forEachValue(PROFILE_FIELD_KEYS[0], options,
                        [&](std::string_view value) {
                            edits.name = nameFrom(value);
                            return true;
                        })
        && forEachValue(PROFILE_FIELD_KEYS[1], options,
                        [&](std::string_view value) {
                            edits.drive = driveDigit(value);
                            return edits.drive ? true : refuse("btdrv, only values 80h-89h are valid", out);
                        })
        && forEachValue(PROFILE_FIELD_KEYS[2], options,
                        numberInto(edits.partition, 1, 4, "btprt, only values 1-4 are valid", out))
        && forEachValue(PROFILE_FIELD_KEYS[3], options,
                        numberInto(edits.logPart, 1, 4, "btlog, only values 1-4 are valid", out));
}

void applyProfileEdits(ConfigBlock& block, const ProfileEdits& edits, Output& out)
{
    if (!edits.profile)
        return;
    auto index = static_cast<std::size_t>(*edits.profile - 1);
    if (edits.name) {
        // Printed without a newline: the closing message continues this line.
        out << "ffff";
        block.setName(index, *edits.name);
    }
    if (edits.drive)
        block.setDrive(index, static_cast<std::uint8_t>(firstBiosDrive + *edits.drive));
    if (edits.partition)
        block.setBootPartition(index, static_cast<unsigned>(*edits.partition));
    if (edits.logPart)
        block.setLogPart(index, static_cast<unsigned>(*edits.logPart));
}

} // namespace vornset
