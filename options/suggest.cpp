#include "options/suggest.h"

#include "settings/utf8.h"

#include <algorithm>
#include <array>

namespace vornset {
namespace {

// No key is longer; a longer word is no misspelling of one.
constexpr std::size_t longest = 16;

// A word as its characters, ASCII letters in lower case, and a byte that starts no
// valid UTF-8 character as one of its own; none where it is longer than any key.
struct Letters {
    std::array<char32_t, longest> letters{};
    std::size_t count = 0;
};

bool lettersOf(std::string_view word, Letters& read)
{
    for (read.count = 0; !word.empty(); ++read.count) {
        char32_t c = 0;
        std::size_t length = utf8Length(word, c);
        if (length == 0)
            c = static_cast<unsigned char>(word[0]) | 0x110000u;
        if (read.count == longest)
            return false;
        read.letters[read.count] = c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
        word.remove_prefix(length > 0 ? length : 1);
    }
    return true;
}

// How many letters must be put in, taken out or changed, or pairs of neighbours
// swapped, to make one word the other.
std::size_t editDistance(const Letters& a, const Letters& b)
{
    std::array<std::array<unsigned char, longest + 1>, longest + 1> d{};
    for (std::size_t i = 0; i <= a.count; ++i)
        for (std::size_t j = 0; j <= b.count; ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = static_cast<unsigned char>(i + j);
                continue;
            }
            bool same = a.letters[i - 1] == b.letters[j - 1];
            unsigned best = std::min(std::min(d[i - 1][j], d[i][j - 1]) + 1u, d[i - 1][j - 1] + (same ? 0u : 1u));
            if (i > 1 && j > 1 && a.letters[i - 1] == b.letters[j - 2] && a.letters[i - 2] == b.letters[j - 1])
                best = std::min(best, d[i - 2][j - 2] + 1u);
            d[i][j] = static_cast<unsigned char>(best);
        }
    return d[a.count][b.count];
}

} // namespace

std::size_t likelyKey(std::string_view typed, std::span<const std::string_view> keys)
{
    constexpr std::size_t shortKey = 4;
    Letters word, key;
    if (!lettersOf(typed, word))
        return keys.size();
    std::size_t nearest = keys.size(), starting = keys.size(), best = 3, startingCount = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        lettersOf(keys[i], key);
        std::size_t distance = editDistance(word, key);
        if (distance <= (key.count <= shortKey ? 1u : 2u) && distance < best) {
            best = distance;
            nearest = i;
        }
        bool starts = word.count >= 3 && key.count > shortKey && key.count >= word.count
            && std::equal(word.letters.begin(), word.letters.begin() + static_cast<std::ptrdiff_t>(word.count), key.letters.begin());
        if (starts && ++startingCount == 1)
            starting = i;
    }
    if (startingCount == 1 && best > 0)
        return starting;
    // A word of one or two letters is within reach of many keys.
    return best < word.count ? nearest : keys.size();
}

} // namespace vornset
