#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace vornset {

// The one image file a run works on, reached through one handle from open to close.
// NativeFile implements it on each platform; the tests put an in-memory file behind
// the same steps to make any of them fail.
class FileAccess {
public:
    enum class Access { read, edit };

    struct Status {
        bool regular;
        std::uint64_t length;
    };

    // A lock held by another run is waited for this long, then given up.
    static constexpr int lockWaitMilliseconds = 5000;

    // Opens the file without blocking, whatever it turns out to be. An edit opens it
    // for reading and writing or, where writing is not allowed, for reading alone.
    virtual bool open(Access access) = 0;
    virtual bool writable() const = 0;
    // A shared lock for reading, an exclusive one for an edit.
    virtual bool lock(Access access) = 0;
    virtual std::optional<Status> status() = 0;
    // Each of these transfers all the given bytes at the offset or fails.
    virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) = 0;
    virtual bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Forces what was written to stable storage.
    virtual bool sync() = 0;
    // Releases the lock and the handle.
    virtual bool close() = 0;

protected:
    ~FileAccess() = default;
};

} // namespace vornset
