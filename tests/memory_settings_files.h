#pragma once

#include "image/settings_files.h"

#include <algorithm>
#include <map>
#include <string>

namespace vornset::testing {

// Settings files in memory, by name; "-" is standard input. A file that is missing
// here cannot be read.
class MemorySettingsFiles final : public SettingsFiles {
public:
    std::map<std::string, std::string, std::less<>> files;
    int reads = 0;

    bool isFile(std::string_view name) override { return name != standardInput && files.contains(name); }

    Reading read(std::string_view name, std::span<char> buffer) override
    {
        ++reads;
        auto file = files.find(name);
        if (file == files.end())
            return {0, Fault::system};
        if (file->second.size() > buffer.size())
            return {0, Fault::tooLarge};
        std::copy(file->second.begin(), file->second.end(), buffer.begin());
        return {file->second.size(), Fault::none};
    }

    std::string_view failure() override { return "No such file or directory"; }
};

} // namespace vornset::testing
