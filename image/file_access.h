#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// Which file a handle or a path leads to: a device and a file number on it. Two
// equal identities are one file, whatever names it has.
struct FileIdentity {
    std::uint64_t device;
    std::uint64_t file;

    bool operator==(const FileIdentity&) const = default;
};

// The one image file a run works on, reached through one handle from open to close.
// NativeFile implements it on each platform; the tests put an in-memory file behind
// the same steps to make any of them fail.
class FileAccess {
public:
    enum class Access { read, edit };
    enum class Opening { opened, failed, notAFile };
    enum class Locking { locked, heldByOther, failed };

    enum class Kind { regular, folder, other };

    struct Status {
        Kind kind;
        std::uint64_t length;
        FileIdentity identity;
    };

    // Opens the file by its path without blocking, whatever it turns out to be. An
    // edit opens it for reading and writing or, where writing is not allowed, for
    // reading alone. Something that cannot be opened because it is no file, such as
    // a socket, is told apart from a file that cannot be opened.
    virtual Opening open(Access access) = 0;
    virtual bool writable() const = 0;
    // A shared lock for reading, an exclusive one for an edit, tried once without
    // waiting; a lock that another program holds is waited for above this.
    virtual Locking tryLock(Access access) = 0;
    // What the open handle leads to.
    virtual std::optional<Status> status() = 0;
    // The file that the path names now, which need not be the one that is open.
    virtual std::optional<FileIdentity> identityOfPath() = 0;
    // Reads all the given bytes at the offset, or fails.
    virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) = 0;
    // Writes the bytes at the offset and returns how many of them reached the file:
    // all, unless a failure stopped the write part-way.
    virtual std::size_t writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // The largest file the system lets this process write, where it sets a limit.
    virtual std::optional<std::uint64_t> sizeLimit() = 0;
    // Forces what was written to stable storage.
    virtual bool sync() = 0;
    // Releases the lock and the handle; closing a closed file does nothing.
    virtual bool close() = 0;
    // Why the first call that failed since the file was opened failed, in the
    // system's words; empty where none did. A file that opened for reading alone
    // for an edit keeps why it could not be opened for writing.
    virtual std::string_view failure() = 0;

protected:
    ~FileAccess() = default;
};

} // namespace vornset
