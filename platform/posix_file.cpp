#include "platform/native_file.h"
#include "platform/native_settings_files.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornset {
namespace {

// O_NONBLOCK keeps a FIFO or a terminal from holding up the open; such files are
// refused by their type before anything is read from them.
constexpr int openFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// A signal that keeps arriving may interrupt a transfer this many times in a row
// before the transfer counts as failed.
constexpr int maximumInterruptions = 100;

// Errors that mean the file is there to be read but may not be written; an edit of
// such a file is refused only at the write, after its options have been checked. A
// folder opens for reading too, to be refused by its type.
bool onlyReadable(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY || error == EISDIR;
}

// Descriptors 0, 1 and 2 belong to the standard streams even when the process was
// started with them closed: the image must never be written to through one of them.
int aboveStandardStreams(int descriptor)
{
    if (descriptor < 0 || descriptor > STDERR_FILENO)
        return descriptor;
    int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(descriptor);
    return moved;
}

FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// Repeats a positioned read or write until every byte is through, and returns how
// many are: a signal or a nearly full disk may cut one short.
template <typename Bytes, typename Transfer>
std::size_t transferAll(Bytes bytes, std::uint64_t offset, Transfer transfer)
{
    std::size_t done = 0;
    int interruptions = 0;
    while (done < bytes.size()) {
        ssize_t count = transfer(bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR && ++interruptions < maximumInterruptions)
            continue;
        if (count <= 0)
            break;
        interruptions = 0;
        done += static_cast<std::size_t>(count);
    }
    return done;
}

// A signal that ends the process between two sectors would leave part of an edit on
// disk without a word. From the first write until the file is closed these wait,
// and take effect once it is: the image then holds the whole edit or none of it.
constexpr int endingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2};
sigset_t maskBeforeWriting;
bool holdingSignals = false;

void holdEndingSignals()
{
    if (holdingSignals)
        return;
    sigset_t ending;
    sigemptyset(&ending);
    for (int signal : endingSignals)
        sigaddset(&ending, signal);
    holdingSignals = sigprocmask(SIG_BLOCK, &ending, &maskBeforeWriting) == 0;
}

void releaseEndingSignals()
{
    if (holdingSignals)
        sigprocmask(SIG_SETMASK, &maskBeforeWriting, nullptr);
    holdingSignals = false;
}

FileAccess::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileAccess::Kind::regular;
    return S_ISDIR(mode) ? FileAccess::Kind::folder : FileAccess::Kind::other;
}

using Fault = SettingsFiles::Fault;

// Reads to the end of the file, where that fits the buffer.
SettingsFiles::Reading readToEnd(int descriptor, std::span<char> buffer)
{
    std::size_t used = 0;
    char beyond = 0;
    int interruptions = 0;
    for (;;) {
        std::span<char> room = used < buffer.size() ? buffer.subspan(used) : std::span<char>(&beyond, 1);
        ssize_t count = ::read(descriptor, room.data(), room.size());
        if (count < 0 && errno == EINTR && ++interruptions < maximumInterruptions)
            continue;
        if (count < 0)
            return {0, Fault::system};
        if (count == 0)
            return {used, Fault::none};
        if (used == buffer.size())
            return {0, Fault::tooLarge};
        used += static_cast<std::size_t>(count);
        interruptions = 0;
    }
}

} // namespace

bool NativeFile::failed()
{
    if (error_ == 0)
        error_ = static_cast<unsigned long>(errno);
    return false;
}

std::string_view NativeFile::failure()
{
    return error_ != 0 ? std::strerror(static_cast<int>(error_)) : "";
}

