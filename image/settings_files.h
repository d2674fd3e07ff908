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

    // Why a settings file cannot be used: the system refused it (failure() says why),
    // it is a folder or no regular file at all (standard input excepted), it does
    // not fit the buffer, or it holds a zero byte, which no text does.
    enum class Fault { none, system, folder, notAFile, tooLarge, zeroByte };

    struct Reading {
        std::size_t length = 0;
        Fault fault = Fault::none;
    };

    // Reads the file whole into the buffer.
    virtual Reading read(std::string_view name, std::span<char> buffer) = 0;

    // The system's words for the last read that it refused.
    virtual std::string_view failure() { return {}; }

    // Whether an argument of the run names something that exists: a file, a folder or
    // a device; the name is the whole argument. Where there are no files but
    // standard input, none does.
    virtual bool isFile(std::string_view) { return false; }

protected:
    ~SettingsFiles() = default;
};

} // namespace vornset
