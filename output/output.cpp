#include "output/output.h"

#include <charconv>

namespace vornset {
namespace {

bool isControl(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F);
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
        bool control = length > 1 ? character <= 0x9F : isControl(static_cast<unsigned char>(text[0]));
        length = length > 0 ? length : 1;
        each({text.data(), length}, control);
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

Output& Output::operator<<(Escaped escaped)
{
    forEachCharacter(escaped.text, [this](std::string_view character, bool control) {
        auto first = static_cast<unsigned char>(character[0]);
        if (character == "\"" || character == "\\")
            *this << "\\" << character;
        else if (control && character.size() == 2)
            *this << "\\u00" << HexByte{static_cast<unsigned char>(character[1])};
        else if (control || (first >= 0x80 && character.size() == 1))
            *this << (control && first < 0x80 ? "\\u00" : "\\x") << HexByte{first};
        else
            write(character);
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
    forEachCharacter(text, [&any](std::string_view, bool control) { any = any || control; });
    return any;
}

} // namespace vornset
