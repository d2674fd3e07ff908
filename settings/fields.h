#pragma once

#include "image/config_block.h"
#include "settings/settings.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vornset {

// What an option gives a field: a word, a number, a drive byte or a name; none
// where no option gives the stored value.
enum class ValueKind : std::uint8_t { none, word, number, drive, name };

// One field of the block as every export tells it and the JSON reader names it: its
// option's key, the profile it belongs to, the bits it holds, and the value its
// option gives, where one does.
struct Field {
    std::string_view key;
    // 1 to 16 for a profile's field, 0 for a global setting.
    int profile = 0;
    // The bits the field holds: its byte, or its own part of the partition byte.
    unsigned stored = 0;
    ValueKind kind = ValueKind::none;
    std::string_view word{};
    int number = 0;
    ConfigBlock::Name nameBytes{};

    // The name up to its first zero byte; a view into this field.
    std::string_view name() const { return textOf(nameBytes); }
};

// The thirteen global settings in the help screen's order, then each profile's
// five: prf, prfname, btdrv, btprt and btlog.
inline constexpr std::size_t fieldsPerProfile = 5;
inline constexpr std::size_t fieldCount = 13 + ConfigBlock::profileCount * fieldsPerProfile;

// The index'th field of the block, in that order.
Field fieldAt(const ConfigBlock& block, std::size_t index);

// Whether two fields give the same: the same option value, or no option value and
// the same stored bits; for a name, the same sixteen bytes.
bool sameValue(const Field& a, const Field& b);

} // namespace vornset
