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
    for (auto [kind, error] : {std::pair{FileAccess::Kind::folder, ImageError::folder},
                               std::pair{FileAccess::Kind::other, ImageError::notAFile}}) {
        MemoryFile device(patternedImage());
        device.kind = kind;
        BootImage image;
        EXPECT_EQ(loadImage(device, Access::edit, image, waiting, device.clock), error);
        EXPECT_EQ(device.writes, 0);
    }
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
    EXPECT_EQ(loadImage(socket, Access::edit, image, waiting, socket.clock), ImageError::notAFile);
}

// An image loaded for an edit, and the block as it was read.
struct Loaded {
    std::vector<std::uint8_t> original = patternedImage(4096);
    MemoryFile file{original};
    BootImage image;
    std::array<std::uint8_t, ConfigBlock::size> before{};

    Loaded()
    {
        EXPECT_EQ(loadImage(file, Access::edit, image, waiting, file.clock), ImageError::none);
        std::copy_n(image.content.begin() + 0x288, before.size(), before.begin());
    }

    Saving save() { return saveImage(file, image, before); }
};

// Only the sectors that hold changed bytes are written, the block's part of each,
// from the last to the first, each synced before the next.
TEST(SaveImage, WritesTheBlocksPartOfEachChangedSectorLastFirstEachSynced)
{
    struct Case {
        std::vector<std::size_t> changed;
        std::vector<std::pair<std::size_t, std::size_t>> writes; // offset, length
    };
    const Case cases[] = {
        {{}, {}},
        {{0x288}, {{0x288, 376}}},
        {{0x3FF}, {{0x288, 376}}},
        {{0x400}, {{0x400, 512}}},
        {{0x5FF, 0x600}, {{0x600, 392}, {0x400, 512}}},
        {{0x28A, 0x468, 0x787}, {{0x600, 392}, {0x400, 512}, {0x288, 376}}},
    };
    for (const auto& [changed, writes] : cases) {
        Loaded loaded;
        loaded.image.content[0x100] ^= 0xFF; // outside the block: never written
        for (std::size_t offset : changed)
            loaded.image.content[offset] ^= 0xFF;
        Saving saving = loaded.save();
        EXPECT_EQ(saving.error, ImageError::none);
        EXPECT_EQ(saving.written, writes.empty() ? Written::nothing : Written::whole);
        EXPECT_EQ(testing::changedOffsets(loaded.original, loaded.file.content), changed);
        std::vector<std::pair<std::size_t, std::size_t>> made;
        for (std::size_t i = 0; i < loaded.file.journal.size(); i += 2) {
            const MemoryFile::Call& write = loaded.file.journal[i];
            made.emplace_back(write.offset, write.bytes.size());
            EXPECT_TRUE(i + 1 < loaded.file.journal.size() && loaded.file.journal[i + 1].sync) << "each write synced";
        }
        EXPECT_EQ(made, writes);
        EXPECT_FALSE(loaded.file.isOpen);
    }
}

TEST(SaveImage, AFileOpenedForReadingAloneIsNotWritten)
{
    Loaded loaded;
    MemoryFile readOnly(loaded.original);
    readOnly.allowsWriting = false;
    ASSERT_EQ(loadImage(readOnly, Access::edit, loaded.image, waiting, readOnly.clock), ImageError::none);
    loaded.image.content[0x288] ^= 0xFF;
    EXPECT_EQ(saveImage(readOnly, loaded.image, loaded.before).error, ImageError::cannotOpenForWriting);
    EXPECT_EQ(readOnly.writes, 0);
}

// A file-size limit below the image's end refuses the write before it starts.
TEST(SaveImage, ALimitOnTheFilesSizeBelowItsEndRefusesTheWrite)
{
    for (std::uint64_t limit : {0u, 1024u, 4095u, 4096u, 1u << 20}) {
        Loaded loaded;
        loaded.file.limit = limit;
        loaded.image.content[0x787] ^= 0xFF;
        Saving saving = loaded.save();
        bool refused = limit < 4096;
        EXPECT_EQ(saving.error, refused ? ImageError::overSizeLimit : ImageError::none) << limit;
        EXPECT_EQ(saving.sizeLimit, refused ? limit : 0) << limit;
        EXPECT_EQ(loaded.file.writes, refused ? 0 : 1) << limit;
    }
}

// A write or sync that fails is undone with the bytes from before, where the disk lets
// it; where it does not, the image may hold part of the edit.
TEST(SaveImage, AFailedWriteIsUndoneWhereTheDiskLetsIt)
{
    struct Case {
        Step step;
        int writesBeforeFailing;
        std::size_t bytesBeforeFailing;
        int failingWrites;
        Written written;
    };
    const int always = std::numeric_limits<int>::max();
    const Case cases[] = {
        {Step::write, 0, 0, 1, Written::nothing},      {Step::write, 0, 100, 1, Written::nothing},
        {Step::write, 0, 391, always, Written::nothing}, {Step::write, 1, 100, 1, Written::nothing},
        {Step::write, 1, 100, always, Written::part},  {Step::sync, 0, 0, 0, Written::part},
        {Step::close, 0, 0, 0, Written::whole},
    };
    for (auto [step, writesBeforeFailing, bytesBeforeFailing, failingWrites, written] : cases) {
        Loaded loaded;
        loaded.file.failing = step;
        loaded.file.writesBeforeFailing = writesBeforeFailing;
        loaded.file.bytesBeforeWriteFails = bytesBeforeFailing;
        loaded.file.failingWrites = failingWrites;
        loaded.image.content[0x288] ^= 0xFF;
        loaded.image.content[0x787] ^= 0xFF;
        Saving saving = loaded.save();
        EXPECT_EQ(saving.error, ImageError::cannotWrite);
        EXPECT_EQ(saving.written, written) << writesBeforeFailing << " " << bytesBeforeFailing << " " << failingWrites;
        std::vector<std::size_t> changed = testing::changedOffsets(loaded.original, loaded.file.content);
        if (written == Written::nothing) {
            EXPECT_TRUE(changed.empty());
        }
        for (std::size_t offset : changed)
            EXPECT_TRUE(offset == 0x288 || offset == 0x787) << "a failed write touches only the fields it changes";
        EXPECT_FALSE(loaded.file.isOpen);
    }
}

} // namespace
} // namespace vornset
