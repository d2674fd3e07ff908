#pragma once

#include "image/boot_image.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vornset {

// The one-byte global settings, each named after the option key that sets it and
// valued at its offset from the start of the block.
enum class Setting : std::uint8_t {
    vm = 0x00,
    dbt = 0x02,
    dprf = 0x03,
    cnt = 0x04,
    cntval = 0x05,
    stm = 0x0B,
    stf = 0x0D,
    fnt = 0x11,
    zan = 0x12,
    usb1 = 0x17,
    int19h = 0x18,
    usbmdev = 0x19,
    hotkey = 0x1A,
};

// A view onto the configuration block inside an image buffer: writes land in the
// image itself. Bytes the tool does not know are never touched. Profile indexes are
// 0..15; callers validate profile numbers before they reach the block.
class ConfigBlock {
public:
    static constexpr std::size_t offsetInImage = versionOffset + 1;
    // The block ends with the last byte of the last profile name.
    static constexpr std::size_t size = 0x500;
    static constexpr std::size_t profileCount = 16;
    static constexpr std::size_t nameLength = 16;

    using Name = std::array<std::uint8_t, nameLength>;

    explicit ConfigBlock(std::span<std::uint8_t, size> bytes);

    std::uint8_t get(Setting setting) const;
    void set(Setting setting, std::uint8_t value);

    std::uint8_t drive(std::size_t profile) const;
    void setDrive(std::size_t profile, std::uint8_t biosDrive);

    // Bits 0-4 hold the boot partition, bits 5-7 the log part. number.
    std::uint8_t partitionByte(std::size_t profile) const;
    unsigned bootPartition(std::size_t profile) const;
    unsigned logPart(std::size_t profile) const;
    void setBootPartition(std::size_t profile, unsigned partition);
    void setLogPart(std::size_t profile, unsigned logPart);

    Name name(std::size_t profile) const;
    void setName(std::size_t profile, const Name& name);

private:
    std::span<std::uint8_t, size> bytes_;
};

// A name fills its sixteen bytes or ends at its first zero byte.
std::string_view textOf(const ConfigBlock::Name& name);

constexpr std::size_t minimumImageLength = ConfigBlock::offsetInImage + ConfigBlock::size;

// The block of an image whose length is at least minimumImageLength.
ConfigBlock configBlock(BootImage& image);

} // namespace vornset
