#include "settings/utf8.h"

namespace vornset {

std::size_t utf8Length(std::string_view text, char32_t& character)
{
    auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.empty())
        return 0;
    unsigned char lead = byte(0);
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
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

bool isUtf8(std::string_view text)
{
    while (!text.empty()) {
        char32_t character = 0;
        std::size_t length = utf8Length(text, character);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

} // namespace vornset
