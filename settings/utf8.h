#pragma once

#include <cstddef>
#include <string_view>

namespace vornset {

// The length of the valid UTF-8 sequence that text starts with, and the character it
// encodes; 0 where text starts with none: a stray or missing continuation byte, a
// longer form than needed, a surrogate, or a code point past U+10FFFF.
std::size_t utf8Length(std::string_view text, char32_t& character);

// Whether the text is valid UTF-8 throughout.
bool isUtf8(std::string_view text);

} // namespace vornset
