#include "options/global_options.h"
#include "options/profile_edits.h"

#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vornset {
namespace {

using testing::StringOutput;

TEST(Param, MatchesTheKeyWithItsEqualsSignAsAPrefix)
{
    std::string_view value = "untouched";
    EXPECT_TRUE(param("cnt=", value, "cnt=on"));
    EXPECT_EQ(value, "on");
    EXPECT_TRUE(param("prfname=", value, "prfname="));
    EXPECT_EQ(value, "");

    value = "untouched";
    for (const char* other : {"cntval=5", "CNT=on", "cnt", "cn=on", " cnt=on", ""})
        EXPECT_FALSE(param("cnt=", value, other)) << other;
    EXPECT_FALSE(param("prf=", value, "prfname=x"));
    EXPECT_EQ(value, "untouched");
}

TEST(ParseNumber, ReadsLikeAtoi)
{
    const std::pair<const char*, int> cases[] = {
        {"7", 7},     {"7s", 7},       {"abc", 0},      {"", 0},          {" \t\n\v\f\r12", 12},
        {"+5", 5},    {"-5", -5},      {"- 5", 0},      {"0x10", 0},      {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
    };
    for (auto [text, number] : cases)
        EXPECT_EQ(parseNumber(text), number) << text;
    EXPECT_EQ(parseNumber(std::string(300, '0') + "7"), 7);
}

TEST(ParseNumber, NumbersBeyondAnIntAreNotWrappedIntoRange)
{
    for (const char* text : {"2147483648", "4294967297", "99999999999999999999", "-4294967295", "-2147483649"})
        EXPECT_EQ(parseNumber(text), std::nullopt) << text;
}

struct OptionsTest : ::testing::Test {
    std::vector<std::uint8_t> original = testing::patternedImage(4096);
    BootImage image;
    ConfigBlock block{std::span(image.content).subspan<ConfigBlock::offsetInImage, ConfigBlock::size>()};
    ProfileEdits edits;
    StringOutput out;

    void SetUp() override
    {
        original[0x28C] = 0; // countdown off
        original[0x28A] = 0; // default boot off
        std::copy(original.begin(), original.end(), image.content.begin());
        image.length = original.size();
    }

    bool applyGlobal(std::vector<const char*> options) { return applyGlobalOptions(block, options, out); }
    bool collect(std::vector<const char*> options) { return collectProfileEdits(options, edits, out); }

    // Applies one option to a fresh block and returns the stored byte, or the message.
    std::string stored(const char* option, Setting setting)
    {
        SetUp();
        out.text.clear();
        if (!applyGlobal({option}))
            return out.text;
        return std::to_string(block.get(setting));
    }
};

TEST_F(OptionsTest, WordsStoreTheirPosition)
{
    const char* const videoModes[] = {"vm=text", "vm=640x480", "vm=800x600", "vm=1024x768", "vm=1280x1024"};
    for (int code = 0; code < 5; ++code)
        EXPECT_EQ(stored(videoModes[code], Setting::vm), std::to_string(code));
    const char* const defaultBoots[] = {"dbt=off", "dbt=profile", "dbt=floppy", "dbt=cdrom", "dbt=usb"};
    for (int code = 0; code < 5; ++code)
        EXPECT_EQ(stored(defaultBoots[code], Setting::dbt), std::to_string(code));

    EXPECT_EQ(stored("cnt=on", Setting::cnt), "1");
    EXPECT_EQ(stored("cnt=off", Setting::cnt), "0");
    EXPECT_EQ(stored("stm=menu", Setting::stm), "0");
    EXPECT_EQ(stored("stf=on", Setting::stf), "1");
    EXPECT_EQ(stored("zan=on", Setting::zan), "1");
    EXPECT_EQ(stored("fnt=bt", Setting::fnt), "0");
    EXPECT_EQ(stored("fnt=bios", Setting::fnt), "1");
    EXPECT_EQ(stored("usb1=off", Setting::usb1), "0");
    EXPECT_EQ(stored("usb1=2", Setting::usb1), "2");
    EXPECT_EQ(stored("int19h=on", Setting::int19h), "1");
    EXPECT_EQ(stored("hotkey=yes", Setting::hotkey), "1");
    EXPECT_EQ(stored("hotkey=no", Setting::hotkey), "0");
}

TEST_F(OptionsTest, NumbersStoreTheirValueLessTheBias)
{
    EXPECT_EQ(stored("cntval=1", Setting::cntval), "1");
    EXPECT_EQ(stored("cntval=99", Setting::cntval), "99");
    EXPECT_EQ(stored("cntval=7s", Setting::cntval), "7");
    EXPECT_EQ(stored(("cntval=" + std::string(300, '0') + "7").c_str(), Setting::cntval), "7");
    EXPECT_EQ(stored("usbmdev=1", Setting::usbmdev), "0");
    EXPECT_EQ(stored("usbmdev=99", Setting::usbmdev), "98");
    EXPECT_EQ(stored("dprf=1", Setting::dprf), "0");
    EXPECT_EQ(stored("dprf=16", Setting::dprf), "15");
}

TEST_F(OptionsTest, EachKeyRefusesOtherValuesWithItsOwnMessage)
{
    const std::pair<const char*, const char*> refusals[] = {
        {"vm=Text", "Parameter error: vm, run vornset without parameter to see help\n"},
        {"vm=", "Parameter error: vm, run vornset without parameter to see help\n"},
        {"cnt=ON", "Parameter error: cnt, only on and off is valid\n"},
        {"cntval=0", "Parameter error: cntval, only values 1-99 are valid\n"},
        {"cntval=100", "Parameter error: cntval, only values 1-99 are valid\n"},
        {"cntval=-5", "Parameter error: cntval, only values 1-99 are valid\n"},
        {"cntval=abc", "Parameter error: cntval, only values 1-99 are valid\n"},
        {"cntval=4294967297", "Parameter error: cntval, only values 1-99 are valid\n"},
        {"cntval=-4294967295", "Parameter error: cntval, only values 1-99 are valid\n"},
        {"usbmdev=0", "Parameter error: usbmdev, only values 1-99 are valid\n"},
        {"usbmdev=4294967296", "Parameter error: usbmdev, only values 1-99 are valid\n"},
        {"dbt=none", "Parameter error: dbt, run vornset without parameter to see help\n"},
        {"stm=Hidden", "Parameter error: stm, menu or hidden alowed\n"},
        {"dprf=17", "Parameter error: dprf, only values 1-16 are valid\n"},
        {"dprf=4294967297", "Parameter error: dprf, only values 1-16 are valid\n"},
        {"stf=1", "Parameter error: stf, only on and off is valid\n"},
        {"zan=yes", "Parameter error: zan, only on and off is valid\n"},
        {"fnt=bootmanager", "Parameter error: fnt, only bt and bios is valid\n"},
        {"usb1=01", "Parameter error: usb1, only off, 1, 2 is valid\n"},
        {"usb1=1.0", "Parameter error: usb1, only off, 1, 2 is valid\n"},
        {"int19h=", "Parameter error: int19h, only on and off is valid\n"},
        {"hotkey=on", "Parameter error: hk, only yes and no is valid\n"},
    };
    for (auto [option, message] : refusals)
        EXPECT_EQ(stored(option, Setting::vm), message) << option;
    EXPECT_EQ(stored(("vm=" + std::string(5000, 't')).c_str(), Setting::vm),
              "Parameter error: vm, run vornset without parameter to see help\n");
}

TEST_F(OptionsTest, HiddenStartNeedsCountdownAndDefaultBootAsTheEarlierPassesLeftThem)
{
    EXPECT_TRUE(applyGlobal({"stm=hidden", "dbt=usb", "cnt=on"}));
    EXPECT_EQ(block.get(Setting::stm), 1);

    const char* hiddenRefusal = "Parameter error: stm, hidden mode requires countdown and default boot\n";
    for (std::vector<const char*> options : {std::vector<const char*>{"stm=hidden"},
                                             {"stm=hidden", "cnt=on"},
                                             {"dbt=usb", "stm=hidden"},
                                             {"cnt=on", "dbt=usb", "cnt=off", "stm=hidden"}}) {
        SetUp();
        out.text.clear();
        EXPECT_FALSE(applyGlobal(options));
        EXPECT_EQ(out.text, hiddenRefusal);
    }

    SetUp();
    block.set(Setting::cnt, 1);
    block.set(Setting::dbt, 4);
    EXPECT_TRUE(applyGlobal({"stm=hidden"}));
    EXPECT_TRUE(applyGlobal({"stm=menu"})) << "menu is always accepted";
}

// Taking the countdown or the default boot away from a hidden start is refused as
// giving a hidden start without them is: after all passes, cnt first.
TEST_F(OptionsTest, HiddenStartKeepsItsCountdownAndDefaultBoot)
{
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"cnt=off"}, "Parameter error: cnt, hidden mode requires countdown and default boot\n"},
        {{"dbt=off"}, "Parameter error: dbt, hidden mode requires countdown and default boot\n"},
        {{"dbt=off", "cnt=off"}, "Parameter error: cnt, hidden mode requires countdown and default boot\n"},
        {{"cnt=off", "cnt=on", "dbt=off", "dbt=cdrom"}, ""},
        {{"stm=menu", "cnt=off", "dbt=off"}, ""},
        {{"cnt=on", "dbt=usb", "vm=text"}, ""},
    };
    for (const auto& [options, message] : cases) {
        SetUp();
        block.set(Setting::cnt, 1);
        block.set(Setting::dbt, 4);
        block.set(Setting::stm, 1);
        out.text.clear();
        EXPECT_EQ(applyGlobal(options), message.empty()) << options[0];
        EXPECT_EQ(out.text, message) << options[0];
    }

    SetUp(); // countdown and default boot off already
    block.set(Setting::stm, 1);
    EXPECT_TRUE(applyGlobal({"vm=text", "zan=off"})) << "an image in that state can still be edited";
    EXPECT_TRUE(applyGlobal({"cnt=on", "dbt=usb"}));
}

