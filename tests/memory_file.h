#pragma once

#include "image/file_access.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vornset::testing {

// An image file in memory, any of whose steps can be made to fail. Writes overwrite
// in place from the start, as an update of a real file does.
class MemoryFile final : public FileAccess {
public:
    enum class Step { none, openForReading, measure, read, openForUpdate, write, flush, close };

    std::vector<std::uint8_t> content;
    bool exists = true;
    Step failing = Step::none;
    // How much a failing write transfers before it fails.
    std::size_t bytesBeforeWriteFails = 0;
    int opensForUpdate = 0;

    explicit MemoryFile(std::vector<std::uint8_t> bytes = {}) : content(std::move(bytes)) {}

    bool open(const char*, Mode mode) override
    {
        bool reading = mode == Mode::read;
        if (!exists || failing == (reading ? Step::openForReading : Step::openForUpdate))
            return false;
        opensForUpdate += reading ? 0 : 1;
        position_ = 0;
        return true;
    }

    std::optional<std::size_t> measure() override
    {
        if (failing == Step::measure)
            return std::nullopt;
        return content.size();
    }

    bool read(std::span<std::uint8_t> bytes) override
    {
        if (failing == Step::read || content.size() - position_ < bytes.size())
            return false;
        std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(position_), bytes.size(), bytes.begin());
        position_ += bytes.size();
        return true;
    }

    bool write(std::span<const std::uint8_t> bytes) override
    {
        bool fails = failing == Step::write;
        std::size_t count = fails ? std::min(bytesBeforeWriteFails, bytes.size()) : bytes.size();
        if (content.size() < position_ + count)
            content.resize(position_ + count);
        std::copy_n(bytes.begin(), count, content.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ += count;
        return !fails;
    }

    bool flush() override { return failing != Step::flush; }
    bool close() override { return failing != Step::close; }

private:
    std::size_t position_ = 0;
};

} // namespace vornset::testing
