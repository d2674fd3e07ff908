#include "options/settings_file.h"
#include "output/settings_export.h"

#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <string>

namespace vornset {
namespace {

using testing::MemoryFile;
using testing::MemorySettingsFiles;
using testing::runTool;
using testing::sampleImage;
using testing::StringOutput;

using testing::closingMessages;

struct SettingsTest : ::testing::Test {
    BootImage image;
    ConfigBlock block{std::span(image.content).subspan<ConfigBlock::offsetInImage, ConfigBlock::size>()};
    StringOutput out;

    void SetUp() override
    {
        std::vector<std::uint8_t> sample = sampleImage();
        std::copy(sample.begin(), sample.end(), image.content.begin());
        image.length = sample.size();
    }

    std::string asOptions()
    {
        StringOutput text;
        printSettingsAsOptions(block, text);
        return text.text;
    }

    std::string asJson()
    {
        StringOutput text;
        printSettingsAsJson(block, text);
        return text.text;
    }

    // The line of the settings file that shows the given key, or the comment for it.
    std::string lineFor(std::string_view key)
    {
        std::string text = asOptions();
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find('\n', at);
            std::string line = text.substr(at, end - at);
            if (line.starts_with(std::string(key) + "=") || line.starts_with("# " + std::string(key) + ":"))
                return line;
            at = end + 1;
        }
        return "";
    }
};

// Every field at the ends of what an option can give and one step beyond: the option
// line, or the comment that keeps load= from touching it. Profile fields of profile 1.
TEST_F(SettingsTest, StoredValuesThatNoOptionGivesAreWrittenAsComments)
{
    struct Case {
        std::size_t offset;
        std::uint8_t stored;
        std::string_view key;
        std::string line;
    };
    const Case cases[] = {
        {0x288, 4, "vm", "vm=1280x1024"},         {0x288, 5, "vm", "# vm: stored value 5 has no option value"},
        {0x28D, 0, "cntval", "# cntval: stored value 0 has no option value"},
        {0x28D, 1, "cntval", "cntval=1"},         {0x28D, 99, "cntval", "cntval=99"},
        {0x28D, 100, "cntval", "# cntval: stored value 100 has no option value"},
        {0x28B, 15, "dprf", "dprf=16"},           {0x28B, 16, "dprf", "# dprf: stored value 16 has no option value"},
        {0x2A1, 98, "usbmdev", "usbmdev=99"},     {0x2A1, 255, "usbmdev", "# usbmdev: stored value 255 has no option value"},
        {0x29F, 2, "usb1", "usb1=2"},             {0x29F, 3, "usb1", "# usb1: stored value 3 has no option value"},
        {0x2A2, 2, "hotkey", "# hotkey: stored value 2 has no option value"},
        {0x468, 0x7F, "btdrv", "# btdrv: stored value 127 has no option value"},
        {0x468, 0x80, "btdrv", "btdrv=80h"},      {0x468, 0x89, "btdrv", "btdrv=89h"},
        {0x468, 0x8A, "btdrv", "# btdrv: stored value 138 has no option value"},
        {0x458, 0x20, "btprt", "# btprt: stored value 32 has no option value"},
        {0x458, 0x21, "btprt", "btprt=1"},        {0x458, 0x84, "btprt", "btprt=4"},
        {0x458, 0x85, "btprt", "# btprt: stored value 133 has no option value"},
        {0x458, 0x01, "btlog", "# btlog: stored value 1 has no option value"},
        {0x458, 0x21, "btlog", "btlog=1"},        {0x458, 0x81, "btlog", "btlog=4"},
        {0x458, 0xA1, "btlog", "# btlog: stored value 161 has no option value"},
    };
    for (const Case& c : cases) {
        SetUp();
        image.content[c.offset] = c.stored;
        EXPECT_EQ(lineFor(c.key), c.line) << c.key << " " << int{c.stored};
    }
}

TEST_F(SettingsTest, NamesAreWrittenAsStoredUnlessALineCannotCarryThem)
{
    const std::pair<std::string_view, std::string> names[] = {
        {"  Two  spaces  ", "prfname=  Two  spaces  "},
        {"ABCDEFGHIJKLMNOP", "prfname=ABCDEFGHIJKLMNOP"},
        {std::string_view("", 0), "prfname="},
        {std::string_view("Cut\0hidden", 10), "prfname=Cut"},
        {"\xc3\x9c" "ber \xe9", "prfname=\xc3\x9c" "ber \xe9"},
        {"C1 \xc2\x9b", "# prfname: stored name holds a control character"},
        {"C1 \x9b", "# prfname: stored name holds a control character"},
        {"C1 \xc2\x80\xc2\x9f", "# prfname: stored name holds a control character"},
        {"#1 = first", "prfname=#1 = first"},
        {"Tab\there", "# prfname: stored name holds a control character"},
        {"Del\x7f", "# prfname: stored name holds a control character"},
        {"CR\r", "# prfname: stored name holds a control character"},
    };
    for (auto [name, line] : names) {
        ConfigBlock::Name bytes{};
        std::copy(name.begin(), name.end(), bytes.begin());
        block.setName(0, bytes);
        EXPECT_EQ(lineFor("prfname"), line);
    }
}

TEST_F(SettingsTest, TheSampleAsOptionsStartsWithItsVersionAndTheGlobalsInHelpOrder)
{
    EXPECT_TRUE(asOptions().starts_with("# vornset settings, configuration version 7\n"
                                        "vm=800x600\nstm=menu\ncnt=on\ncntval=10\ndbt=profile\ndprf=1\nstf=on\n"
                                        "zan=on\nfnt=bt\nusb1=off\nusbmdev=1\nint19h=off\nhotkey=yes\n"
                                        "prf=1\nprfname=Windows 11\nbtdrv=80h\nbtprt=1\nbtlog=1\nprf=2\n"));
}

// Loading what show=options printed gives another image every field that has an
// option value, and leaves all else as it was.
TEST_F(SettingsTest, OptionsPrintedFromOneImageLoadIntoAnotherWhole)
{
    image.content[0x28D] = 0; // no option gives a countdown of 0
    image.content[0x458 + 5] = 0x21;
    std::string settings = asOptions();

    BootImage other;
    std::vector<std::uint8_t> pattern = testing::patternedImage(4096);
    std::copy(pattern.begin(), pattern.end(), other.content.begin());
    other.length = pattern.size();
    ConfigBlock target = configBlock(other);
    StagedSettings staged;
    ASSERT_EQ(stageSettings(settings, 1, staged), std::nullopt);
    applyStagedSettings(staged, target);

    for (std::size_t offset = 0; offset < 4096; ++offset) {
        bool named = offset == 0x288 || (offset >= 0x28A && offset <= 0x28C) || offset == 0x293 || offset == 0x295
            || (offset >= 0x299 && offset <= 0x29A) || (offset >= 0x29F && offset <= 0x2A2)
            || (offset >= 0x458 && offset < 0x478) || (offset >= 0x688 && offset < 0x788);
        EXPECT_EQ(other.content[offset], named ? image.content[offset] : pattern[offset]) << std::hex << offset;
    }
}

TEST_F(SettingsTest, LinesEndWithLfOrCrLfAndBlankLinesAndCommentsAreSkipped)
{
    StagedSettings staged;
    ASSERT_EQ(stageSettings("# a comment\r\n\r\n   \r\nvm=text\r\nprf=2\r\nprfname=Two words \r\n"
                            "\t\nprf=3\nbtdrv=89h\nbtprt=2\nbtlog=3\ncntval=42\nprf=2\nbtdrv=81h",
                            1, staged),
              std::nullopt);
    applyStagedSettings(staged, block);
    EXPECT_EQ(block.get(Setting::vm), 0);
    EXPECT_EQ(block.get(Setting::cntval), 42);
    EXPECT_EQ(textOf(block.name(1)), "Two words ");
    EXPECT_EQ(block.drive(2), 0x89);
    EXPECT_EQ(block.partitionByte(2), 0x62);
    EXPECT_EQ(block.drive(1), 0x81) << "a profile's second section adds to its first";
}

TEST_F(SettingsTest, TheFirstBadLineIsNamedAndNothingIsApplied)
{
    const std::pair<std::string, std::string> files[] = {
        {"vm=text\n\n# x\ncntval=500\n", "line 4: cntval, only values 1-99 are valid"},
        {"vm=text\r\ncntvl=5\r\n", "line 2: no such option"},
        {"vm=text\n cnt=on\n", "line 2: no such option"},
        {"btdrv=81h\nprf=1\n", "line 1: btdrv, 'prf' must be set"},
        {"prfname=x\n", "line 1: prfname, 'prf' must be set"},
        {"prf=17\n", "line 1: prf, only values 1-16 are valid"},
        {"prf=1\nbtlog=0\n", "line 2: btlog, only values 1-4 are valid"},
        {"load=other.txt\n", "line 1: load, not allowed in a settings file"},
        {"show=json\n", "line 1: show, not allowed in a settings file"},
        {"hotkey=on\n", "line 1: hk, only yes and no is valid"},
    };
    for (const auto& [text, message] : files) {
        MemoryFile file(sampleImage());
        MemorySettingsFiles settings;
        settings.files["s.txt"] = text;
        auto [status, output, warnings] = runTool({"load=s.txt", "vornbm.bin"}, file, settings);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, "Parameter error: load, " + message + "\n");
        EXPECT_EQ(file.writes, 0);
    }
}

