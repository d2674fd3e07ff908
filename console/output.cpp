#include "console/output.h"

#include <charconv>
#include <cstdio>

namespace vornset {
namespace {

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// Every text the tool prints fits, so it goes out in one write at the end, and the
// C library needs no buffer of its own.
char outputBuffer[4096];

} // namespace

Output& Output::operator<<(int number)
{
    char digits[16];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    (void)error; // sixteen characters hold every int
    write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    return *this;
}

Output& Output::operator<<(Printable printable)
{
    for (const char& c : printable.text)
        write(isControl(c) ? std::string_view("?") : std::string_view(&c, 1));
    return *this;
}

StandardOutput::StandardOutput()
{
    // Should this fail, the C library's own buffer serves as well.
    (void)std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
}

void StandardOutput::write(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        failed_ = true;
}

bool StandardOutput::flush()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        failed_ = true;
    return !failed_;
}

} // namespace vornset
