#include "console/report.h"

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

TEST_F(ReportTest, LastWordOfEachTable)
{
    block.set(Setting::vm, 4);
    block.set(Setting::stm, 1);
    block.set(Setting::cnt, 1);
    block.set(Setting::cntval, 99);
    block.set(Setting::dbt, 4);
    block.set(Setting::dprf, 15);
    block.set(Setting::stf, 1);
    block.set(Setting::zan, 1);
    block.set(Setting::fnt, 1);
    block.set(Setting::usb1, 2);
    block.set(Setting::usbmdev, 98);
    block.set(Setting::int19h, 1);
    block.set(Setting::hotkey, 1);
    EXPECT_EQ(report(), "Video mode     : 1280x1024\n"
                        "Start mode     : hidden\n"
                        "Countdown      : on\n"
                        "Countdown value: 99 seconds\n"
                        "Default boot   : usb\n"
                        "Profile        : 16\n"
                        "Starfield      : on\n"
                        "Zoom animation : on\n"
                        "Font           : bios\n"
                        "Force USB 1.1  : 2\n"
                        "Use USB MassDev: 99\n"
                        "Use INT19h     : on\n"
                        "Startup hotkey : yes\n");
}

TEST_F(ReportTest, BytesAreReadAsSigned)
{
    block.set(Setting::cntval, 0xFF);
    block.set(Setting::dprf, 0xFF);
    block.set(Setting::usbmdev, 0x80);
    std::string text = report();
    EXPECT_NE(text.find("Countdown value: -1 seconds\n"), std::string::npos);
    EXPECT_NE(text.find("Profile        : 0\n"), std::string::npos);
    EXPECT_NE(text.find("Use USB MassDev: -127\n"), std::string::npos);
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

} // namespace
} // namespace vornset
