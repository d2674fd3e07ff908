#pragma once

#include "image/clock.h"
#include "image/file_access.h"
#include "image/image_file.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace vornset::testing {

// Counts how often a run was told that it waits for a lock.
class WaitingCount final : public LockWaiting {
public:
    int told = 0;
    void waiting() override { ++told; }
};

// A clock that only a run's pauses move on, each at once.
class FakeClock final : public Clock {
public:
    std::int64_t time = 0;
    std::int64_t now() override { return time; }
    void sleep(int milliseconds) override { time += milliseconds; }
};

// An image file in memory, any of whose steps can be made to fail.
class MemoryFile final : public FileAccess {
public:
    enum class Step { none, open, status, lock, read, write, sync, close };

    std::vector<std::uint8_t> content;
    bool exists = true;
    Kind kind = Kind::regular;
    // Something that exists but opens as no file at all, as a socket.
    bool socket = false;
    // Whether an edit may open it for writing, as a file with write permission.
    bool allowsWriting = true;
    // The length to report instead of the content's, as for a huge sparse file.
    std::optional<std::uint64_t> apparentLength;
    // How many times the path is found to name another file once the file is
    // locked, as when another program renames a new file over it meanwhile.
    int replacements = 0;
    // What the file holds by the time the lock is granted, as after another program
    // that held the lock rewrote it.
    std::optional<std::vector<std::uint8_t>> contentOnceLocked;
    Step failing = Step::none;
    // Until when, on the clock, another program holds the lock: the first time until
    // the run is first granted it, the next for the file that it opens after that,
    // and so on. Once the list is used up nobody holds it.
    std::vector<std::int64_t> heldUntil;
    static constexpr std::int64_t forever = std::numeric_limits<std::int64_t>::max();
    FakeClock clock;
    // Why the failing step failed, in the system's words.
    std::string failureText = "Input/output error";
    // How many writes succeed before any fails, how much a failing write transfers
    // before it fails, and how many writes fail: those after them succeed, as once a
    // passing fault is over.
    int writesBeforeFailing = 0;
    std::size_t bytesBeforeWriteFails = 0;
    int failingWrites = std::numeric_limits<int>::max();
    // The system's limit on the size of a file, where it sets one.
    std::optional<std::uint64_t> limit;
    // Every write and sync, in their order, as a disk would receive them.
    struct Call {
        bool sync;
        std::uint64_t offset;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Call> journal;
    int opens = 0;
    int opensForWriting = 0;
    int locks = 0;
    int writes = 0;
    int syncs = 0;
    bool isOpen = false;

    explicit MemoryFile(std::vector<std::uint8_t> bytes = {}) : content(std::move(bytes)) {}

    Opening open(Access access) override
    {
        if (socket)
            return Opening::notAFile;
        if (!exists || failing == Step::open)
            return Opening::failed;
        ++opens;
        isOpen = true;
        writable_ = access == Access::edit && allowsWriting;
        opensForWriting += writable_ ? 1 : 0;
        return Opening::opened;
    }

    bool writable() const override { return writable_; }

    Locking tryLock(Access) override
    {
        ++locks;
        if (failing == Step::lock)
            return Locking::failed;
        if (grants_ < heldUntil.size() && clock.now() < heldUntil[grants_])
            return Locking::heldByOther;
        ++grants_;
        if (contentOnceLocked)
            content = *std::exchange(contentOnceLocked, std::nullopt);
        return Locking::locked;
    }

    std::string_view failure() override
    {
        return failing != Step::none ? std::string_view(failureText) : std::string_view();
    }

    std::optional<Status> status() override
    {
        if (failing == Step::status)
            return std::nullopt;
        return Status{kind, apparentLength.value_or(content.size()), identity()};
    }

    std::optional<FileIdentity> identityOfPath() override
    {
        if (replacements == 0)
            return identity();
        --replacements;
        return FileIdentity{1, 0};
    }

    bool readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) override
    {
        if (failing == Step::read || offset + bytes.size() > content.size())
            return false;
        std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(offset), bytes.size(), bytes.begin());
        return true;
    }

    std::size_t writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override
    {
        ++writes;
        if (!writable_)
            return 0;
        bool fails = failing == Step::write && writes > writesBeforeFailing && failingWrites > 0;
        failingWrites -= fails ? 1 : 0;
        std::size_t count = fails ? std::min(bytesBeforeWriteFails, bytes.size()) : bytes.size();
        if (content.size() < offset + count)
            content.resize(offset + count);
        std::copy_n(bytes.begin(), count, content.begin() + static_cast<std::ptrdiff_t>(offset));
        journal.push_back({false, offset, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)}});
        return count;
    }

    std::optional<std::uint64_t> sizeLimit() override { return limit; }

    bool sync() override
    {
        ++syncs;
        journal.push_back({true, 0, {}});
        return failing != Step::sync;
    }

    bool close() override
    {
        bool wasOpen = isOpen;
        isOpen = false;
        writable_ = false;
        return !wasOpen || failing != Step::close;
    }

private:
    // Each opening of the path after a replacement finds the newer file.
    FileIdentity identity() const { return {1, static_cast<std::uint64_t>(opens)}; }

    bool writable_ = false;
    std::size_t grants_ = 0;
};

} // namespace vornset::testing
