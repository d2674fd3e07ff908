#include "image/config_block.h"

#include <algorithm>
#include <cassert>

namespace vornset {
namespace {

constexpr std::size_t partitionTable = 0x1D0;
constexpr std::size_t driveTable = 0x1E0;
constexpr std::size_t nameTable = 0x400;
constexpr unsigned partitionBits = 0x1F;
constexpr unsigned logPartBits = 0xE0;
constexpr unsigned logPartShift = 5;

std::size_t at(std::size_t table, std::size_t profile, std::size_t width = 1)
{
    assert(profile < ConfigBlock::profileCount);
    return table + profile * width;
}

} // namespace

ConfigBlock::ConfigBlock(std::span<std::uint8_t, size> bytes) : bytes_(bytes) {}

std::uint8_t ConfigBlock::get(Setting setting) const
{
    return bytes_[static_cast<std::size_t>(setting)];
}

void ConfigBlock::set(Setting setting, std::uint8_t value)
{
    bytes_[static_cast<std::size_t>(setting)] = value;
}

std::uint8_t ConfigBlock::drive(std::size_t profile) const
{
    return bytes_[at(driveTable, profile)];
}

void ConfigBlock::setDrive(std::size_t profile, std::uint8_t biosDrive)
{
    bytes_[at(driveTable, profile)] = biosDrive;
}

std::uint8_t ConfigBlock::partitionByte(std::size_t profile) const
{
    return bytes_[at(partitionTable, profile)];
}

unsigned ConfigBlock::bootPartition(std::size_t profile) const
{
    return partitionByte(profile) & partitionBits;
}

unsigned ConfigBlock::logPart(std::size_t profile) const
{
    return partitionByte(profile) >> logPartShift;
}

void ConfigBlock::setBootPartition(std::size_t profile, unsigned partition)
{
    std::uint8_t& byte = bytes_[at(partitionTable, profile)];
    byte = static_cast<std::uint8_t>((byte & logPartBits) + partition);
}

void ConfigBlock::setLogPart(std::size_t profile, unsigned logPart)
{
    std::uint8_t& byte = bytes_[at(partitionTable, profile)];
    byte = static_cast<std::uint8_t>((logPart << logPartShift) + (byte & partitionBits));
}

ConfigBlock::Name ConfigBlock::name(std::size_t profile) const
{
    Name name{};
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at(nameTable, profile, nameLength)), nameLength, name.begin());
    return name;
}

void ConfigBlock::setName(std::size_t profile, const Name& name)
{
    std::copy(name.begin(), name.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at(nameTable, profile, nameLength)));
}

std::string_view textOf(const ConfigBlock::Name& name)
{
    std::string_view whole(reinterpret_cast<const char*>(name.data()), name.size());
    return {whole.data(), std::min(whole.find('\0'), whole.size())};
}

bool hasSupportedVersion(const BootImage& image)
{
    return image.length > versionOffset && image.content[versionOffset] == supportedVersion;
}

ConfigBlock configBlock(BootImage& image)
{
    assert(image.length >= minimumImageLength);
    return ConfigBlock(std::span(image.content).subspan<ConfigBlock::offsetInImage, ConfigBlock::size>());
}

} // namespace vornset
