#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// The files a run reaches beside its image: the settings files that load= names, by
// their paths, and standard input by the name "-". NativeSettingsFiles reads them
// through the platform's own calls; the tests keep them in memory.
class SettingsFiles {
public:
    static constexpr std::string_view standardInput = "-";

    // Reads the file whole into the buffer and returns its length; nothing where it
    // cannot be opened or read, is no regular file (standard input excepted), or
    // does not fit.
    virtual std::optional<std::size_t> read(std::string_view name, std::span<char> buffer) = 0;

    // Whether an argument of the run names something that exists: a file, a folder or
    // a device; the name is the whole argument. Where there are no files but
    // standard input, none does.
    virtual bool isFile(std::string_view) { return false; }

protected:
    ~SettingsFiles() = default;
};

} // namespace vornset
