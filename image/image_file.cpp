#include "image/image_file.h"

#include "image/config_block.h"

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
// that starts at the first attempt and spans every opening of the path.
class LockWait {
public:
    LockWait(Clock& clock, LockWaiting& waiting) : clock_(clock), waiting_(waiting) {}

    FileAccess::Locking lock(FileAccess& file, Access access)
    {
        if (!started_) {
            started_ = true;
            start_ = clock_.now();
        }
        for (;;) {
            FileAccess::Locking locking = file.tryLock(access);
            if (locking != FileAccess::Locking::heldByOther)
                return locking;
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
        return ImageError::cannotRead;
    case FileAccess::Opening::opened:
        break;
    }
    std::optional<FileAccess::Status> status = file.status();
    if (!status || !status->regular)
        return ImageError::cannotRead;
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

ImageError saveImage(FileAccess& file, const BootImage& image)
{
    if (!file.writable()) {
        file.close();
        return ImageError::cannotOpenForWriting;
    }
    auto block = std::span(image.content).subspan<ConfigBlock::offsetInImage, ConfigBlock::size>();
    bool written = file.writeAt(ConfigBlock::offsetInImage, block) && file.sync();
    bool closed = file.close();
    return written && closed ? ImageError::none : ImageError::cannotWrite;
}

} // namespace vornset
