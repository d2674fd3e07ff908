#include "image/image_file.h"

#include "image/config_block.h"
#include "tests/test_images.h"

#include <gtest/gtest.h>

namespace vornset {
namespace {

using testing::MemoryFile;
using testing::patternedImage;
using Access = FileAccess::Access;
using Step = MemoryFile::Step;

testing::WaitingCount waiting;

TEST(LoadImage, AcceptsLengthsFromTheBlockEndToTheBufferSizeAndRefusesOneBeyond)
{
    const std::pair<std::size_t, ImageError> cases[] = {
        {0, ImageError::cannotRead},          {1, ImageError::tooShort},
        {0x787, ImageError::tooShort},        {0x788, ImageError::none},
        {65536, ImageError::none},            {65537, ImageError::tooLarge},
    };
    for (auto [length, expected] : cases) {
        MemoryFile file(patternedImage(length));
        BootImage image;
        EXPECT_EQ(loadImage(file, Access::read, image, waiting), expected) << length;
        EXPECT_EQ(image.length, expected == ImageError::none ? length : 0) << length;
    }
}

TEST(LoadImage, OnlyRegularFilesAreImages)
{
    MemoryFile device(patternedImage());
    device.regular = false;
    BootImage image;
    EXPECT_EQ(loadImage(device, Access::edit, image, waiting), ImageError::cannotRead);
    EXPECT_EQ(device.writes, 0);
}

TEST(LoadImage, LengthsAreTakenInSixtyFourBits)
{
    for (std::uint64_t length : {std::uint64_t{1} << 31, (std::uint64_t{1} << 32) + 1000, (std::uint64_t{1} << 32) + 16384}) {
        MemoryFile file(patternedImage(16384));
        file.apparentLength = length;
        BootImage image;
        EXPECT_EQ(loadImage(file, Access::edit, image, waiting), ImageError::tooLarge) << length;
    }
}

TEST(LoadImage, MeasuresTheFileOnlyOnceItIsLocked)
{
    const std::pair<std::size_t, ImageError> cases[] = {
        {100000, ImageError::tooLarge}, {2000, ImageError::none}, {0x787, ImageError::tooShort}};
    for (auto [length, expected] : cases) {
        MemoryFile file(patternedImage(4096));
        file.contentOnceLocked = patternedImage(length);
        BootImage image;
        EXPECT_EQ(loadImage(file, Access::edit, image, waiting), expected) << length;
        EXPECT_EQ(image.length, expected == ImageError::none ? length : 0) << length;
    }
}

// Another program replaced the file by a rename while this run waited for the lock:
// the file that the path names now is opened, locked and read instead.
TEST(LoadImage, AFileReplacedWhileWaitingIsOpenedAgain)
{
    for (Access access : {Access::read, Access::edit}) {
        MemoryFile file(patternedImage());
        file.replacements = 3;
        BootImage image;
        EXPECT_EQ(loadImage(file, access, image, waiting), ImageError::none);
        EXPECT_EQ(file.opens, 4);
        EXPECT_EQ(file.locks, 4);
        EXPECT_EQ(file.isOpen, access == Access::edit);
    }
}

TEST(LoadImage, AFileReplacedAgainAndAgainIsGivenUpAsALockThatIsNotGranted)
{
    const std::pair<Access, ImageError> cases[] = {{Access::read, ImageError::cannotRead},
                                                   {Access::edit, ImageError::cannotOpenForWriting}};
    for (auto [access, expected] : cases) {
        MemoryFile file(patternedImage());
        file.replacements = 1000;
        BootImage image;
        EXPECT_EQ(loadImage(file, access, image, waiting), expected);
        EXPECT_EQ(file.opens, 20) << "a bounded number of openings";
        EXPECT_FALSE(file.isOpen);
        EXPECT_EQ(file.writes, 0);
    }
}

TEST(LoadImage, SomethingThatOpensAsNoFileCannotBeRead)
{
    MemoryFile socket(patternedImage());
    socket.socket = true;
    BootImage image;
    EXPECT_EQ(loadImage(socket, Access::edit, image, waiting), ImageError::cannotRead);
}

struct SaveImageTest : ::testing::Test {
    std::vector<std::uint8_t> original = patternedImage(4096);
    MemoryFile file{original};
    BootImage image;

    void SetUp() override
    {
        ASSERT_EQ(loadImage(file, Access::edit, image, waiting), ImageError::none);
        image.content[0x288] ^= 0xFF;
        image.content[0x787] ^= 0xFF;
        image.content[0x100] ^= 0xFF; // outside the block: never written
    }
};

TEST_F(SaveImageTest, WritesTheBlockAloneInOneWriteAndSyncsIt)
{
    ASSERT_EQ(saveImage(file, image), ImageError::none);
    EXPECT_EQ(testing::changedOffsets(original, file.content), (std::vector<std::size_t>{0x288, 0x787}));
    EXPECT_EQ(file.writes, 1);
    EXPECT_EQ(file.syncs, 1);
    EXPECT_EQ(file.opens, 1);
}

TEST_F(SaveImageTest, AFileOpenedForReadingAloneIsNotWritten)
{
    MemoryFile readOnly(original);
    readOnly.allowsWriting = false;
    ASSERT_EQ(loadImage(readOnly, Access::edit, image, waiting), ImageError::none);
    EXPECT_EQ(saveImage(readOnly, image), ImageError::cannotOpenForWriting);
    EXPECT_EQ(readOnly.writes, 0);
    EXPECT_EQ(readOnly.content, original);
}

TEST_F(SaveImageTest, EveryFailureAfterOpeningIsAWriteError)
{
    for (Step step : {Step::write, Step::sync, Step::close}) {
        MemoryFile target(original);
        target.failing = step;
        target.bytesBeforeWriteFails = 100;
        ASSERT_EQ(loadImage(target, Access::edit, image, waiting), ImageError::none);
        image.content[0x288] ^= 0xFF;
        EXPECT_EQ(saveImage(target, image), ImageError::cannotWrite) << static_cast<int>(step);
        for (std::size_t offset : testing::changedOffsets(original, target.content))
            EXPECT_TRUE(offset >= 0x288 && offset < 0x788) << "a failed write touches only the block";
    }
}

} // namespace
} // namespace vornset
