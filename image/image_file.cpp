#include "image/image_file.h"

#include "image/config_block.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vornset {
namespace {

using Access = FileAccess::Access;

// Another program may replace the image by renaming a new file over it while this
// run waits for the lock. The path is then opened again, this many times at most
// and all within the one wait for the lock.
constexpr int maximumOpenings = 20;

ImageError lockFailure(Access access)
{
    return access == Access::edit ? ImageError::cannotOpenForWriting : ImageError::cannotRead;
}

ImageError lockError(FileAccess::Locking locking, Access access)
{
    return locking == FileAccess::Locking::heldByOther ? ImageError::locked : lockFailure(access);
}

// Tries the lock again and again while another program holds it, within one wait
// that starts when it is first found held and spans every opening of the path; a
// lock granted at once never reads the clock.
class LockWait {
public:
    LockWait(Clock& clock, LockWaiting& waiting) : clock_(clock), waiting_(waiting) {}

    FileAccess::Locking lock(FileAccess& file, Access access)
    {
        for (;;) {
            FileAccess::Locking locking = file.tryLock(access);
            if (locking != FileAccess::Locking::heldByOther)
                return locking;
            if (!started_) {
                started_ = true;
                start_ = clock_.now();
            }
            std::int64_t waited = clock_.now() - start_;
            if (waited >= lockWaitMilliseconds)
                return locking;
            if (waited >= lockNoticeMilliseconds && !told_) {
                waiting_.waiting();
                told_ = true;
            }
            clock_.sleep(pauseMilliseconds);
        }
    }

private:
    static constexpr int pauseMilliseconds = 10;

    Clock& clock_;
    LockWaiting& waiting_;
    bool started_ = false;
    std::int64_t start_ = 0;
    bool told_ = false;
};

// Opens the file and locks it; its type is known from the handle before it is locked.
ImageError openLocked(FileAccess& file, Access access, LockWait& wait, std::optional<FileIdentity>& opened)
{
    switch (file.open(access)) {
    case FileAccess::Opening::failed:
        return ImageError::cannotOpen;
    case FileAccess::Opening::notAFile:
        return ImageError::notAFile;
    case FileAccess::Opening::opened:
        break;
    }
    std::optional<FileAccess::Status> status = file.status();
    if (!status)
        return ImageError::cannotRead;
    if (status->kind != FileAccess::Kind::regular)
        return status->kind == FileAccess::Kind::folder ? ImageError::folder : ImageError::notAFile;
    if (FileAccess::Locking locking = wait.lock(file, access); locking != FileAccess::Locking::locked)
        return lockError(locking, access);
    opened = status->identity;
    return ImageError::none;
}

// Leaves open and locked the file that the path names while the lock is held, so
// that what is read and written is what the path leads to.
ImageError openCurrentFile(FileAccess& file, Access access, LockWait& wait)
{
    for (int opening = 0; opening < maximumOpenings; ++opening) {
        std::optional<FileIdentity> opened;
        if (ImageError error = openLocked(file, access, wait, opened); error != ImageError::none)
            return error;
        if (file.identityOfPath() == opened)
            return ImageError::none;
        file.close();
    }
    return lockFailure(access);
}

// The type was checked when the file was opened; a handle's type cannot change.
ImageError checkedLength(const std::optional<FileAccess::Status>& status, std::size_t& length)
{
    if (!status || status->length == 0)
        return ImageError::cannotRead;
    if (status->length > BootImage::capacity)
        return ImageError::tooLarge;
    if (status->length < minimumImageLength)
        return ImageError::tooShort;
    length = static_cast<std::size_t>(status->length);
    return ImageError::none;
}

// Measures the file only under the lock, so that the length checked is the length read.
ImageError readWhole(FileAccess& file, BootImage& image)
{
    std::size_t length = 0;
    if (ImageError error = checkedLength(file.status(), length); error != ImageError::none)
        return error;
    if (!file.readAt(0, std::span(image.content).first(length)))
        return ImageError::cannotRead;
    image.length = length;
    return ImageError::none;
}


// A stretch of the file that one write covers: the block's bytes in one sector.
struct Stretch {
    std::size_t offset; // in the file
    std::size_t length;
};

constexpr std::size_t sectorCount = (minimumImageLength + sectorSize - 1) / sectorSize - ConfigBlock::offsetInImage / sectorSize;

// The block's bytes in each sector that holds some, from the last sector to the first.
constexpr std::array<Stretch, sectorCount> blockSectors()
{
    std::array<Stretch, sectorCount> stretches{};
    std::size_t end = minimumImageLength;
    for (Stretch& stretch : stretches) {
        std::size_t start = std::max((end - 1) / sectorSize * sectorSize, ConfigBlock::offsetInImage);
        stretch = {start, end - start};
        end = start;
    }
    return stretches;
}

std::span<const std::uint8_t> partOf(std::span<const std::uint8_t, ConfigBlock::size> block, const Stretch& stretch)
{
    return block.subspan(stretch.offset - ConfigBlock::offsetInImage, stretch.length);
}

// Writes back what the failed write reached, from the last stretch written, and
// forces it to stable storage.
Written undo(FileAccess& file, std::span<const Stretch> reached, std::span<const std::uint8_t, ConfigBlock::size> before)
{
    bool undone = true;
    for (auto stretch = reached.rbegin(); stretch != reached.rend(); ++stretch) {
        std::span<const std::uint8_t> old = partOf(before, *stretch);
        undone = file.writeAt(stretch->offset, old) == old.size() && undone;
    }
    return undone && file.sync() ? Written::nothing : Written::part;
}

Saving writeChangedSectors(FileAccess& file, std::span<const std::uint8_t, ConfigBlock::size> after,
                           std::span<const std::uint8_t, ConfigBlock::size> before)
{
    std::array<Stretch, sectorCount> reached{};
    std::size_t count = 0;
    for (const Stretch& stretch : blockSectors()) {
        std::span<const std::uint8_t> bytes = partOf(after, stretch);
        std::span<const std::uint8_t> old = partOf(before, stretch);
        if (std::equal(bytes.begin(), bytes.end(), old.begin(), old.end()))
            continue;
        std::size_t written = file.writeAt(stretch.offset, bytes);
        reached[count++] = {stretch.offset, written};
        if (written < bytes.size() || !file.sync())
            return {ImageError::cannotWrite, undo(file, std::span(reached).first(count), before)};
    }
    return {ImageError::none, count > 0 ? Written::whole : Written::nothing};
}

} // namespace

ImageError loadImage(FileAccess& file, Access access, BootImage& image, LockWaiting& waiting, Clock& clock)
{
    LockWait wait(clock, waiting);
    ImageError error = openCurrentFile(file, access, wait);
    if (error == ImageError::none)
        error = readWhole(file, image);
    // A file that was only read cannot be harmed by a failure to release it.
    if (error != ImageError::none || access == Access::read)
        file.close();
    return error;
}

Saving saveImage(FileAccess& file, const BootImage& image, std::span<const std::uint8_t, ConfigBlock::size> before)
{
    Saving saving;
    if (!file.writable())
        saving.error = ImageError::cannotOpenForWriting;
    else if (std::optional<std::uint64_t> limit = file.sizeLimit(); limit && *limit < image.length)
        saving = {ImageError::overSizeLimit, Written::nothing, *limit};
    else
        saving = writeChangedSectors(file, std::span(image.content).first<minimumImageLength>().last<ConfigBlock::size>(),
                                     before);
    bool closed = file.close();
    if (!closed && saving.error == ImageError::none)
        saving.error = ImageError::cannotWrite;
    return saving;
}

} // namespace vornset
