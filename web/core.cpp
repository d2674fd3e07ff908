// The tool's core for the browser page, compiled to WebAssembly. The page puts an
// image, the arguments and what standard input holds into the buffers below and
// calls vornset_run: one call is one run of the tool, with the same passes, messages
// and checks, on the image in memory. Nothing is read or written elsewhere.

#include "vornset.h"

#include "image/boot_image.h"
#include "output/describe.h"
#include "web/memory_io.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace {

using namespace vornset;

std::array<std::uint8_t, BootImage::capacity> image;
std::array<char, 16384> argumentText;
std::array<char, 65536> input;
std::array<char, 32768> outputText;
std::array<char, 4096> errorText;
constexpr std::size_t maximumArguments = 256;

TextBuffer output(outputText);
TextBuffer errors(errorText);
bool imageWritten = false;
// The option the last run's refusal named, for the page to mark its field.
std::optional<Refusal> refusal;

// Points pointers[1] to pointers[count] at the arguments, which lie one after the
// other in argumentText, each ended by a zero byte; false where they do not.
bool splitArguments(int count, std::span<const char*> pointers)
{
    if (count < 0 || static_cast<std::size_t>(count) >= pointers.size())
        return false;
    std::string_view text(argumentText.data(), argumentText.size());
    for (int i = 1; i <= count; ++i) {
        std::size_t end = text.find('\0');
        if (end == std::string_view::npos)
            return false;
        pointers[static_cast<std::size_t>(i)] = text.data();
        text.remove_prefix(end + 1);
    }
    return true;
}

} // namespace

extern "C" {

std::uint8_t* vornset_image()
{
    return image.data();
}

char* vornset_arguments()
{
    return argumentText.data();
}

int vornset_arguments_capacity()
{
    return static_cast<int>(argumentText.size());
}

char* vornset_input()
{
    return input.data();
}

int vornset_input_capacity()
{
    return static_cast<int>(input.size());
}

// Runs the tool as "vornset ARGUMENTS" on the image of the given length, with
// standard input holding inputLength bytes. An image longer than its buffer holds
// only its first 64 KiB there, and the tool refuses it by its length. Returns the
// exit status, or -1 where the arguments or the input do not fit their buffers.
int vornset_run(int argumentCount, int imageLength, int inputLength)
{
    // The program's name comes first, as main receives it.
    std::array<const char*, maximumArguments> pointers{"vornset"};
    bool fits = splitArguments(argumentCount, pointers) && imageLength >= 0 && inputLength >= 0
        && static_cast<std::size_t>(inputLength) <= input.size();
    if (!fits)
        return -1;
    output.clear();
    errors.clear();
    auto length = static_cast<std::size_t>(imageLength);
    MemoryImage file(std::span(image).first(std::min(length, image.size())), length);
    StandardInput settings(std::string_view(input.data(), static_cast<std::size_t>(inputLength)));
    auto arguments = std::span(pointers).first(static_cast<std::size_t>(argumentCount) + 1);
    refusal.reset();
    int status = run(arguments, {file, settings, output, errors, &refusal});
    imageWritten = file.written();
    return status;
}

// Prints what each option takes, as JSON, in place of a run's output.
void vornset_describe()
{
    output.clear();
    printOptionDescriptions(output);
}

const char* vornset_output()
{
    return output.data();
}

int vornset_output_length()
{
    return static_cast<int>(output.size());
}

const char* vornset_errors()
{
    return errors.data();
}

int vornset_errors_length()
{
    return static_cast<int>(errors.size());
}

// The key of the option that the last run refused, where it refused one; its length
// is vornset_refused_key_length.
const char* vornset_refused_key()
{
    return refusal ? refusal->key.data() : "";
}

int vornset_refused_key_length()
{
    return refusal ? static_cast<int>(refusal->key.size()) : 0;
}

// Whether the last run wrote the image.
int vornset_written()
{
    return imageWritten ? 1 : 0;
}
}
