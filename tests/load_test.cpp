// Settings files restore exactly what they say or nothing: strict values, line ends,
// the export's end line, several files, and JSON read back.

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
    run(argv, {file, settings, out, err, file.clock});
    return {out.text, file.content};
}

// The first bad line is named and nothing is applied. In a file a value is the whole
// rest of its line, and a number decimal digits alone.
TEST(StrictFiles, TheFirstBadLineIsNamedAndNothingIsApplied)
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
        {"vm=text\n\n# x\ncntval=500\n", "line 4: cntval, only values 1-99 are valid"},
        // A key that is none is named, with the key it most likely means.
        {"vm=text\r\ncntvl=5\r\n", "line 2: cntvl, no such option; did you mean cntval?"},
        {"vm=text\n cnt=on\n", "line 2:  cnt, no such option; did you mean cnt?"},
        {"Prf=1\n", "line 1: Prf, no such option; did you mean prf?"},
        {"xyz=1\n", "line 1: xyz, no such option"},
        {"cntval 5\n", "line 1: cntval 5, no such option; did you mean cntval?"},
        {"=5\n", "line 1: no such option"},
        {"btdrv=81h\nprf=1\n", "line 1: btdrv, 'prf' must be set"},
        {"prfname=x\n", "line 1: prfname, 'prf' must be set"},
        {"prf=17\n", "line 1: prf, only values 1-16 are valid"},
        {"prf=1\nbtlog=0\n", "line 2: btlog, only values 1-4 are valid"},
        {"load=other.txt\n", "line 1: load, not allowed in a settings file"},
        {"show=json\n", "line 1: show, not allowed in a settings file"},
        {"hotkey=on\n", "line 1: hk, only yes and no is valid"},
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
         "line 2: profiles[0].prfname, at most 16 bytes"},
        {"{\"profiles\": [{\"prf\": 2, \"prfname\": \"" + sixteen + "\\u00e9\"}]}",
         "line 1: profiles[0].prfname, at most 16 bytes"},
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

// What show=options prints ends with its end line; cut short, it is refused. The cuts
// that could pass for a whole file: the first byte, after each line end, just before
// each line end (a last line read without its end), and anywhere in the end line.
TEST(StrictFiles, AnExportCutShortIsRefusedWhole)
{
    MemoryFile source(sampleImage());
    source.content[0x28D] = 25;
    std::string settings = runTool({"show=options", "a.bin"}, source).output;
    ASSERT_TRUE(settings.ends_with("\nbtlog=4\n# end of vornset settings\n")) << settings;
    std::vector<std::size_t> cuts{1};
    for (std::size_t end = settings.find('\n'); end + 1 < settings.size(); end = settings.find('\n', end + 1))
        cuts.insert(cuts.end(), {end, end + 1});
    for (std::size_t cut = settings.rfind('\n', settings.size() - 2) + 2; cut < settings.size(); ++cut)
        cuts.push_back(cut);
    for (std::size_t cut : cuts) {
        auto [output, image] = load(settings.substr(0, cut));
        EXPECT_TRUE(output.starts_with("Parameter error: load")) << cut << ": " << output;
        EXPECT_EQ(image, sampleImage()) << cut;
    }
    // Cut after a whole line, as head -n cuts it: the end line is missed.
    std::size_t line79 = settings.find('\n', 79) + 1;
    EXPECT_EQ(load(settings.substr(0, line79)).first,
              "Parameter error: load, line 5: the settings end before their end line\n");
    EXPECT_EQ(load(settings).first, closingMessages);
    // After the end line come only blank lines and comments.
    EXPECT_EQ(load(settings + "cntval=3\n").first, "Parameter error: load, line 96: a setting after the end line\n");
    EXPECT_EQ(load(settings + "\n# kept\n\r\n \n").first, closingMessages);
    EXPECT_EQ(load(settings + "\n\n# x\nprf=2\n").first, "Parameter error: load, line 99: a setting after the end line\n");
}

