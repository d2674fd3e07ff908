#include "tests/test_images.h"

#include <gtest/gtest.h>

namespace vornset {
namespace {

using testing::changedOffsets;
using testing::MemoryFile;
using testing::runTool;
using testing::sampleImage;

const std::string closingMessages = "data changed\n\n"
                                    "hint: if you use the windows boot menu to start the boot manager, then its\n"
                                    "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";

const std::string versionError = "Error: wrong boot manager configuration version\n"
                                 "       use the latest boot manager version and the latest vornset\n"
                                 "       see https://vornset.example.org\n";

TEST(Run, WithoutArgumentsPrintsHelpAndOpensNothing)
{
    MemoryFile file;
    file.exists = false;
    auto [status, output] = runTool({}, file);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(output.starts_with("vornset 0.8 20100428 by the vornset developers, https://vornset.example.org\n\n"));
}

TEST(Run, ThePathAloneReportsAndWritesNothing)
{
    MemoryFile file(sampleImage());
    auto [status, output] = runTool({"vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(output.starts_with("Video mode     : 800x600\n")) << output;
    EXPECT_EQ(file.opensForUpdate, 0);
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
            auto [status, output] = runTool(arguments, file);
            EXPECT_EQ(status, 1);
            EXPECT_EQ(output, versionError);
            EXPECT_EQ(file.content, image);
            EXPECT_EQ(file.opensForUpdate, 0);
        }
    }
}

TEST(Run, UnknownOptionsStillRewriteTheImageUnchanged)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output] = runTool({"foo=1", "VM=text", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(file.opensForUpdate, 1);
    EXPECT_EQ(file.content, image);
}

TEST(Run, TheHelpExampleChangesExactlyItsFourFields)
{
    std::vector<std::uint8_t> image = sampleImage();
    image[0x28C] = 0; // countdown off
    image[0x28A] = 0; // default boot off
    MemoryFile file(image);
    auto [status, output] = runTool({"stm=hidden", "cnt=on", "cntval=1", "dbt=usb", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, closingMessages);
    EXPECT_EQ(changedOffsets(image, file.content), (std::vector<std::size_t>{0x28A, 0x28C, 0x28D, 0x293}));
    EXPECT_EQ(file.content[0x28A], 4);
    EXPECT_EQ(file.content[0x28C], 1);
    EXPECT_EQ(file.content[0x28D], 1);
    EXPECT_EQ(file.content[0x293], 1);
}

TEST(Run, ANamedProfilePrintsFfffBeforeTheClosingMessages)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output] = runTool({"prf=1", "prfname=Windows", "vornbm.bin"}, file);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "ffff" + closingMessages);
    const std::uint8_t expected[16] = {'W', 'i', 'n', 'd', 'o', 'w', 's'};
    EXPECT_TRUE(std::equal(expected, expected + 16, file.content.begin() + 0x688));
}

TEST(Run, AnyRefusalLeavesTheFileUnopenedForWriting)
{
    std::vector<std::uint8_t> image = sampleImage();
    MemoryFile file(image);
    auto [status, output] = runTool({"prf=1", "prfname=X", "vm=800x600", "btdrv=8ah", "vornbm.bin"}, file);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Parameter error: btdrv, only values 80h-89h are valid\n");
    EXPECT_EQ(file.opensForUpdate, 0);
    EXPECT_EQ(file.content, image);
}

TEST(Run, GlobalErrorsAreReportedBeforeProfileErrors)
{
    MemoryFile file(sampleImage());
    auto [status, output] = runTool({"prf=99", "hotkey=maybe", "vornbm.bin"}, file);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output, "Parameter error: hk, only yes and no is valid\n");
}

TEST(Run, EachFailingFileStepPrintsItsMessageAndKeepsTheFile)
{
    using Step = MemoryFile::Step;
    const std::pair<Step, std::string> failures[] = {
        {Step::openForReading, "Error: unable to open vornbm.bin\n"},
        {Step::measure, "Error: unable to read file\n"},
        {Step::read, "Error: unable to read file\n"},
        {Step::openForUpdate, "ffffError: unable to open vornbm.bin for writing\n"},
        {Step::write, "ffffError: unable to write to file\n"},
        {Step::flush, "ffffError: unable to write to file\n"},
        {Step::close, "ffffError: unable to write to file\n"},
    };
    for (const auto& [step, message] : failures) {
        std::vector<std::uint8_t> image = sampleImage();
        MemoryFile file(image);
        file.failing = step;
        file.bytesBeforeWriteFails = 0x690;
        auto [status, output] = runTool({"prf=1", "prfname=Windows", "vm=text", "vornbm.bin"}, file);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(output, message) << "a failed write is never reported as success";
        EXPECT_EQ(file.content.size(), image.size());
        for (std::size_t offset : changedOffsets(image, file.content))
            EXPECT_TRUE(offset == 0x288 || (offset >= 0x688 && offset < 0x698)) << "only the edited fields may differ";
    }
}

} // namespace
} // namespace vornset
