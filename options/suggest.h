#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace vornset {

// The position among the keys of the key most likely meant by a word that is no key,
// or keys.size() where none is: the key it is but for case; or the only key of five
// letters or more that starts with it, where it has three or more; or else the
// nearest, by letters added, dropped, changed or two neighbours swapped, whatever
// their case: one for a key of four letters or fewer, two for a longer one. Letters
// are counted as characters, not bytes: a Cyrillic o in place of a Latin one is one
// letter changed.
std::size_t likelyKey(std::string_view typed, std::span<const std::string_view> keys);

} // namespace vornset
