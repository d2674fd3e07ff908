// Settings files restore exactly what they say or nothing: strict values, line ends,
// the export's end line, several files, and JSON read back.

#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <string>

namespace vornset {
namespace {

using testing::MemoryFile;
using testing::MemorySettingsFiles;
using testing::runTool;
using testing::sampleImage;

using testing::closingMessages;

// Loads the text as standard input into the sample: what the run printed, and the
// image after it.
std::pair<std::string, std::vector<std::uint8_t>> load(const std::string& text,
                                                       std::initializer_list<const char*> more = {})
{
    MemoryFile file(sampleImage());
    MemorySettingsFiles settings;
    settings.files["-"] = text;
    std::vector<const char*> argv{"vornset", "load=-"};
    argv.insert(argv.end(), more.begin(), more.end());
    argv.push_back("vornbm.bin");
    testing::StringOutput out;
    testing::StringOutput err;
    run(argv, {file, settings, out, err});
    return {out.text, file.content};
}

// In a file a value is the whole rest of its line, and a number decimal digits alone.
TEST(StrictFiles, AValueIsExactlyAValue)
{
    const std::pair<std::string, std::string> refused[] = {
        {"vm=text\ncntval=5 cnt=off\n", "line 2: cntval, only values 1-99 are valid"},
        {"cntval=5x\n", "line 1: cntval, only values 1-99 are valid"},
        {"cntval= 5\n", "line 1: cntval, only values 1-99 are valid"},
        {"cntval=+5\n", "line 1: cntval, only values 1-99 are valid"},
        {"cntval=\n", "line 1: cntval, only values 1-99 are valid"},
        {"cntval=99999999999\n", "line 1: cntval, only values 1-99 are valid"},
        {"vm=text \n", "line 1: vm, run vornset without parameter to see help"},
        {"prf=2 prfname=Foo btdrv=85h\n", "line 1: prf, only values 1-16 are valid"},
        {"prf=2\nbtprt=1 \n", "line 2: btprt, only values 1-4 are valid"},
        {"cntval=5\rcnt=off\r", "line 1: carriage return inside a line"},
        {"cntval=5\ncnt=off\r", "line 2: carriage return inside a line"},
        {"cntval=5\r\r\n", "line 1: carriage return inside a line"},
    };
    for (const auto& [text, message] : refused) {
        auto [output, image] = load(text);
        EXPECT_EQ(output, "Parameter error: load, " + message + "\n") << text;
        EXPECT_EQ(image, sampleImage()) << text;
    }
    auto [output, image] = load("cntval=007\nprf=2\nprfname= spaced name \n");
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(image[0x28D], 7);
    EXPECT_EQ(std::string(image.begin() + 0x698, image.begin() + 0x6A8), std::string(" spaced name \0\0\0", 16));
}

// A name longer than the field is refused at its line, in a file and in JSON: a file
// restores exactly or not at all. The command line cuts it, and says so.
TEST(StrictFiles, ANameLongerThanTheFieldIsRefused)
{
    const std::string sixteen = "Fedora 41 Workst", seventeen = sixteen + "a";
    const std::pair<std::string, std::string> refused[] = {
        {"prf=2\nprfname=" + seventeen + "\n", "line 2: prfname, at most 16 bytes"},
        {"{\"profiles\": [{\"prf\": 2,\n\"prfname\": \"" + seventeen + "\"}]}",
         "line 2: profiles.prfname, at most 16 bytes"},
        {"{\"profiles\": [{\"prf\": 2, \"prfname\": \"" + sixteen + "\\u00e9\"}]}",
         "line 1: profiles.prfname, at most 16 bytes"},
    };
    for (const auto& [text, message] : refused) {
        auto [output, image] = load(text);
        EXPECT_EQ(output, "Parameter error: load, " + message + "\n") << text;
        EXPECT_EQ(image, sampleImage()) << text;
    }
    for (const std::string& text : {"prf=2\nprfname=" + sixteen + "\n",
                                    "{\"profiles\": [{\"prf\": 2, \"prfname\": \"" + sixteen + "\"}]}"}) {
        auto [output, image] = load(text);
        EXPECT_EQ(output, closingMessages) << text;
        EXPECT_EQ(std::string(image.begin() + 0x698, image.begin() + 0x6A8), sixteen) << text;
    }
}

// What show=options prints ends with its end line; cut anywhere before it, it is refused.
TEST(StrictFiles, AnExportCutShortIsRefusedWhole)
{
    MemoryFile source(sampleImage());
    source.content[0x28D] = 25;
    std::string settings = runTool({"show=options", "a.bin"}, source).output;
    ASSERT_TRUE(settings.ends_with("\nbtlog=4\n# end of vornset settings\n")) << settings;
    for (std::size_t cut = 1; cut < settings.size(); ++cut) {
        auto [output, image] = load(settings.substr(0, cut));
        EXPECT_TRUE(output.starts_with("Parameter error: load")) << cut << ": " << output;
        EXPECT_EQ(image, sampleImage()) << cut;
    }
    // Cut after a whole line, as head -n cuts it: the end line is missed.
    std::size_t line79 = settings.find('\n', 79) + 1;
    EXPECT_EQ(load(settings.substr(0, line79)).first,
              "Parameter error: load, line 5: the settings end before their end line\n");
    EXPECT_EQ(load(settings).first, closingMessages);
    EXPECT_EQ(load(settings + "cntval=3\n").first, "Parameter error: load, line 96: the settings end before their end line\n");
}

// A file saved by Windows Notepad: a byte order mark, CR LF, no last line end, no header.
TEST(StrictFiles, ANotepadFileIsRead)
{
    auto [output, image] = load("\xEF\xBB\xBF" "cntval=42\r\nprf=3\r\nprfname=Caf\xC3\xA9");
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(image[0x28D], 42);
    EXPECT_EQ(std::string(image.begin() + 0x6A8, image.begin() + 0x6AD), "Caf\xC3\xA9");
    EXPECT_EQ(load("\xFF\xFE" "c\0n\0t\0").first.substr(0, 16), "Parameter error:")
        << "UTF-16 is no settings file";
}

// The settings of one run's files are kept whole, up to more than one file can hold;
// past that the run is refused at the line that does not fit.
TEST(StrictFiles, SettingsPastTheStoreAreRefused)
{
    auto lines = [](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i)
            text += "cnt=on\n";
        return text;
    };
    MemoryFile file(sampleImage());
    MemorySettingsFiles settings;
    settings.files["a.txt"] = lines(6000);
    for (auto [count, output] : {std::pair<std::size_t, std::string>{4923, closingMessages},
                                 {4924, "Parameter error: load=b.txt, line 4924: more than 10923 settings\n"}}) {
        settings.files["b.txt"] = lines(count);
        EXPECT_EQ(runTool({"load=a.txt", "load=b.txt", "vornbm.bin"}, file, settings).output, output) << count;
    }
    EXPECT_EQ(file.writes, 1);
}

TEST(StrictFiles, WithSeveralFilesARefusalNamesItsFile)
{
    MemoryFile file(sampleImage());
    MemorySettingsFiles settings;
    settings.files["first.txt"] = "cntval=5\n";
    settings.files["second.txt"] = "vm=text\ncntval=0\n";
    settings.files["empty.txt"] = "";
    EXPECT_EQ(runTool({"load=first.txt", "load=second.txt", "vornbm.bin"}, file, settings).output,
              "Parameter error: load=second.txt, line 2: cntval, only values 1-99 are valid\n");
    EXPECT_EQ(runTool({"load=first.txt", "load=empty.txt", "vornbm.bin"}, file, settings).output,
              "Parameter error: load=empty.txt, the file holds no settings\n");
    EXPECT_EQ(runTool({"load=second.txt", "vornbm.bin"}, file, settings).output,
              "Parameter error: load, line 2: cntval, only values 1-99 are valid\n");
    std::vector<std::uint8_t> hidden = sampleImage();
    hidden[0x293] = 1;
    MemoryFile hiddenFile(hidden);
    settings.files["off.txt"] = "vm=text\ncnt=off\n";
    EXPECT_EQ(runTool({"load=first.txt", "load=off.txt", "vornbm.bin"}, hiddenFile, settings).output,
              "Parameter error: load=off.txt, line 2: cnt, hidden mode requires countdown and default boot\n");
    EXPECT_EQ(file.writes + hiddenFile.writes, 0);
}

// The JSON that show=json prints reads back, edited or not, and strictly.
TEST(JsonFiles, ReadBackWhatShowJsonPrints)
{
    MemoryFile source(sampleImage());
    ASSERT_EQ(runTool({"prf=4", "prfname=Caf\xC3\xA9 \x01", "vornbm.bin"}, source).status, 0);
    source.content[0x28D] = 33;
    std::string json = runTool({"show=json", "a.bin"}, source).output;
    std::string options = runTool({"show=options", "a.bin"}, source).output;
    EXPECT_NE(json.find("\"prfname\": \"Caf\xC3\xA9 \\u0001\""), std::string::npos) << json;
    auto [jsonOutput, fromJson] = load(json);
    auto [optionsOutput, fromOptions] = load(options);
    EXPECT_EQ(jsonOutput, closingMessages);
    // A name with a control character has no line in show=options, but JSON carries it.
    EXPECT_EQ(std::string(fromJson.begin() + 0x6B8, fromJson.begin() + 0x6C8), std::string("Caf\xC3\xA9 \x01\0\0\0\0\0\0\0\0\0", 16));
    std::copy_n(fromJson.begin() + 0x6B8, 16, fromOptions.begin() + 0x6B8);
    EXPECT_EQ(fromJson, fromOptions);

    auto [edited, image] = load(R"({"settings": {"cntval": 5, "vm": "text", "dbt": null},
  "profiles": [{"btdrv": "85h", "prf": 2, "prfname": "Linux Mint", "btlog": null}]})");
    EXPECT_EQ(edited, closingMessages);
    EXPECT_EQ(image[0x28D], 5);
    EXPECT_EQ(image[0x288], 0);
    EXPECT_EQ(image[0x469], 0x85);
    EXPECT_EQ(std::string(image.begin() + 0x698, image.begin() + 0x6A2), "Linux Mint");
}