// What an export could not carry, a load says it leaves, in the export's words and
// at the comment's line; a hand-written comment is no such field.
TEST(StrictFiles, FieldsTheExportCannotCarryAreWarnedOfAtTheirLine)
{
    MemoryFile source(sampleImage());
    source.content[0x28D] = 0;
    ASSERT_EQ(runTool({"prf=3", "prfname=a\tb", "vornbm.bin"}, source).status, 0);
    auto shown = runTool({"show=options", "a.bin"}, source);
    const std::string leaves = "; loading the settings leaves this field as the target image has it\n";
    EXPECT_EQ(shown.warnings, "vornset: warning: cntval: stored value 0 has no option value" + leaves
                                  + "vornset: warning: prf=3 prfname: stored name holds a control character" + leaves);
    MemoryFile target(sampleImage());
    MemorySettingsFiles settings;
    settings.files["s.txt"] = shown.output + "# cntval: a note\n# vm: stored value x has no option value\n";
    settings.files["t.txt"] = "# usb1: stored value 3 has no option value\nvm=text\n";
    auto loaded = runTool({"load=s.txt", "vornbm.bin"}, target, settings);
    EXPECT_EQ(loaded.output, closingMessages);
    EXPECT_EQ(loaded.warnings, "vornset: warning: load, line 5: cntval: stored value 0 has no option value" + leaves
                                   + "vornset: warning: load, line 26: prf=3 prfname: stored name holds a control "
                                     "character" + leaves);
    EXPECT_EQ(target.content[0x28D], sampleImage()[0x28D]);
    EXPECT_EQ(runTool({"load=t.txt", "load=s.txt", "cntval=5", "vornbm.bin"}, target, settings).warnings.substr(0, 100),
              "vornset: warning: load=t.txt, line 1: usb1: stored value 3 has no option value; loading the settings");
    // The JSON export says the same of the fields it gives as null.
    source.content[0x46A] = 0x90;
    settings.files["s.json"] = runTool({"show=json", "a.bin"}, source).output;
    EXPECT_EQ(runTool({"load=s.json", "vornbm.bin"}, target, settings).warnings,
              "vornset: warning: load, line 8: cntval: stored value 0 has no option value" + leaves
                  + "vornset: warning: load, line 37: prf=3 btdrv: stored value 144 has no option value" + leaves);
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

// A string means its characters, stored as UTF-8; version 1 read \u0080 to \u00ff as
// single bytes, and still does. A name that is not UTF-8 travels as its bytes.
TEST(JsonFiles, AStringMeansItsCharactersAndANameThatIsNotUtf8ItsBytes)
{
    const std::pair<std::string, std::string> names[] = {
        {R"({"profiles": [{"prf": 4, "prfname": "Caf\u00e9"}]})", "Caf\xc3\xa9"},
        {R"({"format_version": 2, "profiles": [{"prf": 4, "prfname": "Caf\u00e9"}]})", "Caf\xc3\xa9"},
        {R"({"profiles": [{"prf": 4, "prfname": "Caf\u00e9"}], "format_version": 1})", "Caf\xe9"},
        {R"({"format_version": 1, "profiles": [{"prf": 4, "prfname": "\u00ff\u0100"}]})", "\xff\xc4\x80"},
        {R"({"profiles": [{"prf": 4, "prfname": null, "prfname_bytes": "45e9C0"}]})", "E\xe9\xc0"},
        {R"({"profiles": [{"prf": 4, "prfname_bytes": "41"}]})", "A"},
    };
    for (const auto& [text, name] : names) {
        auto [output, image] = load(text);
        EXPECT_EQ(output, closingMessages) << text;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0x6B8])), name) << text;
    }
    MemoryFile source(sampleImage());
    ASSERT_EQ(runTool({"prf=4", "prfname=Caf\xe9 \x01\x80", "vornbm.bin"}, source).status, 0);
    std::string json = runTool({"show=json", "a.bin"}, source).output;
    EXPECT_NE(json.find("\"prfname\": null, \"prfname_bytes\": \"436166e9200180\""), std::string::npos) << json;
    EXPECT_EQ(load(json).second, source.content);
}

