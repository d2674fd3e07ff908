#include "formats/settings_json.h"
#include "formats/settings_text.h"
#include "options/apply.h"

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
    // What the last export warned of.
    StringOutput exportWarnings;

    void SetUp() override
    {
        std::vector<std::uint8_t> sample = sampleImage();
        std::copy(sample.begin(), sample.end(), image.content.begin());
        image.length = sample.size();
    }

    std::string asOptions()
    {
        StringOutput text;
        exportWarnings = {};
        printSettingsAsOptions(block, text, exportWarnings);
        return text.text;
    }

    std::string asJson()
    {
        StringOutput text;
        exportWarnings = {};
        printSettingsAsJson(block, text, exportWarnings);
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
        // Each part of the partition byte by its own bits: 0-4 and 5-7.
        {0x458, 0x20, "btprt", "# btprt: stored value 0 has no option value"},
        {0x458, 0x21, "btprt", "btprt=1"},        {0x458, 0x84, "btprt", "btprt=4"},
        {0x458, 0x85, "btprt", "# btprt: stored value 5 has no option value"},
        {0x458, 0x9F, "btprt", "# btprt: stored value 31 has no option value"},
        {0x458, 0x01, "btlog", "# btlog: stored value 0 has no option value"},
        {0x458, 0x21, "btlog", "btlog=1"},        {0x458, 0x81, "btlog", "btlog=4"},
        {0x458, 0xA1, "btlog", "# btlog: stored value 5 has no option value"},
    };
    for (const Case& c : cases) {
        SetUp();
        image.content[c.offset] = c.stored;
        EXPECT_EQ(lineFor(c.key), c.line) << c.key << " " << int{c.stored};
        // What the export cannot carry is said on standard error, once, in the comment's words.
        std::string prefix = c.offset >= 0x458 ? "prf=1 " : "";
        std::string warning = "vornset: warning: " + prefix + c.line.substr(2)
            + "; loading the settings leaves this field as the target image has it\n";
        EXPECT_EQ(exportWarnings.text, c.line.starts_with("#") ? warning : "") << c.key << " " << int{c.stored};
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
        EXPECT_EQ(exportWarnings.text, line.starts_with("#") ? "vornset: warning: prf=1 prfname: stored name holds a "
                                                               "control character; loading the settings leaves this "
                                                               "field as the target image has it\n"
                                                             : "");
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
    Plan plan;
    ASSERT_EQ(readSettingsText(settings, 1, plan), std::nullopt);
    applyFileSettings(plan.files, target);

    for (std::size_t offset = 0; offset < 4096; ++offset) {
        bool named = offset == 0x288 || (offset >= 0x28A && offset <= 0x28C) || offset == 0x293 || offset == 0x295
            || (offset >= 0x299 && offset <= 0x29A) || (offset >= 0x29F && offset <= 0x2A2)
            || (offset >= 0x458 && offset < 0x478) || (offset >= 0x688 && offset < 0x788);
        EXPECT_EQ(other.content[offset], named ? image.content[offset] : pattern[offset]) << std::hex << offset;
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
    std::string profiles = runTool({"show=profiles", "vornbm.bin"}, file).output;
    EXPECT_EQ(runTool({"show=changes", "show=json", "show=profiles", "show=options", "vornbm.bin"}, file).output,
              "no changes\n\n" + json + "\n" + profiles + "\n" + options);
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
    EXPECT_TRUE(json.starts_with("{\n  \"format_version\": 2,\n  \"version\": 7,\n  \"settings\": {\n    \"vm\": null,\n"
                                 "    \"stm\": \"menu\",\n"))
        << json;
    EXPECT_NE(json.find("    \"cntval\": null,\n"), std::string::npos);
    EXPECT_NE(json.find("    \"dprf\": 1,\n"), std::string::npos);
    EXPECT_NE(json.find("  \"stored\": {\n    \"vm\": 9,\n"), std::string::npos);
    EXPECT_NE(json.find("{\"prf\": 1, \"prfname\": null, \"prfname_bytes\": \"225c417f01e92f\", \"btdrv\": null, "
                        "\"btprt\": null, \"btlog\": null, \"stored\": {\"partition\": 5, \"drive\": 141, \"name\": [34, 92, "
                        "65, 127, 1, 233, 47, 0, 0, 0, 0, 0, 0, 0, 0, 0]}},\n"),
              std::string::npos)
        << json;
    EXPECT_EQ(exportWarnings.text, "vornset: warning: vm: stored value 9 has no option value; loading the settings "
                                   "leaves this field as the target image has it\n"
                                   "vornset: warning: cntval: stored value 0 has no option value; loading the settings "
                                   "leaves this field as the target image has it\n"
                                   "vornset: warning: prf=1 btdrv: stored value 141 has no option value; loading the "
                                   "settings leaves this field as the target image has it\n"
                                   "vornset: warning: prf=1 btprt: stored value 5 has no option value; loading the "
                                   "settings leaves this field as the target image has it\n"
                                   "vornset: warning: prf=1 btlog: stored value 0 has no option value; loading the "
                                   "settings leaves this field as the target image has it\n");
    // A UTF-8 name as its characters, every control escaped.
    const char utf8[] = "\"\\A\x7f\x01\xc3\xa9\xc2\x85/";
    std::fill(bytes.begin(), bytes.end(), 0);
    std::copy(std::begin(utf8), std::end(utf8) - 1, bytes.begin());
    block.setName(0, bytes);
    EXPECT_NE(asJson().find("\"prfname\": \"\\\"\\\\A\\u007f\\u0001\xc3\xa9\\u0085/\", \"prfname_bytes\": null,"),
              std::string::npos);
    EXPECT_TRUE(json.ends_with("\"btlog\": 4, \"stored\": {\"partition\": 132, \"drive\": 131, \"name\": [77, 101, 109, 116, "
                               "101, 115, 116, 0, 0, 0, 0, 0, 0, 0, 0, 0]}}\n  ]\n}\n"))
        << json;
}

} // namespace
} // namespace vornset
