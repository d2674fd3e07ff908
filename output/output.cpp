#include "output/output.h"

#include <charconv>

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

// Hands on the text character by character: a valid UTF-8 character, or a byte that
// starts none, and whether it is a control: C0, DEL, or C1 (U+0080 to U+009F as a
// character, or 0x80 to 0x9F as a stray byte).
template <typename Character>
void forEachCharacter(std::string_view text, Character each)
{
    while (!text.empty()) {
        char32_t character = 0;
        std::size_t length = utf8Length(text, character);
        bool control = length > 0 ? character <= 0x9F : isControl(static_cast<unsigned char>(text[0]));
        length = length > 0 ? length : 1;
        each(std::string_view(text.data(), length), control);
        text.remove_prefix(length);
    }
}

// Hands on the text piece by piece as it prints: controls as "?", everything else as
// it is.
template <typename Piece>
void forEachPrintedPiece(std::string_view text, Piece piece)
{
    forEachCharacter(text, [&piece](std::string_view character, bool control) {
        piece(control ? std::string_view("?") : character);
    });
}

} // namespace

Output& Output::operator<<(int number)
{
    char digits[16];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    (void)error; // sixteen characters hold every int
    write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    return *this;
}

Output& Output::operator<<(HexByte byte)
{
    char digits[2] = {'0', '0'};
    char* start = byte.value < 0x10 ? digits + 1 : digits;
    (void)std::to_chars(start, digits + 2, byte.value, 16);
    write(std::string_view(digits, 2));
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

bool isUtf8(std::string_view text)
{
    while (!text.empty()) {
        char32_t character = 0;
        std::size_t length = static_cast<unsigned char>(text[0]) < 0x80 ? 1 : utf8Length(text, character);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

bool holdsControl(std::string_view text)
{
    bool any = false;
    forEachCharacter(text, [&any](std::string_view, bool control) { any = any || control; });
    return any;
}

} // namespace vornset
