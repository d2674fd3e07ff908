#include "output/output.h"


namespace vornset {
namespace {

bool isControl(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F);
}

// One character of a text as it prints: its bytes; the character they encode, where
// they are valid UTF-8, else the one byte that starts none; and whether it is a
// control: C0, DEL, or C1 (U+0080 to U+009F as a character, 0x80 to 0x9F as a byte).
struct Character {
    std::string_view bytes;
    char32_t code;
    bool valid;
    bool control;
};

template <typename Each>
void forEachCharacter(std::string_view text, Each each)
{
    while (!text.empty()) {
        char32_t code = 0;
        std::size_t length = utf8Length(text, code);
        auto first = static_cast<unsigned char>(text[0]);
        bool control = length > 1 ? code <= 0x9F : isControl(first);
        each(Character{{text.data(), length > 0 ? length : 1}, length > 0 ? code : first, length > 0, control});
        text.remove_prefix(length > 0 ? length : 1);
    }
}

// Hands on the text piece by piece as it prints: controls as "?", everything else as
// it is.
template <typename Piece>
void forEachPrintedPiece(std::string_view text, Piece piece)
{
    forEachCharacter(text, [&piece](const Character& c) { piece(c.control ? std::string_view("?") : c.bytes); });
}

// A character as JSON escapes it: \uXXXX, or a pair of them past U+FFFF.
void printUnicodeEscape(char32_t code, Output& out)
{
    if (code > 0xFFFF) {
        code -= 0x10000;
        printUnicodeEscape(0xD800 + (code >> 10), out);
        printUnicodeEscape(0xDC00 + (code & 0x3FF), out);
        return;
    }
    out << "\\u" << HexByte{static_cast<unsigned char>(code >> 8)} << HexByte{static_cast<unsigned char>(code & 0xFF)};
}

} // namespace

Output& Output::operator<<(int number)
{
    // Eleven characters hold every int, its sign among them.
    char digits[11];
    std::size_t start = sizeof digits;
    auto magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[--start] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (number < 0)
        digits[--start] = '-';
    write(std::string_view(digits + start, sizeof digits - start));
    return *this;
}

Output& Output::operator<<(HexByte byte)
{
    constexpr std::string_view hex = "0123456789abcdef";
    char digits[2] = {hex[byte.value >> 4], hex[byte.value & 0xF]};
    write(std::string_view(digits, 2));
    return *this;
}

Output& Output::operator<<(Printable printable)
{
    forEachPrintedPiece(printable.text, [this](std::string_view piece) { write(piece); });
    return *this;
}

Output& Output::operator<<(Escaped escaped)
{
    forEachCharacter(escaped.text, [this, &escaped](const Character& c) {
        if (c.bytes == "\"" || c.bytes == "\\")
            *this << "\\" << c.bytes;
        else if (!c.valid)
            *this << "\\x" << HexByte{static_cast<unsigned char>(c.code)};
        else if (c.control || (escaped.asciiOnly && c.code >= 0x80))
            printUnicodeEscape(c.code, *this);
        else
            write(c.bytes);
    });
    return *this;
}

std::size_t printedSize(Printable printable)
{
    std::size_t size = 0;
    forEachPrintedPiece(printable.text, [&size](std::string_view piece) { size += piece.size(); });
    return size;
}

bool holdsControl(std::string_view text)
{
    bool any = false;
    forEachCharacter(text, [&any](const Character& c) { any = any || c.control; });
    return any;
}

} // namespace vornset
