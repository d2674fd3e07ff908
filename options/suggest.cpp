#include "options/suggest.h"

#include "settings/utf8.h"

#include <algorithm>
#include <array>

namespace vornset {
namespace {

// No key is longer; a longer word is no misspelling of one.
constexpr std::size_t longest = 16;

// A word as its characters, ASCII letters in lower case; a byte that starts no valid
// UTF-8 character counts as one.
struct Letters {
    std::array<char32_t, longest> letters{};
    std::size_t count = 0;
    bool tooLong = false;
};

Letters lettersOf(std::string_view word)
{
    Letters read;
    while (!word.empty()) {
        char32_t c = 0;
        std::size_t length = utf8Length(word, c);
        if (length == 0)
            c = static_cast<unsigned char>(word[0]) | 0x110000u;
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (read.count == longest) {
            read.tooLong = true;
            return read;
        }
        read.letters[read.count++] = c;
        word.remove_prefix(length > 0 ? length : 1);
    }
    return read;
}

// How many letters must be put in, taken out or changed, or pairs of neighbours
// swapped, to make one word the other; no more than limit + 1 is told.
std::size_t editDistance(const Letters& x, const Letters& y, std::size_t limit)
{
    const Letters& a = x.count <= y.count ? x : y;
    const Letters& b = x.count <= y.count ? y : x;
    if (b.count - a.count > limit)
        return limit + 1;
    // Three rows of the table, the row for i at (i + 1) % 3: two back, the last,
    // and the one being filled.
    std::array<std::array<std::size_t, longest + 1>, 3> rows{};
    for (std::size_t j = 0; j <= b.count; ++j)
        rows[1][j] = j;
    for (std::size_t i = 1; i <= a.count; ++i) {
        auto& twoBack = rows[(i + 2) % 3];
        auto& last = rows[i % 3];
        auto& row = rows[(i + 1) % 3];
        row[0] = i;
        for (std::size_t j = 1; j <= b.count; ++j) {
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (a.letters[i - 1] == b.letters[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a.letters[i - 1] == b.letters[j - 2] && a.letters[i - 2] == b.letters[j - 1])
                row[j] = std::min(row[j], twoBack[j - 2] + 1);
        }
    }
    return std::min(rows[(a.count + 1) % 3][b.count], limit + 1);
}

bool startsWith(const Letters& key, const Letters& typed)
{
    return key.count >= typed.count && std::equal(typed.letters.begin(), typed.letters.begin() + typed.count, key.letters.begin());
}

} // namespace

std::size_t likelyKey(std::string_view typed, std::span<const std::string_view> keys)
{
    constexpr std::size_t shortKey = 4;
    Letters word = lettersOf(typed);
    if (word.tooLong)
        return keys.size();
    std::size_t nearest = keys.size(), starting = keys.size(), best = 3, startingCount = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        Letters key = lettersOf(keys[i]);
        std::size_t limit = key.count <= shortKey ? 1 : 2;
        std::size_t distance = editDistance(word, key, limit);
        if (distance <= limit && distance < best) {
            best = distance;
            nearest = i;
        }
        if (word.count >= 3 && key.count > shortKey && startsWith(key, word) && ++startingCount == 1)
            starting = i;
    }
    if (startingCount == 1 && best > 0)
        return starting;
    // A word of one or two letters is within reach of many keys.
    return best < word.count ? nearest : keys.size();
}

} // namespace vornset