FileAccess::Opening NativeFile::open(Access access)
{
    close();
    error_ = 0;
    if (access == Access::edit) {
        descriptor_ = aboveStandardStreams(::open(path_, O_RDWR | openFlags));
        writable_ = descriptor_ >= 0 || failed();
        if (writable_)
            return Opening::opened;
        if (!onlyReadable(static_cast<int>(error_)))
            return error_ == ENXIO ? Opening::notAFile : Opening::failed;
    }
    descriptor_ = aboveStandardStreams(::open(path_, O_RDONLY | openFlags));
    if (descriptor_ >= 0)
        return Opening::opened;
    failed();
    // A socket exists but cannot be opened as a file.
    return error_ == ENXIO ? Opening::notAFile : Opening::failed;
}

FileAccess::Locking NativeFile::tryLock(Access access)
{
    if (flock(descriptor_, (access == Access::edit ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0)
        return Locking::locked;
    // An attempt that a signal interrupted is tried again as one the holder refused.
    if (errno == EWOULDBLOCK || errno == EINTR)
        return Locking::heldByOther;
    failed();
    return Locking::failed;
}

std::optional<FileAccess::Status> NativeFile::status()
{
    struct stat info{};
    if (fstat(descriptor_, &info) != 0) {
        failed();
        return std::nullopt;
    }
    if (info.st_size < 0)
        return std::nullopt;
    return Status{kindOf(info.st_mode), static_cast<std::uint64_t>(info.st_size), identityOf(info)};
}

std::optional<FileIdentity> NativeFile::identityOfPath()
{
    struct stat info{};
    if (stat(path_, &info) != 0)
        return std::nullopt;
    return identityOf(info);
}

bool NativeFile::readAt(std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    errno = 0;
    return transferAll(bytes, offset, [this](void* data, std::size_t size, off_t at) {
        return pread(descriptor_, data, size, at);
    }) == bytes.size() || failed();
}

std::size_t NativeFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    holdEndingSignals();
    errno = 0;
    std::size_t written = transferAll(bytes, offset, [this](const void* data, std::size_t size, off_t at) {
        return pwrite(descriptor_, data, size, at);
    });
    if (written < bytes.size())
        failed();
    return written;
}

std::optional<std::uint64_t> NativeFile::sizeLimit()
{
    struct rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

bool NativeFile::sync()
{
#if defined(__linux__)
    return fdatasync(descriptor_) == 0 || failed();
#else
    return fsync(descriptor_) == 0 || failed();
#endif
}

bool NativeFile::close()
{
    if (descriptor_ < 0)
        return true;
    // The descriptor is gone whatever close returns, so it is never retried.
    bool closed = ::close(descriptor_) == 0 || failed();
    descriptor_ = -1;
    writable_ = false;
    releaseEndingSignals();
    return closed;
}

bool NativeSettingsFiles::isFile(std::string_view name)
{
    // The name is a whole command-line argument, so it ends where the argument does.
    struct stat info{};
    return stat(name.data(), &info) == 0;
}

SettingsFiles::Reading NativeSettingsFiles::read(std::string_view name, std::span<char> buffer)
{
    if (name == standardInput)
        return kept(readToEnd(STDIN_FILENO, buffer));
    // The name is the rest of a command-line argument, so it ends where the argument does.
    int descriptor = ::open(name.data(), O_RDONLY | openFlags);
    if (descriptor < 0)
        return kept({0, Fault::system});
    struct stat info{};
    Reading reading{0, Fault::system};
    if (fstat(descriptor, &info) == 0) {
        FileAccess::Kind kind = kindOf(info.st_mode);
        reading = kind == FileAccess::Kind::regular ? readToEnd(descriptor, buffer)
                                                    : Reading{0, kind == FileAccess::Kind::folder ? Fault::folder : Fault::notAFile};
    }
    kept(reading);
    ::close(descriptor);
    return reading;
}

SettingsFiles::Reading NativeSettingsFiles::kept(Reading reading)
{
    error_ = reading.fault == Fault::system ? errno : 0;
    return reading;
}

std::string_view NativeSettingsFiles::failure()
{
    return error_ != 0 ? std::strerror(error_) : "";
}

} // namespace vornset