// The hidden-start rule is judged once, on what the files and the command line
// together leave: a run may not leave the image starting hidden without a countdown
// or a default boot, unless it was exactly so. The refusal names the last setting
// that broke the rule, the command line after the files.
TEST(HiddenStart, IsJudgedOnWhatTheWholeRunLeaves)
{
    struct Case {
        std::uint8_t countdown, defaultBoot, start;
        const char* file;
        std::vector<const char*> options;
        std::string refusal;
    };
    const std::string rule = "hidden mode requires countdown and default boot\n";
    const Case cases[] = {
        {0, 0, 0, "stm=hidden\ncnt=on\ndbt=usb\n", {}, ""},
        {0, 4, 0, "vm=text\nstm=hidden\n", {}, "Parameter error: load, line 2: stm, " + rule},
        {1, 4, 1, "vm=text\ncnt=off\n", {}, "Parameter error: load, line 2: cnt, " + rule},
        {1, 4, 1, "dbt=off\ncnt=on\n", {}, "Parameter error: load, line 1: dbt, " + rule},
        {1, 4, 0, "stm=hidden\ncnt=off\n", {}, "Parameter error: load, line 2: cnt, " + rule},
        {1, 4, 0, "cnt=off\nstm=hidden\n", {}, "Parameter error: load, line 2: stm, " + rule},
        {1, 4, 1, "cnt=off\nstm=menu\n", {}, ""},
        {0, 0, 1, "vm=text\n", {}, ""},
        {1, 4, 8, "dbt=off\n", {}, ""},
        // The command line wins over the file, both ways.
        {1, 4, 1, "cnt=off\n", {"stm=menu"}, ""},
        {1, 4, 1, "cnt=off\n", {"cnt=on"}, ""},
        {1, 4, 1, "vm=text\n", {"cnt=off"}, "Parameter error: cnt, " + rule},
        {1, 4, 1, "cnt=off\n", {"dbt=off"}, "Parameter error: dbt, " + rule},
        {1, 4, 1, "dbt=off\n", {"cnt=off"}, "Parameter error: cnt, " + rule},
        {1, 4, 1, "vm=text\n", {"dbt=off", "cnt=off"}, "Parameter error: cnt, " + rule},
        {1, 4, 0, "cnt=off\n", {"stm=hidden"}, "Parameter error: stm, " + rule},
        {1, 4, 1, "vm=text\n", {"cnt=off", "cnt=on", "dbt=off", "dbt=cdrom"}, ""},
        // An image that is so already takes its own settings back, and can be mended.
        {0, 4, 1, "stm=hidden\ncnt=off\ndbt=usb\n", {}, ""},
        {0, 0, 1, "vm=text\n", {"cnt=on"}, ""},
        {0, 4, 1, "vm=text\n", {"dbt=off"}, "Parameter error: dbt, " + rule},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> image = sampleImage();
        image[0x28C] = c.countdown;
        image[0x28A] = c.defaultBoot;
        image[0x293] = c.start;
        MemoryFile file(image);
        MemorySettingsFiles settings;
        settings.files["s.txt"] = c.file;
        std::vector<const char*> argv{"vornset", "load=s.txt"};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        argv.push_back("vornbm.bin");
        StringOutput out;
        StringOutput err;
        int status = run(argv, {file, settings, out, err, file.clock});
        EXPECT_EQ(out.text, c.refusal.empty() ? closingMessages : c.refusal) << c.file << (c.options.empty() ? "" : c.options[0]);
        EXPECT_EQ(status, c.refusal.empty() ? 0 : 1);
        EXPECT_EQ(file.writes, c.refusal.empty() ? 1 : 0);
    }
}

