#include "tests/test_images.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vornset::testing {

std::vector<std::uint8_t> patternedImage(std::size_t length)
{
    std::vector<std::uint8_t> image(length);
    for (std::size_t i = 0; i < length; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    if (length > 0x287)
        image[0x287] = 7;
    return image;
}

std::vector<std::uint8_t> sampleImage()
{
    // Read once: reading it for every run was most of the unit tests' time.
    static const std::vector<std::uint8_t> sample = [] {
        std::ifstream file(VORNSET_SAMPLE_IMAGE, std::ios::binary);
        if (!file)
            throw std::runtime_error("cannot open " VORNSET_SAMPLE_IMAGE);
        return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }();
    return sample;
}

Invocation runTool(std::initializer_list<const char*> arguments, MemoryFile& file)
{
    MemorySettingsFiles none;
    return runTool(arguments, file, none);
}

Invocation runTool(std::initializer_list<const char*> arguments, MemoryFile& file, MemorySettingsFiles& settings)
{
    std::vector<const char*> argv{"vornset"};
    argv.insert(argv.end(), arguments);
    StringOutput out;
    StringOutput err;
    int status = run(argv, {file, settings, out, err, file.clock});
    return {status, out.text, err.text};
}

std::vector<std::size_t> changedOffsets(const std::vector<std::uint8_t>& before,
                                        const std::vector<std::uint8_t>& after)
{
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i)
        if (i >= before.size() || i >= after.size() || before[i] != after[i])
            offsets.push_back(i);
    return offsets;
}

} // namespace vornset::testing
