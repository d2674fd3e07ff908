// The tool's core for the browser page, compiled to WebAssembly. The page puts an
// image, the arguments and what standard input holds into the buffers below and
// calls vornset_run: one call is one run of the tool, with the same passes, messages
// and checks, on the image in memory. Nothing is read or written elsewhere.

#include "vornset.h"

#include "image/boot_image.h"
#include "web/describe.h"
#include "web/memory_io.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace {

using namespace vornset;

std::array<std::uint8_t, BootImage::capacity> image;
constexpr std::size_t maximumArguments = 256;
// The page puts the arguments one after the other into argumentText, without ends,
// and their lengths into argumentLengths; the core gives each its zero end here.
std::array<char, 16384> argumentText;
std::array<int, maximumArguments> argumentLengths;
std::array<char, argumentText.size() + maximumArguments> endedArguments;
std::array<char, 65536> input;
std::array<char, 32768> outputText;
std::array<char, 4096> errorText;

TextBuffer output(outputText);
TextBuffer errors(errorText);
bool imageWritten = false;
// The option the last run's refusal named, for the page to mark its field.
std::optional<Refusal> refusal;
// The argument, counted from 0, that the last run refused, before it started or in
// its passes; -1 where it refused none, or a settings file's line.
int refusedArgument = -1;

constexpr int argumentsTooLong = -1;
constexpr int argumentHoldsZero = -2;

// Points pointers[1] to pointers[count] at the arguments, each given its zero end.
// An argument that holds a zero byte would end early, and the rest would be read as
// another option: such an argument is refused, as is one past the buffer's end.
int endArguments(int count, std::span<const char*> pointers)
{
    if (count < 0 || static_cast<std::size_t>(count) >= pointers.size()) {
        refusedArgument = count < 0 ? 0 : static_cast<int>(pointers.size()) - 1;
        return argumentsTooLong;
    }
    std::size_t from = 0;
    std::size_t to = 0;
    for (int i = 0; i < count; ++i) {
        int length = argumentLengths[static_cast<std::size_t>(i)];
        refusedArgument = i;
        if (length < 0 || static_cast<std::size_t>(length) > argumentText.size() - from)
            return argumentsTooLong;
        std::string_view text(argumentText.data() + from, static_cast<std::size_t>(length));
        if (text.find('\0') != std::string_view::npos)
            return argumentHoldsZero;
        std::copy(text.begin(), text.end(), endedArguments.begin() + static_cast<std::ptrdiff_t>(to));
        pointers[static_cast<std::size_t>(i) + 1] = endedArguments.data() + to;
        to += text.size();
        endedArguments[to++] = '\0';
        from += text.size();
    }
    refusedArgument = -1;
    return 0;
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

int* vornset_argument_lengths()
{
    return argumentLengths.data();
}

int vornset_arguments_most()
{
    return static_cast<int>(argumentLengths.size()) - 1;
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
// exit status; or, with nothing run, -1 where the arguments or the input do not fit
// their buffers and -2 where an argument holds a zero byte, and then
// vornset_refused_argument names the argument.
int vornset_run(int argumentCount, int imageLength, int inputLength)
{
    // The program's name comes first, as main receives it.
    std::array<const char*, maximumArguments> pointers{"vornset"};
    output.clear();
    errors.clear();
    refusal.reset();
    imageWritten = false;
    if (int status = endArguments(argumentCount, pointers); status != 0)
        return status;
    if (imageLength < 0 || inputLength < 0 || static_cast<std::size_t>(inputLength) > input.size())
        return argumentsTooLong;
    auto length = static_cast<std::size_t>(imageLength);
    MemoryImage file(std::span(image).first(std::min(length, image.size())), length);
    StandardInput settings(std::string_view(input.data(), static_cast<std::size_t>(inputLength)));
    NoWaitClock clock;
    auto arguments = std::span(pointers).first(static_cast<std::size_t>(argumentCount) + 1);
    int status = run(arguments, {file, settings, output, errors, clock, &refusal});
    imageWritten = file.written();
    if (refusal && refusal->at.argument > 0)
        refusedArgument = refusal->at.argument - 1;
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

// The argument that the last run refused, or -1.
int vornset_refused_argument()
{
    return refusedArgument;
}

// Whether the last run wrote the image.
int vornset_written()
{
    return imageWritten ? 1 : 0;
}
}
