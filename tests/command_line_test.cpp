#include "output/help.h"
#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <regex>

namespace vornset {
namespace {

using testing::changedOffsets;
using testing::MemoryFile;
using testing::runTool;
using testing::sampleImage;

using testing::closingMessages;

const std::string versionError = "Error: wrong boot manager configuration version\n"
                                 "       use the latest boot manager version and the latest vornset\n"
                                 "       see https://vornset.example.org\n";

TEST(Run, WithoutArgumentsPrintsHelpAndOpensNothing)
{
    MemoryFile file;
    file.exists = false;
    auto [status, output, warnings] = runTool({}, file);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(output.starts_with("vornset 0.8 20100428 by the vornset developers, https://vornset.example.org\n\n"));
}

TEST(Run, HelpAndVersionAskedForAloneOpenNothing)
{
    MemoryFile file;
    file.exists = false;
    testing::StringOutput help;
    printHelp(help);
    EXPECT_EQ(runTool({}, file).output, help.text) << "without arguments, the fixed screen alone";
    printMoreHelp(help);
    for (const char* request : {"--help", "-h"}) {
        EXPECT_EQ(runTool({request}, file).output, help.text) << request;
        EXPECT_EQ(runTool({request}, file).status, 0) << request;
    }
    EXPECT_NE(help.text.find("\n\nMore:\n=====\n show=profiles|options|json|changes "), std::string::npos);
    auto [status, output, warnings] = runTool({"--version"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::regex_match(output, std::regex("vornset [0-9]+\\.[0-9]+\n"
                                                    "Copyright \\(c\\) 2026 the vornset developers, MIT License\n")))
        << output;
    EXPECT_EQ(file.opens, 0);
#ifndef _WIN32
    EXPECT_EQ(runTool({"/?"}, file).output, "Error: unable to open /?\n") << "a path like any other";
#endif
}

// No key starts with "-": a flag before the path is refused before the image is
// opened, however it is spelt.
TEST(Run, FlagsAreRefusedBeforeTheImageIsOpened)
{
    MemoryFile file(sampleImage());
    for (const char* flag : {"--dry-run", "--help", "-v", "--", "-", "-vm=text"}) {
        auto [status, output, warnings] = runTool({"vm=text", flag, "vornbm.bin"}, file);
        EXPECT_EQ(status, 1) << flag;
        EXPECT_EQ(output, "Parameter error: " + std::string(flag)
                              + ", options are written key=value; run vornset without parameter to see help\n");
    }
    EXPECT_EQ(runTool({"-\x1b[2J", "vornbm.bin"}, file).output,
              "Parameter error: -?[2J, options are written key=value; run vornset without parameter to see help\n");
    EXPECT_EQ(file.opens, 0);
    EXPECT_EQ(runTool({"--help", "vm=x", "vornbm.bin"}, file).output.substr(0, 24), "Parameter error: --help,")
        << "flags come before every other refusal";
}

// Options that do nothing still let the edit go ahead as before, with one warning
// line each on standard error.
TEST(Run, OptionsThatDoNothingAreWarnedOf)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output, warnings] = runTool({"cntvl=5", "btdrv=82h", "list", "VM=\x9b", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(warnings, "vornset: warning: ignored cntvl=5: no such option; did you mean cntval=?\n"
                        "vornset: warning: ignored btdrv=82h: no prf= given\n"
                        "vornset: warning: ignored list: no such option\n"
                        "vornset: warning: ignored VM=?: no such option; did you mean vm=?\n");
    EXPECT_EQ(file.content, image);
    EXPECT_EQ(file.writes, 0) << "nothing changed, so nothing is written";

    EXPECT_EQ(runTool({"prf=2", "btdrv=82h", "show=profiles", "cnt=on", "vornbm.bin"}, file).warnings, "");
    EXPECT_EQ(runTool({"cntvl=5", "vm=bad", "vornbm.bin"}, file).warnings, "") << "a refused run did nothing";
}

TEST(Run, ThePathAloneReportsAndWritesNothing)
{
    MemoryFile file(sampleImage());
    auto [status, output, warnings] = runTool({"vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(output.starts_with("Video mode     : 800x600\n")) << output;
    EXPECT_EQ(file.opensForWriting, 0);
}

TEST(Run, TheLastArgumentIsAlwaysThePath)
{
    MemoryFile file;
    file.exists = false;
    EXPECT_EQ(runTool({"vm=text"}, file).output, "Error: unable to open vm=text\n");
}

TEST(Run, AWrongVersionIsRefusedBeforeAnythingElse)
{
    for (std::uint8_t version : {std::uint8_t{6}, std::uint8_t{8}, std::uint8_t{0}}) {
        std::vector<std::uint8_t> image = sampleImage();
        image[0x287] = version;
        MemoryFile file(image);
        for (auto arguments : {std::initializer_list<const char*>{"vornbm.bin"}, {"vm=text", "vornbm.bin"}}) {
            auto [status, output, warnings] = runTool(arguments, file);
            EXPECT_EQ(status, 1);
            EXPECT_EQ(output, versionError);
            EXPECT_EQ(file.content, image);
            EXPECT_EQ(file.writes, 0);
        }
    }
}

TEST(Run, TheHelpExampleChangesExactlyItsFourFields)
{
    std::vector<std::uint8_t> image = sampleImage();
    image[0x28C] = 0; // countdown off
    image[0x28A] = 0; // default boot off
    MemoryFile file(image);
    auto [status, output, warnings] = runTool({"stm=hidden", "cnt=on", "cntval=1", "dbt=usb", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(changedOffsets(image, file.content), (std::vector<std::size_t>{0x28A, 0x28C, 0x28D, 0x293}));
    EXPECT_EQ(file.content[0x28A], 4);
    EXPECT_EQ(file.content[0x28C], 1);
    EXPECT_EQ(file.content[0x28D], 1);
    EXPECT_EQ(file.content[0x293], 1);
    std::string report = runTool({"vornbm.bin"}, file).output;
    for (const char* line : {"Start mode     : hidden\n", "Countdown      : on\n", "Countdown value: 1 seconds\n",
                             "Default boot   : usb\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << report;
}

// An image is refused below the block's end and above 64 KiB, with its own message,
// and left as it was; at either limit it is edited up to its last byte.
TEST(Run, AnImageOutsideTheSizeLimitsIsRefusedByItsLength)
{
    const std::pair<std::size_t, std::string> refused[] = {
        {0, "Error: unable to read file\n"},
        {1927, "Error: file too short for a boot manager image (less than 1928 bytes)\n"},
        {65537, "Error: file too large for a boot manager image (more than 65536 bytes)\n"},
    };
    for (const auto& [length, message] : refused) {
        std::vector<std::uint8_t> image = sampleImage();
        image.resize(length);
        MemoryFile file(image);
        for (auto arguments : {std::initializer_list<const char*>{"vornbm.bin"}, {"dbt=usb", "vornbm.bin"}}) {
            auto [status, output, warnings] = runTool(arguments, file);
            EXPECT_EQ(status, 1) << length;
            EXPECT_EQ(output, message) << length;
        }
        EXPECT_EQ(file.content, image) << length;
    }
    for (std::size_t length : {std::size_t{1928}, std::size_t{65536}}) {
        std::vector<std::uint8_t> image = sampleImage();
        image.resize(length);
        MemoryFile file(image);
        EXPECT_EQ(runTool({"prf=16", "prfname=ABCDEFGHIJKLMNOP", "vornbm.bin"}, file).status, 0) << length;
        EXPECT_EQ(changedOffsets(image, file.content).back(), 0x787u) << length;
        EXPECT_EQ(file.content.size(), length);
    }
}

TEST(Run, ANamedProfilePrintsFfffBeforeTheClosingMessages)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output, warnings] = runTool({"prf=1", "prfname=Windows", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "ffff" + closingMessages);
    const std::uint8_t expected[16] = {'W', 'i', 'n', 'd', 'o', 'w', 's'};
    EXPECT_TRUE(std::equal(expected, expected + 16, file.content.begin() + 0x688));
    // A longer name is cut to the field's 16 bytes, in the profile asked for.
    runTool({"prf=3", "prfname=ABCDEFGHIJKLMNOPQR", "vornbm.bin"}, file);
    EXPECT_EQ(std::string(file.content.begin() + 0x6A8, file.content.begin() + 0x6B8), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(file.content[0x6B8], image[0x6B8]);
}

TEST(Run, AnyRefusalLeavesTheFileUnwritten)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output, warnings] = runTool({"prf=1", "prfname=X", "vm=800x600", "btdrv=8ah", "vornbm.bin"}, file);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Parameter error: btdrv, only values 80h-89h are valid\n");
    EXPECT_EQ(file.writes, 0);
    EXPECT_EQ(file.content, image);
}

TEST(Run, GlobalErrorsAreReportedBeforeProfileErrors)
{
    MemoryFile file(sampleImage());
    auto [status, output, warnings] = runTool({"prf=99", "hotkey=maybe", "vornbm.bin"}, file);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Parameter error: hk, only yes and no is valid\n");
}

// Each failure prints its fixed message, and on standard error why and, for a
// failed write, what the image holds since.
TEST(Run, EachFailingFileStepPrintsItsMessageAndKeepsTheFile)
{
    using Step = MemoryFile::Step;
    const std::string undone = "; the image is as it was\n";
    const struct {
        Step step;
        std::string message;
        std::string why;
    } failures[] = {
        {Step::open, "Error: unable to open vornbm.bin\n", ""},
        {Step::status, "Error: unable to read file\n", ""},
        {Step::lock, "Error: unable to open vornbm.bin for writing\n", ""},
        {Step::read, "Error: unable to read file\n", ""},
        {Step::write, "ffffError: unable to write to file\n", undone},
        {Step::sync, "ffffError: unable to write to file\n",
         "; the image could not be restored and may hold part of this edit\n"},
        {Step::close, "ffffError: unable to write to file\n", "; the image holds the whole edit\n"},
    };
    for (const auto& [step, message, why] : failures) {
        std::vector<std::uint8_t> image = sampleImage();
        MemoryFile file(image);
        file.failing = step;
        file.writesBeforeFailing = 1;
        file.bytesBeforeWriteFails = 10;
        file.failingWrites = 1;
        auto [status, output, warnings] = runTool({"prf=1", "prfname=Boot", "vm=text", "vornbm.bin"}, file);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, message) << "a failed write is never reported as success";
        EXPECT_EQ(warnings, "vornset: vornbm.bin: Input/output error" + (why.empty() ? "\n" : why));
        EXPECT_EQ(file.content.size(), image.size());
        std::vector<std::size_t> changed = changedOffsets(image, file.content);
        if (why == undone) {
            EXPECT_TRUE(changed.empty());
        }
        for (std::size_t offset : changed)
            EXPECT_TRUE(offset == 0x288 || (offset >= 0x688 && offset < 0x698)) << "only the edited fields may differ";
    }
}

TEST(Run, AFileThatCannotBeWrittenIsRefusedOnlyAfterItsOptionsAreChecked)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    file.allowsWriting = false;
    EXPECT_EQ(runTool({"cntval=0", "vornbm.bin"}, file).output, "Parameter error: cntval, only values 1-99 are valid\n");
    auto [status, output, warnings] = runTool({"prf=2", "prfname=x", "vornbm.bin"}, file);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "ffffError: unable to open vornbm.bin for writing\n");
    EXPECT_EQ(file.content, image);
}

TEST(Run, ControlCharactersInAnEchoedPathPrintAsQuestionMarks)
{
    MemoryFile missing;
    missing.exists = false;
    EXPECT_EQ(runTool({"\x1b]0;owned\x07\n\x7f\x1f ~\xc3\xa9.bin"}, missing).output,
              "Error: unable to open ?]0;owned???? ~\xc3\xa9.bin\n");
    // C1 controls, as UTF-8 (U+0080, U+009B, U+009F) and as stray bytes, but not the
    // characters around them, nor bytes of other encodings.
    EXPECT_EQ(runTool({"\xc2\x80\xc2\x9b\xc2\x9f\xc2\xa0|\x9b\x80\xa0\xff|\xce\xb1\xd0\xb6\xe6\x97\xa5\xf0\x9f\x98\x80|"
                       "\xe0\x80\x9b\xed\xa0\x80"},
                      missing)
                  .output,
              "Error: unable to open ???\xc2\xa0|??\xa0\xff|\xce\xb1\xd0\xb6\xe6\x97\xa5\xf0\x9f\x98\x80|\xe0??\xed\xa0?\n");
    MemoryFile readOnly(sampleImage());
    readOnly.allowsWriting = false;
    EXPECT_EQ(runTool({"vm=text", "a\rb"}, readOnly).output, "Error: unable to open a?b for writing\n");
}

// Whatever ends the run, the image is closed before the output leaves the process.
TEST(Run, TheImageIsClosedOnEveryPath)
{
    auto closedAfter = [](std::vector<std::uint8_t> image, std::initializer_list<const char*> arguments) {
        MemoryFile file(std::move(image));
        runTool(arguments, file);
        return !file.isOpen;
    };
    std::vector<std::uint8_t> wrongVersion = sampleImage();
    wrongVersion[0x287] = 6;
    EXPECT_TRUE(closedAfter(sampleImage(), {"vornbm.bin"}));
    EXPECT_TRUE(closedAfter(sampleImage(), {"cntval=500", "vornbm.bin"}));
    EXPECT_TRUE(closedAfter(wrongVersion, {"vm=text", "vornbm.bin"}));
    EXPECT_TRUE(closedAfter(sampleImage(), {"vm=text", "vornbm.bin"}));
}

TEST(Run, OutputThatCannotBeWrittenEndsTheRunWithStatusOne)
{
    for (auto arguments : {std::initializer_list<const char*>{}, {"vornbm.bin"}, {"dbt=usb", "vornbm.bin"}}) {
        MemoryFile file(sampleImage());
        std::vector<const char*> argv{"vornset"};
        argv.insert(argv.end(), arguments);
        testing::MemorySettingsFiles settings;
        testing::StringOutput out;
        testing::StringOutput err;
        out.failing = true;
        EXPECT_EQ(run(argv, {file, settings, out, err, file.clock}), 1) << arguments.size();
    }
}

TEST(Run, ShowProfilesAloneOnlyReads)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    file.allowsWriting = false;
    for (auto arguments : {std::initializer_list<const char*>{"show=profiles", "vornbm.bin"},
                           {"show=profiles", "show=profiles", "vornbm.bin"}}) {
        auto [status, output, warnings] = runTool(arguments, file);
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(output.starts_with("Nr  Name              Drive  Partition  Log part.\n"
                                       " 1  Windows 11        80h    1          1\n")) << output;
    }
    EXPECT_EQ(file.opensForWriting, 0);
    EXPECT_EQ(file.content, image);

    image[0x287] = 8;
    MemoryFile wrongVersion(image);
    EXPECT_EQ(runTool({"show=profiles", "vornbm.bin"}, wrongVersion).output, versionError);
}

TEST(Run, ShowProfilesWithEditsPrintsTheTableAsWrittenAfterTheClosingMessages)
{
    MemoryFile file(sampleImage());
    auto [status, output, warnings] = runTool({"show=profiles", "prf=2", "prfname=Linux", "btdrv=83h", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(output.starts_with("ffff" + closingMessages + "\nNr  Name")) << output;
    EXPECT_NE(output.find("\n 2  Linux             83h    "), std::string::npos) << output;

    MemoryFile readOnly(sampleImage());
    readOnly.allowsWriting = false;
    EXPECT_EQ(runTool({"show=profiles", "dbt=usb", "vornbm.bin"}, readOnly).output,
              "Error: unable to open vornbm.bin for writing\n");
    MemoryFile other(sampleImage());
    EXPECT_EQ(runTool({"show=x", "btlog=9", "vornbm.bin"}, other).output,
              "Parameter error: btlog, only values 1-4 are valid\n");
}

// Each option at the lowest and highest values it takes, at the first values past
// them and with an empty value: either the byte it stores at a file offset, or the
// message that refuses it. Profile options edit profile 3.
TEST(Run, EveryOptionAtAndJustBeyondTheEndsOfItsRange)
{
    const std::string vm = "Parameter error: vm, run vornset without parameter to see help\n";
    const std::string onOff = "only on and off is valid\n";
    const std::string dbt = "Parameter error: dbt, run vornset without parameter to see help\n";
    const std::string stm = "Parameter error: stm, menu or hidden alowed\n";
    const std::string cntval = "Parameter error: cntval, only values 1-99 are valid\n";
    const std::string usbmdev = "Parameter error: usbmdev, only values 1-99 are valid\n";
    const std::string dprf = "Parameter error: dprf, only values 1-16 are valid\n";
    const std::string fnt = "Parameter error: fnt, only bt and bios is valid\n";
    const std::string usb1 = "Parameter error: usb1, only off, 1, 2 is valid\n";
    const std::string hotkey = "Parameter error: hk, only yes and no is valid\n";
    const std::string prf = "Parameter error: prf, only values 1-16 are valid\n";
    const std::string btdrv = "Parameter error: btdrv, only values 80h-89h are valid\n";
    const std::string btprt = "Parameter error: btprt, only values 1-4 are valid\n";
    const std::string btlog = "Parameter error: btlog, only values 1-4 are valid\n";
    const std::string show = "Parameter error: show, only profiles, options, json and changes are valid\n";
    struct Case {
        const char* option;
        std::size_t offset = 0;
        int stored = 0;
        std::string refusal = "";
    };
    const std::string write = "Parameter error: write, only yes and no are valid\n";
    const Case cases[] = {
        {"vm=text", 0x288, 0}, {"vm=1280x1024", 0x288, 4}, {"vm=", 0, 0, vm}, {"vm=Text", 0, 0, vm},
        {"cnt=off", 0x28C, 0}, {"cnt=on", 0x28C, 1}, {"cnt=", 0, 0, "Parameter error: cnt, " + onOff},
        {"cnt=ON", 0, 0, "Parameter error: cnt, " + onOff},
        {"cntval=0", 0, 0, cntval}, {"cntval=1", 0x28D, 1}, {"cntval=99", 0x28D, 99}, {"cntval=100", 0, 0, cntval},
        {"cntval=", 0, 0, cntval}, {"cntval=-5", 0, 0, cntval}, {"cntval=abc", 0, 0, cntval},
        {"cntval=7s", 0x28D, 7}, {"cntval=4294967297", 0, 0, cntval}, {"cntval=-4294967295", 0, 0, cntval},
        {"usbmdev=0", 0, 0, usbmdev}, {"usbmdev=1", 0x2A1, 0}, {"usbmdev=99", 0x2A1, 98},
        {"usbmdev=100", 0, 0, usbmdev}, {"usbmdev=", 0, 0, usbmdev}, {"usbmdev=4294967296", 0, 0, usbmdev},
        {"dbt=off", 0x28A, 0}, {"dbt=usb", 0x28A, 4}, {"dbt=", 0, 0, dbt}, {"dbt=none", 0, 0, dbt},
        {"stm=menu", 0x293, 0}, {"stm=hidden", 0x293, 1}, {"stm=", 0, 0, stm}, {"stm=Hidden", 0, 0, stm},
        {"dprf=0", 0, 0, dprf}, {"dprf=1", 0x28B, 0}, {"dprf=16", 0x28B, 15}, {"dprf=17", 0, 0, dprf},
        {"dprf=", 0, 0, dprf},
        {"stf=off", 0x295, 0}, {"stf=on", 0x295, 1}, {"stf=", 0, 0, "Parameter error: stf, " + onOff},
        {"stf=1", 0, 0, "Parameter error: stf, " + onOff},
        {"zan=off", 0x29A, 0}, {"zan=on", 0x29A, 1}, {"zan=", 0, 0, "Parameter error: zan, " + onOff},
        {"zan=yes", 0, 0, "Parameter error: zan, " + onOff},
        {"fnt=bt", 0x299, 0}, {"fnt=bios", 0x299, 1}, {"fnt=", 0, 0, fnt}, {"fnt=bootmanager", 0, 0, fnt},
        {"usb1=off", 0x29F, 0}, {"usb1=2", 0x29F, 2}, {"usb1=3", 0, 0, usb1}, {"usb1=", 0, 0, usb1},
        {"usb1=01", 0, 0, usb1}, {"usb1=1.0", 0, 0, usb1},
        {"int19h=off", 0x2A0, 0}, {"int19h=on", 0x2A0, 1}, {"int19h=", 0, 0, "Parameter error: int19h, " + onOff},
        {"hotkey=no", 0x2A2, 0}, {"hotkey=yes", 0x2A2, 1}, {"hotkey=", 0, 0, hotkey}, {"hotkey=on", 0, 0, hotkey},
        {"prf=0", 0, 0, prf}, {"prf=16"}, {"prf=17", 0, 0, prf}, {"prf=", 0, 0, prf}, {"prf=4294967297", 0, 0, prf},
        {"btdrv=80h", 0x46A, 0x80}, {"btdrv=89h", 0x46A, 0x89}, {"btdrv=8/h", 0, 0, btdrv},
        {"btdrv=8:h", 0, 0, btdrv}, {"btdrv=", 0, 0, btdrv}, {"btdrv=8Ah", 0, 0, btdrv}, {"btdrv=80H", 0, 0, btdrv},
        {"btdrv=080h", 0, 0, btdrv}, {"btdrv=80", 0, 0, btdrv},
        {"btprt=0", 0, 0, btprt}, {"btprt=1", 0x45A, 1}, {"btprt=4", 0x45A, 4}, {"btprt=5", 0, 0, btprt},
        {"btprt=", 0, 0, btprt},
        {"btlog=0", 0, 0, btlog}, {"btlog=1", 0x45A, 0x20}, {"btlog=4", 0x45A, 0x80}, {"btlog=5", 0, 0, btlog},
        {"btlog=", 0, 0, btlog},
        {"show=", 0, 0, show}, {"show=profile", 0, 0, show},
        {"write=yes"}, {"write=", 0, 0, write}, {"write=No", 0, 0, write},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> image = sampleImage();
        image[0x45A] = 0;
        MemoryFile file(image);
        auto [status, output, warnings] = runTool({"prf=3", c.option, "vornbm.bin"}, file);
        if (!c.refusal.empty()) {
            EXPECT_EQ(output, c.refusal) << c.option;
            EXPECT_EQ(file.content, image) << c.option;
        } else {
            EXPECT_EQ(output, closingMessages) << c.option;
            EXPECT_EQ(c.offset == 0 ? 0 : file.content[c.offset], c.stored) << c.option;
        }
    }
}

// The passes run in a fixed order, each over every argument: which of two invalid
// values is refused depends on that order, and a repeated key's last value wins.
TEST(Run, PassOrderDecidesTheFirstRefusalAndTheLastValueWins)
{
    const std::pair<std::vector<const char*>, std::string> refusals[] = {
        {{"stm=x", "hotkey=x", "vm=x"}, "Parameter error: vm, run vornset without parameter to see help\n"},
        {{"vm=800x600", "vm=bad"}, "Parameter error: vm, run vornset without parameter to see help\n"},
        {{"btlog=9", "btprt=9", "btdrv=9", "prf=99"}, "Parameter error: prf, only values 1-16 are valid\n"},
        {{"write=x", "show=x"}, "Parameter error: show, only profiles, options, json and changes are valid\n"},
    };
    for (const auto& [options, message] : refusals) {
        MemoryFile file(sampleImage());
        std::vector<const char*> argv{"vornset"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back("vornbm.bin");
        testing::MemorySettingsFiles settings;
        testing::StringOutput out;
        testing::StringOutput err;
        EXPECT_EQ(run(argv, {file, settings, out, err, file.clock}), 1);
        EXPECT_EQ(out.text, message);
    }
    // Every global refused at once, given last to first: the refusal names the first
    // of them in the pass order.
    const char* globals[] = {"vm", "cnt", "cntval", "usbmdev", "dbt", "stm", "dprf",
                             "stf", "zan", "fnt", "usb1", "int19h", "hotkey"};
    for (std::size_t first = 0; first < std::size(globals); ++first) {
        std::vector<std::string> options;
        for (std::size_t i = std::size(globals); i-- > first;)
            options.push_back(std::string(globals[i]) + "=x");
        std::vector<const char*> argv{"vornset"};
        for (const std::string& option : options)
            argv.push_back(option.c_str());
        argv.push_back("vornbm.bin");
        MemoryFile file(sampleImage());
        testing::MemorySettingsFiles settings;
        testing::StringOutput out;
        testing::StringOutput err;
        run(argv, {file, settings, out, err, file.clock});
        std::string key = globals[first] == std::string("hotkey") ? "hk" : globals[first];
        EXPECT_TRUE(out.text.starts_with("Parameter error: " + key + ",")) << globals[first] << ": " << out.text;
    }
    std::vector<std::uint8_t> countdownOff = sampleImage();
    countdownOff[0x28C] = 0;
    MemoryFile off(countdownOff);
    EXPECT_EQ(runTool({"dprf=99", "stm=hidden", "vornbm.bin"}, off).output,
              "Parameter error: stm, hidden mode requires countdown and default boot\n")
        << "the stm pass comes before the dprf pass";
    MemoryFile file(sampleImage());
    runTool({"vm=text", "vm=800x600", "prf=2", "prf=4", "btprt=1", "vm=1024x768", "vornbm.bin"}, file);
    EXPECT_EQ(file.content[0x288], 3);
    EXPECT_EQ(changedOffsets(sampleImage(), file.content), (std::vector<std::size_t>{0x288, 0x45B}));
}

// Every option is read into an entry of a store that holds 4096; more are refused
// before the image is opened.
TEST(Run, MoreOptionsThanTheStoreHoldsAreRefused)
{
    for (std::size_t count : {std::size_t{4095}, std::size_t{4096}, std::size_t{4097}}) {
        MemoryFile file(sampleImage());
        std::vector<const char*> argv(count + 2, "vm=text");
        argv.front() = "vornset";
        argv.back() = "vornbm.bin";
        testing::MemorySettingsFiles settings;
        testing::StringOutput out;
        testing::StringOutput err;
        EXPECT_EQ(run(argv, {file, settings, out, err, file.clock}), count > 4096 ? 1 : 0) << count;
        EXPECT_EQ(out.text, count > 4096 ? "Parameter error: more than 4096 options\n" : closingMessages) << count;
        EXPECT_EQ(file.opens, count > 4096 ? 0 : 1) << count;
    }
}

TEST(Run, ThePathIsNeverReadAsAnOption)
{
    std::vector<std::uint8_t> image = sampleImage();
    ASSERT_EQ(image[0x28C], 1);
    MemoryFile file(image);
    EXPECT_EQ(runTool({"dbt=usb", "cnt=off"}, file).output, closingMessages);
    EXPECT_EQ(changedOffsets(image, file.content), std::vector<std::size_t>{0x28A});
    EXPECT_EQ(runTool({"dbt=usb", "show=profiles"}, file).output, closingMessages);
}

} // namespace
} // namespace vornset
