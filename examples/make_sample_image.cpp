// Writes the synthetic sample image examples/vornbm.bin: 16 KiB of deterministic
// filler standing in for the boot manager's code, a configuration version of 7, and
// a configuration block with plausible settings and sixteen named profiles.
//
// Offsets are written out here on purpose rather than taken from the tool's own
// layout code, so the sample can catch a mistake in that code.
//
//   make_sample_image OUTPUT

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t imageLength = 16384;
constexpr std::size_t block = 0x288;

constexpr const char* profileNames[16] = {
    "Windows 11", "Debian 12", "Fedora", "FreeBSD", "OpenBSD", "Rescue", "Arch Linux", "Haiku",
    "ReactOS", "Windows XP", "Ubuntu Server 24", "Gentoo", "Alpine", "Slackware", "NetBSD", "Memtest",
};

void fillWithNoise(std::array<std::uint8_t, imageLength>& image)
{
    std::uint32_t state = 0x5eed1234;
    for (std::uint8_t& byte : image) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
}

void writeSettings(std::array<std::uint8_t, imageLength>& image)
{
    image[0x287] = 7;            // configuration version
    image[block + 0x00] = 2;     // video mode 800x600
    image[block + 0x02] = 1;     // default boot: profile
    image[block + 0x03] = 0;     // default profile 1
    image[block + 0x04] = 1;     // countdown on
    image[block + 0x05] = 10;    // countdown 10 seconds
    image[block + 0x0B] = 0;     // start mode menu
    image[block + 0x0D] = 1;     // starfield on
    image[block + 0x11] = 0;     // boot manager font
    image[block + 0x12] = 1;     // zoom animation on
    image[block + 0x17] = 0;     // force USB 1.1 off
    image[block + 0x18] = 0;     // INT 19h off
    image[block + 0x19] = 0;     // USB mass-storage device 1
    image[block + 0x1A] = 1;     // startup hotkey yes
}

void writeProfiles(std::array<std::uint8_t, imageLength>& image)
{
    for (std::size_t p = 0; p < 16; ++p) {
        auto partition = static_cast<std::uint8_t>(p % 4 + 1);
        image[block + 0x1D0 + p] = static_cast<std::uint8_t>(partition << 5 | partition);
        image[block + 0x1E0 + p] = static_cast<std::uint8_t>(0x80 + p / 4);
        std::uint8_t* name = &image[block + 0x400 + 16 * p];
        std::memset(name, 0, 16);
        std::memcpy(name, profileNames[p], std::strlen(profileNames[p]));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fputs("usage: make_sample_image OUTPUT\n", stderr);
        return 2;
    }
    static std::array<std::uint8_t, imageLength> image;
    fillWithNoise(image);
    writeSettings(image);
    writeProfiles(image);

    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