// Loading what show=options printed changes nothing, even for an image whose hidden
// start has no countdown; its settings say why another image would refuse them.
TEST(HiddenStart, AnImageAlreadySoTakesItsOwnSettingsBack)
{
    std::vector<std::uint8_t> image = sampleImage();
    image[0x293] = 1;
    image[0x28C] = 0;
    MemoryFile file(image);
    std::string settings = runTool({"show=options", "vornbm.bin"}, file).output;
    EXPECT_NE(settings.find("\n# this image starts hidden without countdown or default boot: loading these settings "
                            "into another image is refused\n"),
              std::string::npos)
        << settings;
    MemorySettingsFiles files;
    files.files["-"] = settings;
    EXPECT_EQ(runTool({"load=-", "vornbm.bin"}, file, files).output, closingMessages);
    EXPECT_EQ(file.content, image);

    MemoryFile other(sampleImage());
    EXPECT_EQ(runTool({"load=-", "vornbm.bin"}, other, files).output,
              "Parameter error: load, line 5: cnt, hidden mode requires countdown and default boot\n");
    EXPECT_EQ(runTool({"show=options", "vornbm.bin"}, other).output.find("starts hidden"), std::string::npos);
}

TEST_F(SettingsTest, CommandLineOptionsWinOverTheFileAndNamesGiveNoFfff)
{
    MemoryFile file(sampleImage());
    MemorySettingsFiles settings;
    settings.files["-"] = "cntval=20\nprf=1\nprfname=From file\n";
    auto [status, output, warnings] = runTool({"cntval=30", "load=-", "vornbm.bin"}, file, settings);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(file.content[0x28D], 30);
    EXPECT_EQ(std::string(file.content.begin() + 0x688, file.content.begin() + 0x698), std::string("From file\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(file.writes, 1);
    EXPECT_EQ(file.syncs, 1);
}

TEST_F(SettingsTest, AFileThatCannotBeReadLeavesTheImageUnwritten)
{
    MemorySettingsFiles settings;
    settings.files["zero.txt"] = std::string("vm=text\n\0", 9);
    settings.files["largest.txt"] = "vm=800x600\n# " + std::string(65536 - 14, 'x') + "\n";
    settings.files["too-large.txt"] = "# " + std::string(65536 - 2, 'x') + "\n";
    const std::pair<const char*, std::string> cases[] = {
        {"load=missing.txt", "Error: unable to read settings from missing.txt\n"},
        {"load=zero.txt", "Error: unable to read settings from zero.txt\n"},
        {"load=too-large.txt", "Error: unable to read settings from too-large.txt\n"},
        {"load=largest.txt", closingMessages},
        {"load=\x1b[2J", "Error: unable to read settings from ?[2J\n"},
    };
    for (const auto& [option, message] : cases) {
        MemoryFile file(sampleImage());
        EXPECT_EQ(runTool({option, "vornbm.bin"}, file, settings).output, message) << option;
        EXPECT_EQ(file.content, sampleImage());
    }
}

TEST_F(SettingsTest, ShowTakesThreeFormsEachPrintedOnceInTheOrderAsked)
{
    MemoryFile file(sampleImage());
    file.allowsWriting = false;
    std::string options = asOptions();
    std::string json = asJson();
    EXPECT_EQ(runTool({"show=options", "vornbm.bin"}, file).output, options);
    EXPECT_EQ(runTool({"show=json", "show=options", "show=json", "vornbm.bin"}, file).output, json + "\n" + options);
    EXPECT_EQ(file.opensForWriting, 0);

    MemoryFile edited(sampleImage());
    EXPECT_EQ(runTool({"show=options", "dbt=usb", "vornbm.bin"}, edited).output,
              closingMessages + "\n" + asOptions().replace(asOptions().find("dbt=profile"), 11, "dbt=usb"));
    EXPECT_EQ(runTool({"show=x", "vornbm.bin"}, edited).output,
              "Parameter error: show, only profiles, options, json and changes are valid\n");
}

TEST_F(SettingsTest, JsonGivesOptionValuesNullWhereNoneAndEveryStoredByte)
{
    image.content[0x288] = 9;    // vm past its words
    image.content[0x28D] = 0;    // cntval below its range
    image.content[0x468] = 0x8D; // profile 1's drive
    image.content[0x458] = 0x05; // partition 5, log part. 0
    const char name[] = {'"', '\\', 'A', 0x7F, '\x01', '\xe9', '/'};
    ConfigBlock::Name bytes{};
    std::copy(std::begin(name), std::end(name), bytes.begin());
    block.setName(0, bytes);
    std::string json = asJson();
    EXPECT_TRUE(json.starts_with("{\n  \"format_version\": 1,\n  \"version\": 7,\n  \"settings\": {\n    \"vm\": null,\n"
                                 "    \"stm\": \"menu\",\n"))
        << json;
    EXPECT_NE(json.find("    \"cntval\": null,\n"), std::string::npos);
    EXPECT_NE(json.find("    \"dprf\": 1,\n"), std::string::npos);
    EXPECT_NE(json.find("  \"stored\": {\n    \"vm\": 9,\n"), std::string::npos);
    EXPECT_NE(json.find("{\"prf\": 1, \"prfname\": \"\\\"\\\\A\\u007f\\u0001\\u00e9/\", \"btdrv\": null, \"btprt\": null, "
                        "\"btlog\": null, \"stored\": {\"partition\": 5, \"drive\": 141, \"name\": [34, 92, 65, 127, 1, "
                        "233, 47, 0, 0, 0, 0, 0, 0, 0, 0, 0]}},\n"),
              std::string::npos)
        << json;
    EXPECT_TRUE(json.ends_with("\"btlog\": 4, \"stored\": {\"partition\": 132, \"drive\": 131, \"name\": [77, 101, 109, 116, "
                               "101, 115, 116, 0, 0, 0, 0, 0, 0, 0, 0, 0]}}\n  ]\n}\n"))
        << json;
}

} // namespace
} // namespace vornset
