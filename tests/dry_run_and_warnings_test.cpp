// What a run tells before and after it writes: write=no, show=changes, and the
// warnings and reasons on standard error.

#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <cctype>

namespace vornset {
namespace {

using testing::MemoryFile;
using testing::MemorySettingsFiles;
using testing::runTool;
using testing::sampleImage;

using testing::closingMessages;

// A dry run checks and applies everything as the edit would, under a shared lock,
// and writes nothing; what it prints before its last line is what the edit prints.
TEST(DryRun, ChecksAndReportsAsTheEditWouldAndWritesNothing)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output, warnings] =
        runTool({"write=no", "prf=2", "prfname=Linux Mint", "cntvl=1", "show=profiles", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(output.starts_with("ffffnothing written (write=no)\n\nNr  Name")) << output;
    EXPECT_NE(output.find("\n 2  Linux Mint        "), std::string::npos) << output;
    EXPECT_EQ(warnings, "vornset: warning: ignored cntvl=1: no such option; did you mean cntval=?\n");
    EXPECT_EQ(file.opensForWriting, 0);
    EXPECT_EQ(file.writes, 0);
    EXPECT_EQ(file.content, image);

    EXPECT_EQ(runTool({"write=no", "cntval=0", "vornbm.bin"}, file).output,
              "Parameter error: cntval, only values 1-99 are valid\n");
    EXPECT_EQ(runTool({"write=yes", "write=no", "dbt=usb", "vornbm.bin"}, file).output,
              "nothing written (write=no)\n") << "the last write= decides";
    EXPECT_EQ(file.content, image);
    for (const char* value : {"write=No", "write=", "write=0"}) {
        auto refused = runTool({value, "dbt=usb", "vornbm.bin"}, file);
        EXPECT_EQ(refused.status, 1) << value;
        EXPECT_EQ(refused.output, "Parameter error: write, only yes and no are valid\n") << value;
    }
    EXPECT_EQ(file.content, image);
    EXPECT_EQ(file.writes, 0);
    EXPECT_NE(runTool({"write=yes", "dbt=usb", "vornbm.bin"}, file).output.find("data changed"), std::string::npos);
    EXPECT_EQ(file.writes, 1);
}

// One line for each field whose stored value changed, in the order of show=options,
// with option values where there are some and the stored value where there is none.
TEST(Changes, NameEachChangedFieldWithItsOldAndNewValue)
{
    std::vector<std::uint8_t> image = sampleImage();
    image[0x28B] = 40; // a default profile no option gives
    image[0x458 + 1] = 0x25; // profile 2: partition 5, log part. 1
    MemoryFile file(image);
    auto [status, output, warnings] =
        runTool({"write=no", "show=changes", "cntval=25", "stm=menu", "dprf=3", "prf=2", "prfname=Linux \x1b Mint",
                 "btdrv=85h", "btprt=2", "vornbm.bin"},
                file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "ffffnothing written (write=no)\n\n"
                      "cntval: 10 -> 25\n"
                      "dprf: stored 40 -> 3\n"
                      "prf=2 prfname: \"Debian 12\" -> \"Linux \\u001b Mint\"\n"
                      "prf=2 btdrv: 80h -> 85h\n"
                      "prf=2 btprt: stored 5 -> 2\n");
    EXPECT_EQ(file.writes, 0);

    MemoryFile same(sampleImage());
    EXPECT_EQ(runTool({"show=changes", "vm=800x600", "vornbm.bin"}, same).output, closingMessages + "\nno changes\n");
    EXPECT_EQ(runTool({"show=changes", "vornbm.bin"}, same).output, "no changes\n");
    EXPECT_EQ(runTool({"show=changes", "prf=13", "btlog=4", "show=changes", "vornbm.bin"}, same).output,
              closingMessages + "\nprf=13 btlog: 1 -> 4\n");
}

// The partition byte holds two fields: each is told by its own bits.
TEST(Changes, EachPartOfThePartitionByteIsItsOwnField)
{
    std::vector<std::uint8_t> image = sampleImage();
    image[0x458] = 0x20; // profile 1: partition 0, log part. 1
    MemoryFile file(image);
    EXPECT_EQ(runTool({"write=no", "show=changes", "prf=1", "btlog=2", "vornbm.bin"}, file).output,
              "nothing written (write=no)\n\nprf=1 btlog: 1 -> 2\n");
    EXPECT_EQ(runTool({"write=no", "show=changes", "prf=1", "btprt=3", "vornbm.bin"}, file).output,
              "nothing written (write=no)\n\nprf=1 btprt: stored 0 -> 3\n");
}

// Names print as JSON escapes them, every character past ASCII too, so that two
// names never even look alike: controls, a C1 control and the stray byte of its
// value, a no-break space, a combining accent, quotes and backslashes.
TEST(Changes, TwoDifferentNamesNeverPrintAlike)
{
    const std::pair<const char*, std::string> names[] = {
        {"a\x01", "a\\u0001"},         {"a\x02", "a\\u0002"},
        {"a\x7f", "a\\u007f"},         {"a\xc2\x80", "a\\u0080"},
        {"a\x80", "a\\x80"},           {"a\xe9", "a\\xe9"},
        {"a\xc3\xa9", "a\\u00e9"},      {"ae\xcc\x81", "ae\\u0301"},
        {"a\xc2\xa0" "b", "a\\u00a0b"},    {"a\xf0\x9f\x98\x80", "a\\ud83d\\ude00"},
        {"a\"", "a\\\""},
        {"a\\", "a\\\\"},            {"a\\u0001", "a\\\\u0001"},
        {"a?", "a?"},
    };
    for (const auto& [name, printed] : names) {
        MemoryFile file(sampleImage());
        std::string option = "prfname=" + std::string(name);
        EXPECT_EQ(runTool({"write=no", "show=changes", "prf=1", option.c_str(), "vornbm.bin"}, file).output,
                  "ffffnothing written (write=no)\n\nprf=1 prfname: \"Windows 11\" -> \"" + printed + "\"\n")
            << name;
    }
}

// A name's field is compared whole: bytes after the name's end that the edit zeroes
// are a change, shown after the name up to the last that is not zero.
TEST(Changes, BytesAfterANamesEndAreAChange)
{
    const struct {
        std::string field;
        std::string change;
        std::size_t bytesChanged;
    } fields[] = {
        {std::string("AB\0CD", 5), "prf=2 prfname: \"AB\" (then 43 44) -> \"AB\"\n", 2},
        {std::string("AB\0\0\0\0\0\0\0\0\0\0\0\0\0E", 16),
         "prf=2 prfname: \"AB\" (then 00 00 00 00 00 00 00 00 00 00 00 00 45) -> \"AB\"\n", 1},
        {"AB", "no changes\n", 0},
    };
    for (const auto& [field, change, bytesChanged] : fields) {
        std::vector<std::uint8_t> image = sampleImage();
        std::fill_n(image.begin() + 0x698, 16, 0);
        std::copy(field.begin(), field.end(), image.begin() + 0x698);
        MemoryFile file(image);
        EXPECT_EQ(runTool({"show=changes", "prf=2", "prfname=AB", "vornbm.bin"}, file).output,
                  "ffff" + closingMessages + "\n" + change);
        EXPECT_EQ(testing::changedOffsets(image, file.content).size(), bytesChanged);
    }
}

// Only the last argument names the image: another that names what exists, or a word
// without "=" that can only be a path, is refused before anything is opened. The
// forms the boot manager's users know stay ignored.
TEST(OneImage, AnotherImageBeforeThePathIsRefused)
{
    MemoryFile file(sampleImage());
    MemorySettingsFiles others;
    others.files["copy.bin"] = "";
    others.files["cntval"] = "";
    others.files["a=b"] = "";
    for (const char* other : {"copy.bin", "cntval", "a=b", "no-such.bin", "../a", "a/b", "a\\b", ".", "Write.no"}) {
        auto [status, output, warnings] = runTool({"cntval=5", other, "vornbm.bin"}, file, others);
        EXPECT_EQ(status, 1) << other;
        EXPECT_EQ(output, "Parameter error: " + std::string(other) + ", only the last parameter names the image\n");
    }
    EXPECT_EQ(runTool({"show=json", "copy.bin", "vornbm.bin"}, file, others).warnings,
              "vornset: Parameter error: copy.bin, only the last parameter names the image\n");
    EXPECT_EQ(file.opens, 0);
    EXPECT_EQ(others.reads, 0) << "not even standard input is read";

    const std::pair<std::vector<const char*>, std::string> ignored[] = {
        {{"vm", "text"}, "vornset: warning: ignored vm: options are written vm=VALUE\n"
                         "vornset: warning: ignored text: no such option\n"},
        {{"VM=text"}, "vornset: warning: ignored VM=text: no such option; did you mean vm=?\n"},
        {{"foo=1.5"}, "vornset: warning: ignored foo=1.5: no such option\n"},
        {{""}, "vornset: warning: ignored an empty argument\n"},
    };
    for (const auto& [options, warning] : ignored) {
        std::vector<const char*> argv{"vornset"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back("vornbm.bin");
        testing::StringOutput out;
        testing::StringOutput err;
        EXPECT_EQ(run(argv, {file, others, out, err, file.clock}), 0) << warning;
        EXPECT_EQ(out.text, closingMessages);
        EXPECT_EQ(err.text, warning);
    }
}

// An ignored option most likely meant as one of the run's own keys would turn a dry
// run into an edit, or leave a file unloaded: it is refused before the image is
// opened. A misspelt key of the boot manager's is ignored, as ever.
TEST(NearMisses, OfTheRunsOwnKeysAreRefused)
{
    const std::pair<const char*, std::string> refused[] = {
        {"Write=no", "no such option; did you mean write=?"},
        {"wirte=no", "no such option; did you mean write=?"},
        {"write-no", "no such option; did you mean write=?"},
        {"WRITE", "no such option; did you mean write=?"},
        {"writ=no", "no such option; did you mean write=?"},
        {"shwo=profiles", "no such option; did you mean show=?"},
        {"SHOW=profiles", "no such option; did you mean show=?"},
        {"laod=s.txt", "no such option; did you mean load=?"},
        {"lod=s", "no such option; did you mean load=?"},
        {"loads=s", "no such option; did you mean load=?"},
        {"show", "options are written show=VALUE"},
        // Letters, not bytes: a Cyrillic o in place of a Latin one is one letter off.
        {"l\xd0\xbe" "ad=s.txt", "no such option; did you mean load=?"},
        {"sh\xd0\xbe" "w=json", "no such option; did you mean show=?"},
        {"wr\xd1\x96te=no", "no such option; did you mean write=?"},
    };
    for (const auto& [option, why] : refused) {
        MemoryFile file(sampleImage());
        auto [status, output, warnings] = runTool({option, "cntval=5", "vornbm.bin"}, file);
        EXPECT_EQ(status, 1) << option;
        EXPECT_EQ(output, "Parameter error: " + std::string(option) + ", " + why + "\n");
        EXPECT_EQ(file.opens, 0) << option;
    }
    // A word without "=" is read as a key up to its first character that is no ASCII
    // letter or digit.
    for (char c : std::string_view("`{@[/:azAZ09")) {
        MemoryFile image(sampleImage());
        std::string option = std::string("write") + c + "no";
        bool keyCharacter = std::isalnum(static_cast<unsigned char>(c));
        EXPECT_EQ(runTool({option.c_str(), "vornbm.bin"}, image).status, keyCharacter ? 0 : 1) << option;
    }
    MemoryFile file(sampleImage());
    auto data = runTool({"show=json", "Write=no", "vornbm.bin"}, file);
    EXPECT_EQ(data.output, "");
    EXPECT_EQ(data.warnings, "vornset: Parameter error: Write=no, no such option; did you mean write=?\n");

    // Two letters away from a key of four letters or fewer is no close match.
    for (const char* option : {"Cntval=5", "sub", "lo=s", "ld=s", "lxxd=s", "wxxxe=no"}) {
        auto [status, output, warnings] = runTool({option, "vornbm.bin"}, file);
        EXPECT_EQ(status, 0) << option;
        EXPECT_EQ(output, closingMessages) << option;
    }
}

// The ignored-option warning names the key most likely meant: the key it is but for
// case, one a letter added, dropped, changed or two neighbours swapped away (two for
// a key of five letters or more), or the only longer key that starts with it.
TEST(Warnings, NameTheKeyMostLikelyMeant)
{
    const std::pair<const char*, std::string> cases[] = {
        {"cntvl=5", "no such option; did you mean cntval=?"},
        {"cnvl=5", "no such option; did you mean cntval=?"},
        {"cxvxl=5", "no such option"},
        {"CNT=on", "no such option; did you mean cnt=?"},
        {"cn=on", "no such option; did you mean cnt=?"},
        {"sbu=x", "no such option"},
        {"smt=menu", "no such option; did you mean stm=?"},
        {"hotkye=yes", "no such option; did you mean hotkey=?"},
        {"cntv=5", "no such option; did you mean cntval=?"},
        {"usbm=1", "no such option; did you mean usbmdev=?"},
        {"hot=yes", "no such option; did you mean hotkey=?"},
        {"ho=yes", "no such option"},
        {"prfnam=x", "no such option; did you mean prfname=?"},
        {"b=1", "no such option"},
        {"xyz=1", "no such option"},
        {"5", "no such option"},
        {"cntval", "options are written cntval=VALUE"},
    };
    for (const auto& [option, why] : cases) {
        MemoryFile file(sampleImage());
        auto [status, output, warnings] = runTool({option, "vornbm.bin"}, file);
        EXPECT_EQ(warnings, "vornset: warning: ignored " + std::string(option) + ": " + why + "\n") << option;
    }
}

// Several prf= that choose different profiles send every profile option to the last.
TEST(Warnings, SeveralProfilesChosenAreSaid)
{
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"prf=2", "prf=4", "btprt=1"}, "vornset: warning: prf= given 2 times: the profile options apply to profile 4\n"},
        {{"prf=2", "btprt=1", "prf=3", "prf=04"},
         "vornset: warning: prf= given 3 times: the profile options apply to profile 4\n"},
        {{"prf=2", "prf=2", "btprt=1"}, ""},
        {{"prf=2", "prf=02", "btprt=1"}, ""},
        {{"prf=2", "prf=4"}, ""},
        {{"prf=4", "btprt=1"}, ""},
    };
    for (const auto& [options, warning] : cases) {
        std::vector<std::uint8_t> image = sampleImage();
        MemoryFile file(image);
        std::vector<const char*> argv{"vornset"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back("vornbm.bin");
        MemorySettingsFiles settings;
        testing::StringOutput out;
        testing::StringOutput err;
        EXPECT_EQ(run(argv, {file, settings, out, err, file.clock}), 0);
        EXPECT_EQ(out.text, closingMessages);
        EXPECT_EQ(err.text, warning);
    }
}

TEST(Warnings, ANameCutToSixteenBytesIsSaid)
{
    MemoryFile file(sampleImage());
    auto [status, output, warnings] = runTool({"prf=2", "prfname=Fedora 41 Workstation", "vornbm.bin"}, file);
    EXPECT_EQ(output, "ffff" + closingMessages);
    EXPECT_EQ(warnings, "vornset: warning: prfname cut to 16 bytes: \"Fedora 41 Workst\"\n");
    EXPECT_EQ(runTool({"prf=2", "prfname=ABCDEFGHIJKLMNOP", "vornbm.bin"}, file).warnings, "");
    EXPECT_EQ(runTool({"prf=2", "prfname=Fedora 41 Workstation", "prfname=Short", "vornbm.bin"}, file).warnings, "");
}

// Standard output keeps its fixed message; standard error adds why, in the system's
// words, or that another program holds the lock.
TEST(Reasons, FollowTheFixedMessageOnStandardError)
{
    MemoryFile missing;
    missing.exists = false;
    missing.failing = MemoryFile::Step::open;
    missing.failureText = "No such file or directory";
    auto [status, output, warnings] = runTool({"nosuch.bin"}, missing);
    EXPECT_EQ(output, "Error: unable to open nosuch.bin\n");
    EXPECT_EQ(warnings, "vornset: nosuch.bin: No such file or directory\n");

    MemoryFile locked(sampleImage());
    locked.heldUntil = {MemoryFile::forever};
    auto edit = runTool({"dbt=usb", "img"}, locked);
    EXPECT_EQ(edit.output, "Error: unable to open img for writing\n");
    EXPECT_EQ(edit.warnings, "vornset: waiting for another program to release img\n"
                             "vornset: img is locked by another program\n");
    EXPECT_EQ(runTool({"img"}, locked).output, "Error: unable to read file\n");
    EXPECT_EQ(runTool({"write=no", "dbt=usb", "img"}, locked).output, "Error: unable to read file\n");

    MemoryFile large(std::vector<std::uint8_t>(70000));
    large.failing = MemoryFile::Step::sync; // never reached: only a failed call has a reason
    EXPECT_EQ(runTool({"img"}, large).warnings, "");
}

// A run that asks for a form another program reads prints nothing on standard output
// when it fails: its message goes to standard error, a line each.
TEST(Reasons, AFailedRunThatPrintsDataLeavesStandardOutputEmpty)
{
    std::vector<std::uint8_t> wrongVersion = sampleImage();
    wrongVersion[0x287] = 6;
    MemoryFile file(wrongVersion);
    for (const char* form : {"show=json", "show=options"}) {
        auto [status, output, warnings] = runTool({form, "vornbm.bin"}, file);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, "");
        EXPECT_EQ(warnings, "vornset: Error: wrong boot manager configuration version\n"
                            "vornset:        use the latest boot manager version and the latest vornset\n"
                            "vornset:        see https://vornset.example.org\n");
    }
    MemoryFile sample(sampleImage());
    auto refused = runTool({"show=options", "cntval=0", "vornbm.bin"}, sample);
    EXPECT_EQ(refused.output, "");
    EXPECT_EQ(refused.warnings, "vornset: Parameter error: cntval, only values 1-99 are valid\n");
    EXPECT_EQ(runTool({"show=profiles", "cntval=0", "vornbm.bin"}, sample).output,
              "Parameter error: cntval, only values 1-99 are valid\n")
        << "the table is for people, and keeps its message";
}

} // namespace
} // namespace vornset
