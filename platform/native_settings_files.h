#pragma once

#include "image/settings_files.h"

#include <span>

namespace vornset {

// Settings files read through POSIX descriptors, or Win32 handles opened by wide
// path: on Windows a name must be an argument, or the rest of one, among those given
// here, whose wide form is then opened.
class NativeSettingsFiles final : public SettingsFiles {
public:
#ifdef _WIN32
    NativeSettingsFiles(std::span<const char* const> arguments, wchar_t* wideArguments[])
        : arguments_(arguments), wideArguments_(wideArguments)
    {
    }
#endif

    Reading read(std::string_view name, std::span<char> buffer) override;
    bool isFile(std::string_view name) override;
    std::string_view failure() override;

private:
    // Keeps the system's error where the reading failed for it.
    Reading kept(Reading reading);

#ifdef _WIN32
    // The wide form of the argument that the name is the end of.
    const wchar_t* widePath(std::string_view name) const;

    std::span<const char* const> arguments_;
    wchar_t** wideArguments_;
    unsigned long error_ = 0;
    char failureText_[256] = {};
#else
    int error_ = 0;
#endif
};

} // namespace vornset
