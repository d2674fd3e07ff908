#include "image/config_block.h"

#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <utility>

namespace vornset {
namespace {

using testing::changedOffsets;
using testing::patternedImage;

BootImage loaded(const std::vector<std::uint8_t>& bytes)
{
    BootImage image;
    std::copy(bytes.begin(), bytes.end(), image.content.begin());
    image.length = bytes.size();
    return image;
}

std::vector<std::uint8_t> contentOf(const BootImage& image)
{
    return {image.content.begin(), image.content.begin() + static_cast<std::ptrdiff_t>(image.length)};
}

TEST(VersionCheck, AcceptsOnlyVersionSevenWhateverElseTheImageHolds)
{
    BootImage image = loaded(std::vector<std::uint8_t>(2000, 0xFF));
    image.content[0x287] = 7;
    EXPECT_TRUE(hasSupportedVersion(image));
    image.content[0x287] = 6;
    EXPECT_FALSE(hasSupportedVersion(image));
    image.content[0x287] = 8;
    EXPECT_FALSE(hasSupportedVersion(image));
}

TEST(ConfigBlockLayout, EachSettingLivesAtItsFileOffsetAndNowhereElse)
{
    const std::pair<Setting, std::size_t> fileOffsets[] = {
        {Setting::vm, 0x288},     {Setting::dbt, 0x28A},    {Setting::dprf, 0x28B},  {Setting::cnt, 0x28C},
        {Setting::cntval, 0x28D}, {Setting::stm, 0x293},    {Setting::stf, 0x295},   {Setting::fnt, 0x299},
        {Setting::zan, 0x29A},    {Setting::usb1, 0x29F},   {Setting::int19h, 0x2A0}, {Setting::usbmdev, 0x2A1},
        {Setting::hotkey, 0x2A2},
    };
    for (auto [setting, offset] : fileOffsets) {
        BootImage image = loaded(patternedImage());
        std::vector<std::uint8_t> before = contentOf(image);
        ConfigBlock block = configBlock(image);
        EXPECT_EQ(block.get(setting), before[offset]);
        block.set(setting, 0xA5);
        EXPECT_EQ(changedOffsets(before, contentOf(image)), std::vector<std::size_t>{offset});
        EXPECT_EQ(image.content[offset], 0xA5);
    }
}

TEST(ConfigBlockLayout, ProfileTablesLieAtTheirFileOffsets)
{
    BootImage image = loaded(patternedImage());
    std::vector<std::uint8_t> before = contentOf(image);
    ConfigBlock block = configBlock(image);
    block.setDrive(15, 0x89);
    block.setName(15, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'});
    block.setBootPartition(0, 3);

    std::vector<std::size_t> expected{0x458};
    expected.push_back(0x468 + 15);
    for (std::size_t i = 0x778; i <= 0x787; ++i)
        expected.push_back(i);
    EXPECT_EQ(changedOffsets(before, contentOf(image)), expected);
    EXPECT_EQ(block.drive(15), 0x89);
    EXPECT_EQ(block.name(15)[15], 'P');
}

TEST(ConfigBlockLayout, TheSmallestImageHoldsEveryField)
{
    BootImage image = loaded(patternedImage(minimumImageLength));
    ConfigBlock block = configBlock(image);
    block.setName(15, ConfigBlock::Name{});
    EXPECT_EQ(minimumImageLength, 0x788u);
    EXPECT_EQ(image.content[0x787], 0);
}

TEST(PartitionByte, PartitionAndLogPartKeepEachOthersBits)
{
    BootImage image = loaded(patternedImage());
    ConfigBlock block = configBlock(image);
    image.content[0x458 + 2] = 0x63;
    block.setBootPartition(2, 2);
    EXPECT_EQ(block.partitionByte(2), 0x62);
    block.setLogPart(2, 4);
    EXPECT_EQ(block.partitionByte(2), 0x82);

    image.content[0x458 + 4] = 0x1F;
    block.setLogPart(4, 4);
    EXPECT_EQ(block.partitionByte(4), 0x9F);
}

} // namespace
} // namespace vornset
