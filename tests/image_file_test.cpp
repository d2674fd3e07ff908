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
        EXPECT_EQ(loadImage(file, Access::read, image, waiting, file.clock), expected) << length;
        EXPECT_EQ(image.length, expected == ImageError::none ? length : 0) << length;
    }
}

TEST(LoadImage, OnlyRegularFilesAreImages)
{
    MemoryFile device(patternedImage());
    device.regular = false;
    BootImage image;
    EXPECT_EQ(loadImage(device, Access::edit, image, waiting, device.clock), ImageError::cannotRead);
    EXPECT_EQ(device.writes, 0);
}

TEST(LoadImage, LengthsAreTakenInSixtyFourBits)
{
    for (std::uint64_t length : {std::uint64_t{1} << 31, (std::uint64_t{1} << 32) + 1000, (std::uint64_t{1} << 32) + 16384}) {
        MemoryFile file(patternedImage(16384));
        file.apparentLength = length;
        BootImage image;
        EXPECT_EQ(loadImage(file, Access::edit, image, waiting, file.clock), ImageError::tooLarge) << length;
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
        EXPECT_EQ(loadImage(file, Access::edit, image, waiting, file.clock), expected) << length;
        EXPECT_EQ(image.length, expected == ImageError::none ? length : 0) << length;
    }
}

// Another program holds the lock for a while. The run waits for it, says so once when
// a second has passed, and gives up at five.
TEST(LoadImage, ALockHeldByAnotherIsWaitedForFiveSecondsAndItsWaitToldAfterOne)
{
    struct Case {
        std::int64_t heldUntil;
        ImageError expected;
        int told;
    };
    const Case cases[] = {
        {0, ImageError::none, 0},    {900, ImageError::none, 0},    {1000, ImageError::none, 0},
        {1001, ImageError::none, 1}, {4900, ImageError::none, 1},   {5000, ImageError::none, 1},
        {5001, ImageError::locked, 1}, {MemoryFile::forever, ImageError::locked, 1},
    };
    for (Access access : {Access::read, Access::edit}) {
        for (auto [heldUntil, expected, told] : cases) {
            MemoryFile file(patternedImage());
            file.heldUntil = {heldUntil};
            testing::WaitingCount counted;
            BootImage image;
            EXPECT_EQ(loadImage(file, access, image, counted, file.clock), expected) << heldUntil;
            EXPECT_EQ(counted.told, told) << heldUntil;
            EXPECT_EQ(file.isOpen, expected == ImageError::none && access == Access::edit) << heldUntil;
            if (expected == ImageError::locked)
                EXPECT_EQ(file.clock.time, 5000) << "gave up at " << file.clock.time;
            else
                EXPECT_LT(file.clock.time, heldUntil + 50) << "granted at " << file.clock.time;
        }
    }
}

// Another program replaced the file by a rename while this run waited for the lock:
// the file that the path names now is opened, locked and read instead, up to the
// twentieth opening.
TEST(LoadImage, AFileReplacedWhileWaitingIsOpenedAgainUpToTwentyTimes)
{
    struct Case {
        int replacements;
        int opens;
        bool loaded;
    };
    const Case cases[] = {{0, 1, true}, {1, 2, true}, {19, 20, true}, {20, 20, false}, {21, 20, false}};
    for (Access access : {Access::read, Access::edit}) {
        for (auto [replacements, opens, loaded] : cases) {
            MemoryFile file(patternedImage());
            file.replacements = replacements;
            BootImage image;
            ImageError notLocked = access == Access::edit ? ImageError::cannotOpenForWriting : ImageError::cannotRead;
            EXPECT_EQ(loadImage(file, access, image, waiting, file.clock), loaded ? ImageError::none : notLocked)
                << replacements;
            EXPECT_EQ(file.opens, opens) << replacements;
            EXPECT_EQ(file.isOpen, loaded && access == Access::edit) << replacements;
            EXPECT_EQ(file.writes, 0);
        }
    }
}

// The files that the path names in turn are all waited for within the one wait that
// the first attempt started, and the wait is told of once.
TEST(LoadImage, EveryOpeningSharesTheOneWait)
{
    struct Case {
        std::vector<std::int64_t> heldUntil;
        ImageError expected;
    };
    const Case cases[] = {
        {{3000, 4990}, ImageError::none},
        {{3000, 5001}, ImageError::locked},
        {{3000, MemoryFile::forever}, ImageError::locked},
    };
    for (const auto& [heldUntil, expected] : cases) {
        MemoryFile file(patternedImage());
        file.heldUntil = heldUntil;
        file.replacements = 1;
        testing::WaitingCount counted;
        BootImage image;
        EXPECT_EQ(loadImage(file, Access::edit, image, counted, file.clock), expected) << heldUntil[1];
        EXPECT_EQ(file.opens, 2) << heldUntil[1];
        EXPECT_EQ(counted.told, 1) << heldUntil[1];
        EXPECT_LE(file.clock.time, 5000) << heldUntil[1];
    }
}

TEST(LoadImage, SomethingThatOpensAsNoFileCannotBeRead)
{
    MemoryFile socket(patternedImage());
    socket.socket = true;
    BootImage image;
    EXPECT_EQ(loadImage(socket, Access::edit, image, waiting, socket.clock), ImageError::cannotRead);
}

struct SaveImageTest : ::testing::Test {
    std::vector<std::uint8_t> original = patternedImage(4096);
    MemoryFile file{original};
    BootImage image;

    void SetUp() override
    {
        ASSERT_EQ(loadImage(file, Access::edit, image, waiting, file.clock), ImageError::none);
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
    ASSERT_EQ(loadImage(readOnly, Access::edit, image, waiting, readOnly.clock), ImageError::none);
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
        ASSERT_EQ(loadImage(target, Access::edit, image, waiting, target.clock), ImageError::none);
        image.content[0x288] ^= 0xFF;
        EXPECT_EQ(saveImage(target, image), ImageError::cannotWrite) << static_cast<int>(step);
        for (std::size_t offset : testing::changedOffsets(original, target.content))
            EXPECT_TRUE(offset >= 0x288 && offset < 0x788) << "a failed write touches only the block";
    }
}

} // namespace
} // namespace vornset
