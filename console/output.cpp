#include "console/output.h"

#include <charconv>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vornset {
namespace {

bool isControl(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F);
}

// The length of the valid UTF-8 sequence that text starts with, and the character it
// encodes; 0 where text starts with none.
std::size_t utf8Length(std::string_view text, char32_t& character)
{
    auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length)
        return 0;
    char32_t value = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i) & 0x3Fu);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    character = value;
    return length;
}

// Hands on the text piece by piece as it prints: valid UTF-8 characters as they are,
// but for the C1 controls U+0080 to U+009F; a byte that starts no valid character as
// it is, unless it is a control. Controls print as "?".
template <typename Piece>
void forEachPrintedPiece(std::string_view text, Piece piece)
{
    while (!text.empty()) {
        char32_t character = 0;
        std::size_t length = utf8Length(text, character);
        bool control = length > 0 ? character <= 0x9F : isControl(static_cast<unsigned char>(text[0]));
        length = length > 0 ? length : 1;
        piece(control ? std::string_view("?") : text.substr(0, length));
        text.remove_prefix(length);
    }
}

// Every text the tool prints fits, so it goes out in one write at the end, and the
// C library needs no buffer of its own.
char outputBuffer[16384];
char errorBuffer[1024];

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
    forEachPrintedPiece(printable.text, [this](std::string_view piece) { write(piece); });
    return *this;
}

std::size_t printedSize(Printable printable)
{
    std::size_t size = 0;
    forEachPrintedPiece(printable.text, [&size](std::string_view piece) { size += piece.size(); });
    return size;
}

StandardOutput::StandardOutput(std::FILE* stream) : stream_(stream)
{
    // Should this fail, the C library's own buffer serves as well.
    if (stream == stdout)
        (void)std::setvbuf(stream, outputBuffer, _IOFBF, sizeof outputBuffer);
    else
        (void)std::setvbuf(stream, errorBuffer, _IOLBF, sizeof errorBuffer);
}

void StandardOutput::write(std::string_view text)
{
    if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
        failed_ = true;
}

bool StandardOutput::flush()
{
    if (std::fflush(stream_) != 0 || std::ferror(stream_))
        failed_ = true;
    return !failed_;
}

void prepareStandardStreams()
{
#ifndef _WIN32
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // The lowest free number is the one just found closed.
        int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened > STDERR_FILENO)
            close(opened);
    }
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

} // namespace vornset
