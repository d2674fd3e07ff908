#include "output/messages.h"
#include "output/profiles.h"
#include "output/report.h"

#include "tests/test_images.h"

#include <gtest/gtest.h>

namespace vornset {
namespace {

using testing::StringOutput;

struct ReportTest : ::testing::Test {
    BootImage image;
    ConfigBlock block{std::span(image.content).subspan<ConfigBlock::offsetInImage, ConfigBlock::size>()};

    std::string report()
    {
        StringOutput out;
        printInfos(block, out);
        return out.text;
    }
};

TEST_F(ReportTest, AllZeroSettingsReadAsTheFirstWordOfEachTable)
{
    EXPECT_EQ(report(), "Video mode     : text mode\n"
                        "Start mode     : menu\n"
                        "Countdown      : off\n"
                        "Countdown value: 0 seconds\n"
                        "Default boot   : off\n"
                        "Profile        : 1\n"
                        "Starfield      : off\n"
                        "Zoom animation : off\n"
                        "Font           : bootmanager\n"
                        "Force USB 1.1  : off\n"
                        "Use USB MassDev: 1\n"
                        "Use INT19h     : off\n"
                        "Startup hotkey : no\n");
}

TEST_F(ReportTest, NumbersAreSignedBytesAndCountFromOneWhereTheBootManagerCountsFromZero)
{
    const std::tuple<Setting, std::uint8_t, const char*> lines[] = {
        {Setting::cntval, 99, "Countdown value: 99 seconds\n"}, {Setting::cntval, 0xFF, "Countdown value: -1 seconds\n"},
        {Setting::dprf, 15, "Profile        : 16\n"},          {Setting::dprf, 0xFF, "Profile        : 0\n"},
        {Setting::usbmdev, 98, "Use USB MassDev: 99\n"},       {Setting::usbmdev, 0x80, "Use USB MassDev: -127\n"},
    };
    for (auto [setting, byte, line] : lines) {
        block.set(setting, byte);
        EXPECT_NE(report().find(line), std::string::npos) << line;
    }
}

TEST_F(ReportTest, BytesOutsideTheirTableAreShownAsUnknown)
{
    block.set(Setting::vm, 5);
    block.set(Setting::stm, 2);
    block.set(Setting::cnt, 0x7F);
    block.set(Setting::dbt, 0x80);
    block.set(Setting::fnt, 0xFF);
    block.set(Setting::usb1, 3);
    block.set(Setting::hotkey, 2);
    std::string text = report();
    EXPECT_NE(text.find("Video mode     : unknown (5)\n"), std::string::npos);
    EXPECT_NE(text.find("Start mode     : unknown (2)\n"), std::string::npos);
    EXPECT_NE(text.find("Countdown      : unknown (127)\n"), std::string::npos);
    EXPECT_NE(text.find("Default boot   : unknown (-128)\n"), std::string::npos);
    EXPECT_NE(text.find("Font           : unknown (-1)\n"), std::string::npos);
    EXPECT_NE(text.find("Force USB 1.1  : unknown (3)\n"), std::string::npos);
    EXPECT_NE(text.find("Startup hotkey : unknown (2)\n"), std::string::npos);
}

TEST_F(ReportTest, ProfileTableShowsEachFieldAsStored)
{
    const std::tuple<std::string_view, std::uint8_t, std::uint8_t> profiles[] = {
        {"Windows XP", 0x80, 0x21},       {"", 0x89, 0x63},
        {"L", 0x8D, 0x44},                {"ABCDEFGHIJKLMNO", 0x8A, 0x1F},
        {"ABCDEFGHIJKLMNOP", 0xFF, 0x82}, {"Bell\ax\xc2\x9b", 0x81, 0xFF},
        {std::string_view("Del\x7f\xe9\0hidden", 12), 0x09, 0xE9}, {"", 0x00, 0x0A},
    };
    for (std::size_t p = 0; p < std::size(profiles); ++p) {
        auto [name, drive, partitionByte] = profiles[p];
        ConfigBlock::Name bytes{};
        std::copy(name.begin(), name.end(), bytes.begin());
        block.setName(p, bytes);
        block.setDrive(p, drive);
        block.setBootPartition(p, partitionByte & 0x1Fu);
        block.setLogPart(p, partitionByte >> 5);
    }
    StringOutput out;
    printProfiles(block, out);
    EXPECT_EQ(out.text, "Nr  Name              Drive  Partition  Log part.\n"
                        " 1  Windows XP        80h    1          1\n"
                        " 2                    89h    3          3\n"
                        " 3  L                 8dh    4          2\n"
                        " 4  ABCDEFGHIJKLMNO   8ah    31         0\n"
                        " 5  ABCDEFGHIJKLMNOP  ffh    2          4\n"
                        " 6  Bell?x?           81h    31         7\n"
                        " 7  Del?\xe9             09h    9          7\n"
                        " 8                    00h    10         0\n"
                        " 9                    00h    0          0\n"
                        "10                    00h    0          0\n"
                        "11                    00h    0          0\n"
                        "12                    00h    0          0\n"
                        "13                    00h    0          0\n"
                        "14                    00h    0          0\n"
                        "15                    00h    0          0\n"
                        "16                    00h    0          0\n");
}

} // namespace
} // namespace vornset