TEST_F(OptionsTest, PassOrderNotArgumentOrderDecidesTheFirstError)
{
    EXPECT_FALSE(applyGlobal({"stm=x", "hotkey=x", "vm=x"}));
    EXPECT_EQ(out.text, "Parameter error: vm, run vornset without parameter to see help\n");
}

TEST_F(OptionsTest, RepeatedKeysApplyInArgumentOrder)
{
    EXPECT_TRUE(applyGlobal({"vm=text", "vm=800x600"}));
    EXPECT_EQ(block.get(Setting::vm), 2);
    EXPECT_FALSE(applyGlobal({"vm=800x600", "vm=bad"}));
}

TEST_F(OptionsTest, UnknownArgumentsAreIgnoredSilently)
{
    EXPECT_TRUE(applyGlobal({"VM=text", "vm", "text", "foo=1", "cntval", "=on", ""}));
    EXPECT_TRUE(collect({"PRF=1", "prf", "name=x"}));
    EXPECT_EQ(out.text, "");
    EXPECT_FALSE(edits.profile);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), image.content.begin()));
}

TEST_F(OptionsTest, ProfileValuesAreValidatedAndGathered)
{
    ASSERT_TRUE(collect({"btlog=2", "btprt=3", "btdrv=81h", "prfname=Boot", "prf=2", "prf=4"}));
    EXPECT_EQ(edits.profile, 4);
    EXPECT_EQ(edits.drive, 1);
    EXPECT_EQ(edits.partition, 3);
    EXPECT_EQ(edits.logPart, 2);
    ASSERT_TRUE(edits.name);
    EXPECT_EQ(*edits.name, (ConfigBlock::Name{'B', 'o', 'o', 't'}));
}

