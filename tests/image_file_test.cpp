#include "image/image_file.h"

#include "tests/test_images.h"

#include <gtest/gtest.h>

namespace vornset {
namespace {

using testing::MemoryFile;
using testing::patternedImage;
using testing::StringOutput;
using Step = MemoryFile::Step;

struct Loaded {
    bool ok;
    std::string output;
    std::size_t length;
};

Loaded load(MemoryFile& file, const char* path = "vornbm.bin")
{
    BootImage image;
    image.path = path;
    StringOutput out;
    bool ok = loadImage(file, image, out);
    return {ok, out.text, image.length};
}

TEST(LoadImage, AcceptsEveryLengthFromTheBlockEndToTheBufferSize)
{
    for (std::size_t length : {std::size_t{0x788}, std::size_t{16384}, std::size_t{65536}}) {
        MemoryFile file(patternedImage(length));
        Loaded result = load(file);
        EXPECT_TRUE(result.ok) << length;
        EXPECT_EQ(result.length, length);
        EXPECT_EQ(result.output, "");
    }
}

TEST(LoadImage, RefusesFilesThatCannotBeImages)
{
    const std::pair<std::size_t, const char*> cases[] = {
        {0, "Error: unable to read file\n"},
        {1, "Error: file too short for a boot manager image (less than 1928 bytes)\n"},
        {0x787, "Error: file too short for a boot manager image (less than 1928 bytes)\n"},
        {65537, "Error: file too large for a boot manager image (more than 65536 bytes)\n"},
        {1 << 20, "Error: file too large for a boot manager image (more than 65536 bytes)\n"},
    };
    for (auto [length, message] : cases) {
        MemoryFile file(patternedImage(length));
        Loaded result = load(file);
        EXPECT_FALSE(result.ok) << length;
        EXPECT_EQ(result.output, message) << length;
    }
}

TEST(LoadImage, ReportsEachFailingStep)
{
    MemoryFile missing;
    missing.exists = false;
    EXPECT_EQ(load(missing, "some dir/vornbm.bin").output, "Error: unable to open some dir/vornbm.bin\n");

    for (Step step : {Step::measure, Step::read}) {
        MemoryFile file(patternedImage());
        file.failing = step;
        Loaded result = load(file);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.output, "Error: unable to read file\n");
    }
}

TEST(LoadImage, ALongPathIsPrintedWhole)
{
    std::string path(5000, 'p');
    MemoryFile missing;
    missing.exists = false;
    EXPECT_EQ(load(missing, path.c_str()).output, "Error: unable to open " + path + "\n");
}

struct SaveImageTest : ::testing::Test {
    std::vector<std::uint8_t> original = patternedImage(4096);
    MemoryFile file{original};
    BootImage image;
    StringOutput out;

    void SetUp() override
    {
        image.path = "vornbm.bin";
        StringOutput ignored;
        ASSERT_TRUE(loadImage(file, image, ignored));
        image.content[0x288] ^= 0xFF;
    }
};

TEST_F(SaveImageTest, OverwritesTheWholeFileInPlace)
{
    ASSERT_TRUE(saveImage(file, image, out));
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(testing::changedOffsets(original, file.content), std::vector<std::size_t>{0x288});
}

TEST_F(SaveImageTest, AFileThatCannotBeOpenedIsLeftAlone)
{
    file.failing = Step::openForUpdate;
    EXPECT_FALSE(saveImage(file, image, out));
    EXPECT_EQ(out.text, "Error: unable to open vornbm.bin for writing\n");
    EXPECT_EQ(file.content, original);
}

TEST_F(SaveImageTest, AFileThatVanishedIsNotCreatedAgain)
{
    file.exists = false;
    EXPECT_FALSE(saveImage(file, image, out));
    EXPECT_EQ(out.text, "Error: unable to open vornbm.bin for writing\n");
}

TEST_F(SaveImageTest, EveryFailureAfterOpeningIsAWriteError)
{
    for (Step step : {Step::write, Step::flush, Step::close}) {
        MemoryFile target(original);
        target.failing = step;
        target.bytesBeforeWriteFails = 1000;
        StringOutput output;
        EXPECT_FALSE(saveImage(target, image, output));
        EXPECT_EQ(output.text, "Error: unable to write to file\n");
        EXPECT_EQ(target.content.size(), original.size()) << "a failed write must not shorten the file";
    }
}

TEST_F(SaveImageTest, AWriteThatFailsPartWayKeepsTheRestOfTheFile)
{
    file.failing = Step::write;
    file.bytesBeforeWriteFails = 100;
    EXPECT_FALSE(saveImage(file, image, out));
    EXPECT_EQ(file.content, original);
}

} // namespace
} // namespace vornset