TEST(JsonFiles, RefuseWhatTheyCannotMean)
{
    const std::pair<std::string, std::string> refused[] = {
        {"{\"settings\": {\n\"cntval\": 150}}", "line 2: settings.cntval, only values 1-99 are valid"},
        {"{\"settings\": {\"cntval\": 5.0}}", "line 1: settings.cntval, only values 1-99 are valid"},
        {"{\"settings\": {\"cntval\": -5}}", "line 1: settings.cntval, only values 1-99 are valid"},
        // A value of the wrong kind is told which kind was expected.
        {"{\"settings\": {\"cntval\": \"5\"}}", "line 1: settings.cntval, a number is expected"},
        {"{\"settings\": {\"usb1\": 1}}", "line 1: settings.usb1, a string is expected"},
        {"{\"settings\": {\"hotkey\": true}}", "line 1: settings.hotkey, a string is expected"},
        {"{\"settings\": {\"vm\": [\"text\"]}}", "line 1: settings.vm, a string is expected"},
        {"{\"profiles\": [{\"prf\": \"1\", \"btlog\": 1}]}", "line 1: profiles[0].prf, a number is expected"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": 5}]}", "line 1: profiles[0].prfname, a string is expected"},
        {"{\"profiles\": [{\"prf\": 1, \"btdrv\": 85}]}", "line 1: profiles[0].btdrv, a string is expected"},
        {"{\"profiles\": [{\"prf\": 1, \"btprt\": {}}]}", "line 1: profiles[0].btprt, a number is expected"},
        {"{\"settings\": {\"cntval\": 5,\n \"cntval\": 6}}", "line 2: settings.cntval, given twice"},
        {"{\"settings\": {\"cntvl\": 5}}", "line 1: settings.cntvl, no such key"},
        {"{\"extra\": 1}", "line 1: extra, no such key"},
        {"{\"format_version\": 3, \"settings\": {\"cntval\": 5}}", "line 1: format_version, only 1 and 2 are valid"},
        {"{\"settings\": {\"cntval\": 0},\n\"format_version\": \"2\"}", "line 2: format_version, only 1 and 2 are valid"},
        {"{\"profiles\": [{\"prfname\": \"x\"}]}", "line 1: profiles[0].prf, only values 1-16 are valid"},
        {"{\"profiles\": [{\"prf\": 17, \"btlog\": 1}]}", "line 1: profiles[0].prf, only values 1-16 are valid"},
        {"{\"profiles\": [{\"prf\": 1,\n\"btdrv\": \"8ah\"}]}", "line 2: profiles[0].btdrv, only values 80h-89h are valid"},
        // A zero byte ends a name where it is stored, so no name may hold one.
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": \"a\\u0000b\"}]}", "line 1: profiles[0].prfname, a zero byte is not allowed"},
        {"{\"format_version\": 1, \"profiles\": [{\"prf\": 1, \"prfname\": \"\\u0000\"}]}",
         "line 1: profiles[0].prfname, a zero byte is not allowed"},
        {"{\"settings\": {\"vm\": \"te\\u0000xt\"}}", "line 1: settings.vm, a zero byte is not allowed"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": null, \"prfname_bytes\": \"4100\"}]}",
         "line 1: profiles[0].prfname_bytes, a zero byte is not allowed"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": null, \"prfname_bytes\": \"4\"}]}",
         "line 1: profiles[0].prfname_bytes, only pairs of hexadecimal digits are valid"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": null, \"prfname_bytes\": \"4g\"}]}",
         "line 1: profiles[0].prfname_bytes, only pairs of hexadecimal digits are valid"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname_bytes\": [65]}]}", "line 1: profiles[0].prfname_bytes, a string is expected"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": \"A\",\n\"prfname_bytes\": \"41\"}]}",
         "line 2: profiles[0].prfname_bytes, prfname must be null beside it"},
        {"{\"settings\": {\"cntval\": 5}", "line 1: not valid JSON"},
        {"{\"settings\": {\"cntval\": 05}}", "line 1: not valid JSON"},
        {"{\"settings\": {\"cntval\": 5}} x", "line 1: not valid JSON"},
        {"{\n\"settings\": {\"vm\": \"te\nxt\"}}", "line 2: not valid JSON"},
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": \"\\ud800\"}]}", "line 1: not valid JSON"},
        // JSON text is UTF-8: a raw byte that is not is no JSON string.
        {"{\"profiles\": [{\"prf\": 1, \"prfname\": \"Caf\xe9\"}]}", "line 1: not valid JSON"},
        {"{\"stored\": " + std::string(40, '[') + std::string(40, ']') + "}", "line 1: not valid JSON"},
    };
    for (const auto& [text, message] : refused) {
        auto [output, image] = load(text);
        EXPECT_TRUE(output.starts_with("Parameter error: load, " + message)) << text << "\n" << output;
        EXPECT_EQ(image, sampleImage()) << text;
    }
}

