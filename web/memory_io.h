#pragma once

#include "output/output.h"
#include "image/clock.h"
#include "image/file_access.h"
#include "image/settings_files.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

namespace vornset {

// The image file as the page holds it: bytes in memory, which only this run uses, so
// there is no one to wait for and no other name to check. A file longer than the
// buffer is given by its length alone, for the tool to refuse.
class MemoryImage final : public FileAccess {
public:
    MemoryImage(std::span<std::uint8_t> bytes, std::uint64_t length) : bytes_(bytes), length_(length) {}

    Opening open(Access access) override
    {
        writable_ = access == Access::edit;
        return Opening::opened;
    }
    bool writable() const override { return writable_; }
    Locking tryLock(Access) override { return Locking::locked; }
    std::optional<Status> status() override { return Status{Kind::regular, length_, {}}; }
    std::optional<FileIdentity> identityOfPath() override { return FileIdentity{}; }

    bool readAt(std::uint64_t offset, std::span<std::uint8_t> bytes) override
    {
        if (offset > bytes_.size() || bytes.size() > bytes_.size() - offset)
            return false;
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), bytes.size(), bytes.begin());
        return true;
    }

    std::size_t writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override
    {
        if (!writable_ || offset > bytes_.size() || bytes.size() > bytes_.size() - offset)
            return 0;
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
        written_ = true;
        return bytes.size();
    }

    std::optional<std::uint64_t> sizeLimit() override { return std::nullopt; }

    bool sync() override { return true; }
    bool close() override { return true; }
    std::string_view failure() override { return {}; }
    bool written() const { return written_; }

private:
    std::span<std::uint8_t> bytes_;
    std::uint64_t length_;
    bool writable_ = false;
    bool written_ = false;
};

// The page's lock is never held by another, so its run never waits: a pause passes
// on this clock without taking any time.
class NoWaitClock final : public Clock {
public:
    std::int64_t now() override { return now_; }
    void sleep(int milliseconds) override { now_ += milliseconds; }

private:
    std::int64_t now_ = 0;
};

// Standard input as the page gives it, for load=-; the page has no other files.
class StandardInput final : public SettingsFiles {
public:
    explicit StandardInput(std::string_view text) : text_(text) {}

    Reading read(std::string_view name, std::span<char> buffer) override
    {
        if (name != standardInput)
            return {0, Fault::notAFile};
        if (text_.size() > buffer.size())
            return {0, Fault::tooLarge};
        std::copy(text_.begin(), text_.end(), buffer.begin());
        return {text_.size(), Fault::none};
    }

private:
    std::string_view text_;
};

// Output kept in a buffer of its own; text beyond it counts as an output failure.
class TextBuffer final : public Output {
public:
    explicit TextBuffer(std::span<char> buffer) : buffer_(buffer) {}

    void write(std::string_view text) override
    {
        std::size_t room = buffer_.size() - used_;
        std::copy_n(text.begin(), std::min(room, text.size()), buffer_.begin() + static_cast<std::ptrdiff_t>(used_));
        used_ += std::min(room, text.size());
        failed_ = failed_ || text.size() > room;
    }
    bool flush() override { return !failed_; }

    void clear()
    {
        used_ = 0;
        failed_ = false;
    }
    const char* data() const { return buffer_.data(); }
    std::size_t size() const { return used_; }

private:
    std::span<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

} // namespace vornset
