#pragma once

#include "image/boot_image.h"
#include "image/config_block.h"
#include "image/clock.h"
#include "image/file_access.h"

#include <cstdint>
#include <span>

namespace vornset {

enum class ImageError {
    none,
    cannotOpen,
    cannotRead,
    // The path names something that opens but is no file: a folder, or a device,
    // a pipe or a socket.
    folder,
    notAFile,
    tooLarge,
    tooShort,
    cannotOpenForWriting,
    // The system's limit on a file's size lies below the image's end.
    overSizeLimit,
    cannotWrite,
    // Another program held the lock for all of the wait.
    locked,
};

// Told when the run has waited a while for a lock that another program holds, so
// that whoever started it knows why it waits.
class LockWaiting {
public:
    virtual void waiting() = 0;

protected:
    ~LockWaiting() = default;
};

// A lock held by another program is waited for this long in all, counted from the
// first attempt to lock, then given up; once the shorter time has passed the waiting
// is told, once.
inline constexpr int lockWaitMilliseconds = 5000;
inline constexpr int lockNoticeMilliseconds = 1000;

// Opens the image file, locks it and reads it whole; should the path name another
// file once the lock is held, that file is opened instead. A report holds a shared
// lock while it reads and then closes the file; an edit keeps it open under an
// exclusive lock until saveImage, so no other run can change it in between.
ImageError loadImage(FileAccess& file, FileAccess::Access access, BootImage& image, LockWaiting& waiting,
                     Clock& clock);

// What an edit's write leaves on disk: the image as it was, for a write refused
// before it started or undone after it failed; the edit whole; or, where undoing a
// failed write failed too, an image that may hold part of the edit.
enum class Written { nothing, whole, part };

struct Saving {
    ImageError error = ImageError::none;
    Written written = Written::nothing;
    // The system's limit on a file's size, where that refused the write.
    std::uint64_t sizeLimit = 0;
};

// The file offsets of each sector of the image that holds part of the block: a disk
// writes a sector whole or not at all.
inline constexpr std::size_t sectorSize = 512;

// Writes back, through the handle that loadImage opened for the edit, the block's
// bytes in each sector where they differ from before, and nothing else, each forced
// to stable storage before the next, from the last sector to the first. No field
// lies across two sectors, so a power cut leaves each field old or new; the global
// settings, which choose what starts, change last, after the profiles they may
// point at. A write that fails part-way is undone with the bytes from before.
Saving saveImage(FileAccess& file, const BootImage& image, std::span<const std::uint8_t, ConfigBlock::size> before);

} // namespace vornset