TEST_F(OptionsTest, ProfileRefusals)
{
    const std::pair<const char*, const char*> refusals[] = {
        {"prf=0", "Parameter error: prf, only values 1-16 are valid\n"},
        {"prf=17", "Parameter error: prf, only values 1-16 are valid\n"},
        {"prf=4294967297", "Parameter error: prf, only values 1-16 are valid\n"},
        {"btdrv=8Ah", "Parameter error: btdrv, only values 80h-89h are valid\n"},
        {"btdrv=80H", "Parameter error: btdrv, only values 80h-89h are valid\n"},
        {"btdrv=080h", "Parameter error: btdrv, only values 80h-89h are valid\n"},
        {"btdrv=80", "Parameter error: btdrv, only values 80h-89h are valid\n"},
        {"btprt=5", "Parameter error: btprt, only values 1-4 are valid\n"},
        {"btprt=4294967297", "Parameter error: btprt, only values 1-4 are valid\n"},
        {"btlog=0", "Parameter error: btlog, only values 1-4 are valid\n"},
        {"btlog=4294967297", "Parameter error: btlog, only values 1-4 are valid\n"},
    };
    for (auto [option, message] : refusals) {
        out.text.clear();
        EXPECT_FALSE(collect({option})) << option;
        EXPECT_EQ(out.text, message) << option;
    }
}

