#pragma once

#include "tests/memory_file.h"
#include "tests/memory_settings_files.h"
#include "tests/string_output.h"
#include "vornset.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vornset::testing {

constexpr std::size_t blockAt = 0x288;

// What an edit prints once it has written the image.
inline const std::string closingMessages = "data changed\n\n"
                                           "hint: if you use the windows boot menu to start the boot manager, then its\n"
                                           "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";

// An image of the given length holding a filler pattern and configuration version 7.
std::vector<std::uint8_t> patternedImage(std::size_t length = 4096);

// The sample image shipped with the tool.
std::vector<std::uint8_t> sampleImage();

struct Invocation {
    int status;
    std::string output;
    std::string warnings;
};

// Runs the tool in process as "vornset ARGUMENTS..." on the given file, with the
// given settings files where load= is to find any.
Invocation runTool(std::initializer_list<const char*> arguments, MemoryFile& file);
Invocation runTool(std::initializer_list<const char*> arguments, MemoryFile& file, MemorySettingsFiles& settings);

// The file offsets where two images differ.
std::vector<std::size_t> changedOffsets(const std::vector<std::uint8_t>& before,
                                        const std::vector<std::uint8_t>& after);

} // namespace vornset::testing
