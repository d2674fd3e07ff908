#pragma once

#include "image/file_access.h"

#include <cstdio>

namespace vornset {

// FileAccess through the C library's binary streams, the same on every platform.
class StdioFile final : public FileAccess {
public:
    StdioFile() = default;
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;
    ~StdioFile();

    bool open(const char* path, Mode mode) override;
    std::optional<std::size_t> measure() override;
    bool read(std::span<std::uint8_t> bytes) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    bool flush() override;
    bool close() override;

private:
    std::FILE* file_ = nullptr;
};

} // namespace vornset