TEST(Settings, LinesEndWithLfOrCrLfAndBlankLinesAndCommentsAreSkipped)
{
    BootImage image;
    std::vector<std::uint8_t> sample = sampleImage();
    std::copy(sample.begin(), sample.end(), image.content.begin());
    image.length = sample.size();
    ConfigBlock block = configBlock(image);
    Plan plan;
    ASSERT_EQ(readSettingsText("# a comment\r\n\r\n   \r\nvm=text\r\nprf=2\r\nprfname=Two words \r\n"
                            "\t\nprf=3\nbtdrv=89h\nbtprt=2\nbtlog=3\ncntval=42\nprf=2\nbtdrv=81h",
                            1, plan),
              std::nullopt);
    applyFileSettings(plan.files, block);
    EXPECT_EQ(block.get(Setting::vm), 0);
    EXPECT_EQ(block.get(Setting::cntval), 42);
    EXPECT_EQ(textOf(block.name(1)), "Two words ");
    EXPECT_EQ(block.drive(2), 0x89);
    EXPECT_EQ(block.partitionByte(2), 0x62);
    EXPECT_EQ(block.drive(1), 0x81) << "a profile's second section adds to its first";
}

TEST(Settings, CommandLineOptionsWinOverTheFileAndNamesGiveNoFfff)
{
    MemoryFile file(sampleImage());
    MemorySettingsFiles settings;
    settings.files["-"] = "cntval=20\nprf=1\nprfname=From file\n";
    auto [status, output, warnings] = runTool({"cntval=30", "load=-", "vornbm.bin"}, file, settings);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(file.content[0x28D], 30);
    EXPECT_EQ(std::string(file.content.begin() + 0x688, file.content.begin() + 0x698), std::string("From file\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(file.writes, 2) << "the names' sector and the globals'";
    EXPECT_EQ(file.syncs, 2);
}

TEST(Settings, AFileThatCannotBeReadLeavesTheImageUnwritten)
{
    MemorySettingsFiles settings;
    settings.files["zero.txt"] = std::string("vm=text\n\0", 9);
    settings.files["largest.txt"] = "vm=800x600\n# " + std::string(65536 - 14, 'x') + "\n";
    settings.files["too-large.txt"] = "# " + std::string(65536 - 2, 'x') + "\n";
    const struct {
        const char* option;
        std::string message;
        std::string why;
    } cases[] = {
        {"load=missing.txt", "Error: unable to read settings from missing.txt\n",
         "vornset: missing.txt: No such file or directory\n"},
        {"load=zero.txt", "Error: unable to read settings from zero.txt\n",
         "vornset: zero.txt: Holds a zero byte, which no settings file does\n"},
        {"load=too-large.txt", "Error: unable to read settings from too-large.txt\n",
         "vornset: too-large.txt: Larger than the 65536 bytes a settings file may hold\n"},
        {"load=largest.txt", closingMessages, ""},
        {"load=\x1b[2J", "Error: unable to read settings from ?[2J\n", "vornset: ?[2J: No such file or directory\n"},
    };
    for (const auto& [option, message, why] : cases) {
        MemoryFile file(sampleImage());
        auto [status, output, warnings] = runTool({option, "vornbm.bin"}, file, settings);
        EXPECT_EQ(output, message) << option;
        EXPECT_EQ(warnings, why) << option;
        EXPECT_EQ(file.content, sampleImage());
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
        // In JSON the setting is named by its place in the document.
        {1, 4, 0, "{\"settings\": {\"stm\": \"hidden\",\n\"cnt\": \"off\"}}", {},
         "Parameter error: load, line 2: settings.cnt, " + rule},
        {1, 4, 1, "{\"settings\": {\"vm\": \"text\"}}", {"dbt=off"}, "Parameter error: dbt, " + rule},
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
        if (!c.refusal.empty()) {
            EXPECT_EQ(file.writes, 0);
        }
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

// What a failed export leaves in a pipe restores nothing.
TEST(Settings, AFileWithoutSettingsIsRefused)
{
    for (const char* text : {"", "\n\n", "# vornset settings, configuration version 7\n# end of vornset settings\n",
                             " \t\r\n", "{}", "{\"settings\": {\"vm\": null}, \"profiles\": []}"}) {
        MemoryFile file(sampleImage());
        MemorySettingsFiles settings;
        settings.files["-"] = text;
        auto [status, output, warnings] = runTool({"load=-", "vornbm.bin"}, file, settings);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, "Parameter error: load, the file holds no settings\n");
        EXPECT_EQ(file.writes, 0);
    }
    // A profile's number alone, as the export of an image whose every field it leaves
    // alone gives it, is taken alike in both formats.
    for (const char* text : {"prf=2\n", "{\"profiles\": [{\"prf\": 2}]}"}) {
        auto [output, image] = load(text);
        EXPECT_EQ(output, closingMessages) << text;
        EXPECT_EQ(image, sampleImage()) << text;
    }
}

} // namespace
} // namespace vornset