TEST_F(OptionsTest, ProfilePassesRunInTheirOwnOrder)
{
    EXPECT_FALSE(collect({"btlog=9", "btprt=9", "btdrv=9", "prf=99"}));
    EXPECT_EQ(out.text, "Parameter error: prf, only values 1-16 are valid\n");
}

TEST_F(OptionsTest, NamesAreCutToSixteenBytesAndZeroFilled)
{
    std::string longName = "prfname=ABCDEFGHIJKLMNOPQR" + std::string(5000, 'x');
    ASSERT_TRUE(collect({"prf=16", longName.c_str()}));
    applyProfileEdits(block, edits);
    EXPECT_EQ(block.name(15), (ConfigBlock::Name{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M',
                                                 'N', 'O', 'P'}));

    ASSERT_TRUE(collect({"prf=2", "prfname=Windows"}));
    applyProfileEdits(block, edits);
    EXPECT_EQ(block.name(1), (ConfigBlock::Name{'W', 'i', 'n', 'd', 'o', 'w', 's'}));

    ASSERT_TRUE(collect({"prfname="}));
    applyProfileEdits(block, edits);
    EXPECT_EQ(block.name(1), ConfigBlock::Name{});
}

TEST_F(OptionsTest, ApplyingEditsTouchesOnlyTheChosenProfile)
{
    image.content[0x458 + 4] = 0x00;
    ASSERT_TRUE(collect({"prf=5", "btprt=3", "btlog=2", "btdrv=89h"}));
    applyProfileEdits(block, edits);
    EXPECT_EQ(out.text, "") << "ffff is printed for names only";
    std::vector<std::uint8_t> after(image.content.begin(), image.content.begin() + 4096);
    std::vector<std::size_t> offsets{0x458 + 4, 0x468 + 4};
    EXPECT_EQ(testing::changedOffsets(original, after), offsets);
    EXPECT_EQ(block.partitionByte(4), 0x43);
    EXPECT_EQ(block.drive(4), 0x89);
}

TEST_F(OptionsTest, EditsWithoutAProfileNumberAreDropped)
{
    ASSERT_TRUE(collect({"prfname=Boot", "btdrv=81h", "btprt=1", "btlog=1"}));
    applyProfileEdits(block, edits);
    EXPECT_EQ(out.text, "");
    EXPECT_TRUE(std::equal(original.begin(), original.end(), image.content.begin()));
}

} // namespace
} // namespace vornset
