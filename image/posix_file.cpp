#include "image/native_file.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornset {
namespace {

// O_NONBLOCK keeps a FIFO or a terminal from holding up the open; such files are
// refused by their type before anything is read from them.
constexpr int openFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Errors that mean the file is there to be read but may not be written; an edit of
// such a file is refused only at the write, after its options have been checked. A
// folder opens for reading too, to be refused by its type.
bool onlyReadable(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY || error == EISDIR;
}

long long millisecondsNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void sleepBriefly()
{
    timespec interval{0, 10 * 1000 * 1000};
    nanosleep(&interval, nullptr);
}

// Repeats a positioned read or write until every byte is through: a signal or a
// nearly full disk may cut one short.
template <typename Bytes, typename Transfer>
bool transferAll(Bytes bytes, std::uint64_t offset, Transfer transfer)
{
    while (!bytes.empty()) {
        ssize_t count = transfer(bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(count));
        offset += static_cast<std::uint64_t>(count);
    }
    return true;
}

} // namespace

bool NativeFile::open(Access access)
{
    close();
    if (access == Access::edit) {
        descriptor_ = ::open(path_, O_RDWR | openFlags);
        writable_ = descriptor_ >= 0;
        if (descriptor_ >= 0 || !onlyReadable(errno))
            return writable_;
    }
    descriptor_ = ::open(path_, O_RDONLY | openFlags);
    return descriptor_ >= 0;
}

bool NativeFile::lock(Access access)
{
    int operation = (access == Access::edit ? LOCK_EX : LOCK_SH) | LOCK_NB;
    long long deadline = millisecondsNow() + lockWaitMilliseconds;
    while (flock(descriptor_, operation) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || millisecondsNow() >= deadline)
            return false;
        sleepBriefly();
    }
    return true;
}

std::optional<FileAccess::Status> NativeFile::status()
{
    struct stat info{};
    if (fstat(descriptor_, &info) != 0 || info.st_size < 0)
        return std::nullopt;
    return Status{S_ISREG(info.st_mode), static_cast<std::uint64_t>(info.st_size)};
}

bool NativeFile::readAt(std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    return transferAll(bytes, offset, [this](void* data, std::size_t size, off_t at) {
        return pread(descriptor_, data, size, at);
    });
}

bool NativeFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    return transferAll(bytes, offset, [this](const void* data, std::size_t size, off_t at) {
        return pwrite(descriptor_, data, size, at);
    });
}

bool NativeFile::sync()
{
#if defined(__linux__)
    return fdatasync(descriptor_) == 0;
#else
    return fsync(descriptor_) == 0;
#endif
}

bool NativeFile::close()
{
    if (descriptor_ < 0)
        return true;
    // The descriptor is gone whatever close returns, so it is never retried.
    bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    writable_ = false;
    return closed;
}

} // namespace vornset
