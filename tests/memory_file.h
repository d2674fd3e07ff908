#pragma once

#include "image/file_access.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vornset::testing {

// An image file in memory, any of whose steps can be made to fail.
class MemoryFile final : public FileAccess {
public:
    enum class Step { none, open, status, lock, read, write, sync, close };

    std::vector<std::uint8_t> content;
    bool exists = true;
    bool regular = true;
    // Whether an edit may open it for writing, as a file with write permission.
    bool allowsWriting = true;
    // The length to report instead of the content's, as for a huge sparse file.
    std::optional<std::uint64_t> apparentLength;
    Step failing = Step::none;
    // How much a failing write transfers before it fails.
    std::size_t bytesBeforeWriteFails = 0;
    int opens = 0;
    int opensForWriting = 0;
    int writes = 0;
    int syncs = 0;

    explicit MemoryFile(std::vector<std::uint8_t> bytes = {}) : content(std::move(bytes)) {}

    bool open(Access access) override
    {
        if (!exists || failing == Step::open)
            return false;
        ++opens;
        writable_ = access == Access::edit && allowsWriting;
        opensForWriting += writable_ ? 1 : 0;
        return true;
    }

    bool writable() const override { return writable_; }
    bool lock(Access) override { return failing != Step::lock; }

    std::optional<Status> status() override
    {
        if (failing == Step::status)
            return std::nullopt;
        return Status{regular, apparentLength.value_or(content.size())};
    }

    bool readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) override
    {
        if (failing == Step::read || offset + bytes.size() > content.size())
            return false;
        std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(offset), bytes.size(), bytes.begin());
        return true;
    }

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override
    {
        ++writes;
        if (!writable_)
            return false;
        bool fails = failing == Step::write;
        std::size_t count = fails ? std::min(bytesBeforeWriteFails, bytes.size()) : bytes.size();
        if (content.size() < offset + count)
            content.resize(offset + count);
        std::copy_n(bytes.begin(), count, content.begin() + static_cast<std::ptrdiff_t>(offset));
        return !fails;
    }

    bool sync() override
    {
        ++syncs;
        return failing != Step::sync;
    }

    bool close() override
    {
        writable_ = false;
        return failing != Step::close;
    }

private:
    bool writable_ = false;
};

} // namespace vornset::testing