TEST(JsonFiles, RefuseWhatTheyCannotMean)
{
    const std::pair<std::string, std::string> refused[] = {
        {"{\"settings\": {\n\"cntval\": 150}}", "line 2: settings.cntval, only values 1-99 are valid"},
        {"{\"settings\": {\"cntval\": \"5\"}}", "line 1: settings.cntval, only values 1-99 are valid"},
        {"{\"settings\": {\"cntval\": 5.0}}", "line 1: settings.cntval, only values 1-99 are valid"},
        {"{\"settings\": {\"cntval\": -5}}", "line 1: settings.cntval, only values 1-99 are valid"},
        {"{\"settings\": {\"usb1\": 1}}", "line 1: settings.usb1, only off, 1, 2 is valid"},
        {"{\"settings\": {\"hotkey\": true}}", "line 1: settings.hk, only yes and no is valid"},
        {"{\"settings\": {\"cntval\": 5,\n \"cntval\": 6}}", "line 2: settings.cntval, given twice"},
        {"{\"settings\": {\"cntvl\": 5}}", "line 1: settings.cntvl, no such key"},
        {"{\"extra\": 1}", "line 1: extra, no such key"},
        {"{\"format_version\": 2, \"settings\": {\"cntval\": 5}}", "line 1: format_version, only 1 is valid"},
        {"{\"profiles\": [{\"prfname\": \"x\"}]}", "line 1: profiles.prf, only values 1-16 are valid"},
        {"{\"profiles\": [{\"prf\": 17, \"btlog\": 1}]}", "line 1: profiles.prf, only values 1-16 are valid"},
        {"{\"profiles\": [{\"prf\": 1,\n\"btdrv\": \"8ah\"}]}", "line 2: profiles.btdrv, only values 80h-89h are valid"},
        {"{\"settings\": {\"cntval\": 5}", "line 1: not valid JSON"},
        {"{\"settings\": {\"cntval\": 05}}", "line 1: not valid JSON"},
        {"{\"settings\": {\"cntval\": 5}} x", "line 1: not valid JSON"},
        {"{\n\"settings\": {\"vm\": \"te\nxt\"}}", "line 2: not valid JSON"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": \"\\ud800\"}]}", "line 1: not valid JSON"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": 5}]}", "line 1: profiles.prfname, only text is valid"},
        {"{\"stored\": " + std::string(40, '[') + std::string(40, ']') + "}", "line 1: not valid JSON"},
    };
    for (const auto& [text, message] : refused) {
        auto [output, image] = load(text);
        EXPECT_TRUE(output.starts_with("Parameter error: load, " + message)) << text << "\n" << output;
        EXPECT_EQ(image, sampleImage()) << text;
    }
}

} // namespace
} // namespace vornset
