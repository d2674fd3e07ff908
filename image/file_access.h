#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vornset {

// The few steps the tool takes on its image file, one file at a time. The tool uses
// StdioFile; the tests put an in-memory file behind the same steps to make any of
// them fail.
class FileAccess {
public:
    enum class Mode {
        read,
        // Overwrite in place: the file must exist and is neither truncated nor created.
        update,
    };

    virtual bool open(const char* path, Mode mode) = 0;
    // The file's length, or nothing when it cannot be told.
    virtual std::optional<std::size_t> measure() = 0;
    // Each of these transfers all the given bytes or fails.
    virtual bool read(std::span<std::uint8_t> bytes) = 0;
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    virtual bool flush() = 0;
    virtual bool close() = 0;

protected:
    ~FileAccess() = default;
};

} // namespace vornset
