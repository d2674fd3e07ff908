#pragma once

#include "image/boot_image.h"
#include "image/clock.h"
#include "image/file_access.h"

namespace vornset {

enum class ImageError {
    none,
    cannotOpen,
    cannotRead,
    tooLarge,
    tooShort,
    cannotOpenForWriting,
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

// Writes the configuration block, and nothing else, back through the handle that
// loadImage opened for the edit, and forces it to stable storage.
ImageError saveImage(FileAccess& file, const BootImage& image);

} // namespace vornset
