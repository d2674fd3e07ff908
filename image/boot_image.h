#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vornset {

// The boot manager's image file, held whole in memory. Any file larger than the
// buffer cannot be an image and is refused before it is read.
struct BootImage {
    static constexpr std::size_t capacity = 65536;

    std::array<std::uint8_t, capacity> content{};
    std::size_t length = 0;
};

// The configuration block is guarded by one version byte just before it; the block's
// layout is only known for this version.
constexpr std::size_t versionOffset = 0x287;
constexpr std::uint8_t supportedVersion = 7;

bool hasSupportedVersion(const BootImage& image);

} // namespace vornset
