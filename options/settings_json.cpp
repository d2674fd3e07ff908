// Reads the document that show=json prints, edited or not, into staged settings: the
// "settings" by their option values, the "profiles" by their numbers. It is strict: a
// key it does not know, a value of the wrong kind, a key given twice, or text that is
// not JSON (RFC 8259) is refused at its line.

#include "options/settings_staging.h"

#include "image/boot_image.h"
#include "options/command_line.h"
#include "settings/settings.h"
#include "settings/utf8.h"

#include <array>
#include <cstdint>
#include <span>

namespace vornset {
namespace {

constexpr Refusal NOT_JSON{{}, "not valid JSON"};

// Part of a text from a position within it. string_view::substr would check the
// position with an exception, which would bring in the C++ library.
std::string_view slice(std::string_view text, std::size_t from, std::size_t length)
{
    from = from < text.size() ? from : text.size();
    return {text.data() + from, length < text.size() - from ? length : text.size() - from};
}

// One value as it stands in the text: its kind, its text (a string's without its
// quotes), and its line.
struct Token {
    enum Kind { string, number, null, other } kind = other;
    std::string_view text;
    int line = 0;
};

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    int line() const { return line_; }

    bool take(char c)
    {
        skipSpace();
        if (at_ >= text_.size() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }

    bool atEnd()
    {
        skipSpace();
        return at_ == text_.size();
    }

    // A string's text between its quotes, checked but not decoded.
    bool string(std::string_view& content)
    {
        if (!take('"'))
            return false;
        std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] != '"') {
            auto c = static_cast<unsigned char>(text_[at_++]);
            if (c < 0x20)
                return false;
            if (c == '\\' && !escape())
                return false;
        }
        if (at_ >= text_.size())
            return false;
        content = slice(text_, start, at_ - start);
        ++at_;
        return true;
    }

    // Reads one value; objects and arrays are checked and passed over, deeply as they go.
    bool value(Token& token, int depth = 0)
    {
        skipSpace();
        token = {Token::other, {}, line_};
        if (at_ < text_.size() && text_[at_] == '"') {
            token.kind = Token::string;
            return string(token.text);
        }
        if (take('{'))
            return members(depth);
        if (take('['))
            return elements(depth);
        if (literal("null")) {
            token.kind = Token::null;
            return true;
        }
        if (literal("true") || literal("false"))
            return true;
        token.kind = Token::number;
        return number(token.text);
    }

private:
    void skipSpace()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            line_ += text_[at_++] == '\n' ? 1 : 0;
    }

    bool escape()
    {
        if (at_ >= text_.size())
            return false;
        char c = text_[at_++];
        if (c != 'u')
            return std::string_view("\"\\/bfnrt").find(c) != std::string_view::npos;
        for (int i = 0; i < 4; ++i, ++at_)
            if (at_ >= text_.size() || !isHex(text_[at_]))
                return false;
        return true;
    }

    static bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    // A literal's length is known as it is compiled: no strlen at each call.
    template <std::size_t size>
    bool literal(const char (&word)[size])
    {
        return literal(std::string_view(word, size - 1));
    }

    bool literal(std::string_view word)
    {
        if (slice(text_, at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }

    std::size_t digits()
    {
        std::size_t start = at_;
        while (at_ < text_.size() && isDigit(text_[at_]))
            ++at_;
        return at_ - start;
    }

    bool number(std::string_view& text)
    {
        std::size_t start = at_;
        literal("-");
        std::size_t first = at_;
        std::size_t count = digits();
        if (count == 0 || (text_[first] == '0' && count > 1))
            return false;
        if (literal(".") && digits() == 0)
            return false;
        if (literal("e") || literal("E")) {
            if (!literal("+"))
                literal("-");
            if (digits() == 0)
                return false;
        }
        text = slice(text_, start, at_ - start);
        return true;
    }

    // Deep enough for anything show=json prints, with room to spare; deeper is refused.
    static constexpr int deepest = 16;

    bool members(int depth)
    {
        if (depth >= deepest)
            return false;
        if (take('}'))
            return true;
        do {
            std::string_view key;
            Token inner;
            if (!string(key) || !take(':') || !value(inner, depth + 1))
                return false;
        } while (take(','));
        return take('}');
    }

    bool elements(int depth)
    {
        if (depth >= deepest)
            return false;
        if (take(']'))
            return true;
        do {
            Token inner;
            if (!value(inner, depth + 1))
                return false;
        } while (take(','));
        return take(']');
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

// Appends a code point as UTF-8.
std::size_t encode(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

char32_t hexValue(std::string_view four)
{
    char32_t value = 0;
    for (char c : four)
        value = value * 16 + static_cast<char32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    return value;
}

// What the document's strings mean. In version 1 an escape from \u0080 to \u00ff
// stands for that one byte, as that version wrote a name that is not UTF-8; from
// version 2 on every character is its UTF-8, as JSON says.
enum class Meaning { version1Bytes, characters };

// A checked string's bytes, as many as the buffer holds, or why it has none.
struct Decoded {
    enum Fault { none, notJson, zeroByte } fault = none;
    std::string_view text;
};

template <std::size_t size>
Decoded decoded(std::string_view text, Meaning meaning, std::array<char, size>& buffer)
{
    // Text as JSON carries it is UTF-8; an escape is ASCII, so the raw text tells.
    if (meaning == Meaning::characters && !isUtf8(text))
        return {Decoded::notJson, {}};
    std::size_t used = 0;
    char bytes[4];
    while (!text.empty()) {
        std::size_t length = 1;
        bytes[0] = text[0];
        if (text[0] == '\\') {
            char escaped = text[1];
            constexpr std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
            if (escaped != 'u') {
                bytes[0] = to[from.find(escaped)];
                text.remove_prefix(2);
            } else {
                char32_t c = hexValue(slice(text, 2, 4));
                text.remove_prefix(6);
                if (c >= 0xDC00 && c <= 0xDFFF)
                    return {Decoded::notJson, {}};
                if (c >= 0xD800 && c <= 0xDBFF) {
                    char32_t low = text.starts_with("\\u") ? hexValue(slice(text, 2, 4)) : 0;
                    if (low < 0xDC00 || low > 0xDFFF)
                        return {Decoded::notJson, {}};
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    text.remove_prefix(6);
                }
                bool byte = meaning == Meaning::version1Bytes && c >= 0x80 && c <= 0xFF;
                length = byte ? 1 : encode(c, bytes);
                if (byte)
                    bytes[0] = static_cast<char>(c);
            }
        } else {
            text.remove_prefix(1);
        }
        for (std::size_t i = 0; i < length && used < size; ++i)
            buffer[used++] = bytes[i];
    }
    std::string_view result(buffer.data(), used);
    if (result.find('\0') != std::string_view::npos)
        return {Decoded::zeroByte, {}};
    return {Decoded::none, result};
}

Refusal refusal(std::string_view within, std::string_view key, std::string_view reason, int line)
{
    Refusal r{key, reason, true, line};
    r.within = within;
    return r;
}

// Reads an object's members one at a time, refusing a key that is not among the
// names, or given twice.
// Each member is read by a function, given what it works on and the key's position,
// so that one reading serves every object.
using ReadMember = std::optional<Refusal> (*)(void* context, std::size_t key);

std::optional<Refusal> readObject(JsonReader& json, std::string_view within, std::span<const std::string_view> names,
                                  ReadMember member, void* context)
{
    if (!json.take('{'))
        return NOT_JSON;
    if (json.take('}'))
        return std::nullopt;
    std::uint32_t seen = 0;
    do {
        std::string_view key;
        if (!json.string(key) || !json.take(':'))
            return NOT_JSON;
        std::size_t found = 0;
        while (found < names.size() && names[found] != key)
            ++found;
        if (found == names.size()) {
            Refusal unknown = refusal(within, key, "no such key", json.line());
            unknown.meant = likelyKey(key, names);
            return unknown;
        }
        if (seen & (std::uint32_t{1} << found))
            return refusal(within, key, "given twice", json.line());
        seen |= std::uint32_t{1} << found;
        if (std::optional<Refusal> refused = member(context, found))
            return refused;
    } while (json.take(','));
    return json.take('}') ? std::nullopt : std::optional<Refusal>(NOT_JSON);
}

template <typename Member>
std::optional<Refusal> readObject(JsonReader& json, std::string_view within, std::span<const std::string_view> names,
                                  Member member)
{
    auto read = [](void* context, std::size_t key) { return (*static_cast<Member*>(context))(key); };
    return readObject(json, within, names, read, &member);
}

std::optional<Refusal> valueOf(JsonReader& json, Token& token)
{
    return json.value(token) ? std::nullopt : std::optional<Refusal>(NOT_JSON);
}

// A refusal as the row has it, at the value's line and within the document.
Refusal atValue(Refusal refused, std::string_view within, const Token& token)
{
    refused.within = refused.reason == NOT_JSON.reason ? std::string_view{} : within;
    refused.line = token.line;
    return refused;
}

constexpr std::string_view SETTINGS_WITHIN = "settings";
constexpr std::string_view PROFILES_WITHIN = "profiles";
constexpr std::string_view NUMBER_EXPECTED = "a number is expected";
constexpr std::string_view STRING_EXPECTED = "a string is expected";

// A value as an option takes it: a number's text, or a string's decoded into the
// buffer; or why it is refused: a value of another kind, a zero byte, or a string
// that is not JSON. A refusal here has no place yet.
struct ValueText {
    std::string_view text;
    std::optional<Refusal> refused;
};

ValueText valueText(const Token& token, std::string_view key, bool number, Meaning meaning,
                    std::array<char, 64>& buffer)
{
    if (token.kind != (number ? Token::number : Token::string))
        return {{}, Refusal{key, number ? NUMBER_EXPECTED : STRING_EXPECTED, true}};
    if (number)
        return {token.text, std::nullopt};
    Decoded value = decoded(token.text, meaning, buffer);
    if (value.fault == Decoded::notJson)
        return {{}, NOT_JSON};
    if (value.fault == Decoded::zeroByte)
        return {{}, Refusal{key, "a zero byte is not allowed", true}};
    return {value.text, std::nullopt};
}

// A name's bytes as prfname_bytes gives them: two hexadecimal digits each.
ValueText nameBytes(const Token& token, std::string_view key, std::array<char, 64>& buffer)
{
    if (token.kind != Token::string)
        return {{}, Refusal{key, STRING_EXPECTED, true}};
    std::string_view digits = token.text;
    bool hex = digits.size() % 2 == 0 && digits.size() <= 2 * buffer.size()
        && digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
    if (!hex)
        return {{}, Refusal{key, "only pairs of hexadecimal digits are valid", true}};
    std::size_t used = 0;
    for (; !digits.empty(); digits.remove_prefix(2)) {
        char32_t byte = hexValue(slice(digits, 0, 2));
        if (byte == 0)
            return {{}, Refusal{key, "a zero byte is not allowed", true}};
        buffer[used++] = static_cast<char>(byte);
    }
    return {std::string_view(buffer.data(), used), std::nullopt};
}

std::optional<Refusal> readSettings(JsonReader& json, Meaning meaning, Staging& staging)
{
    std::array<std::string_view, 13> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i)
        keys[i] = GLOBAL_SETTINGS[i].key;
    staging.within = SETTINGS_WITHIN;
    return readObject(json, SETTINGS_WITHIN, keys, [&](std::size_t row) -> std::optional<Refusal> {
        Token token;
        if (std::optional<Refusal> refused = valueOf(json, token))
            return refused;
        const GlobalSetting& setting = GLOBAL_SETTINGS[row];
        if (token.kind == Token::null)
            return std::nullopt;
        std::array<char, 64> buffer;
        auto [text, refused] = valueText(token, setting.key, takesNumber(setting), meaning, buffer);
        staging.place.line = token.line;
        if (!refused)
            refused = stageGlobal(setting, text, staging);
        staging.holdsSettings = staging.holdsSettings || !refused;
        return refused ? std::optional<Refusal>(atValue(*refused, SETTINGS_WITHIN, token)) : std::nullopt;
    });
}

// A profile object's keys: the five options', the name's bytes, and the stored bytes.
constexpr std::size_t nameBytesKey = 5;

std::array<std::string_view, 7> profileKeys()
{
    std::array<std::string_view, 7> keys{};
    for (std::size_t i = 0; i < PROFILE_SETTINGS.size(); ++i)
        keys[i] = PROFILE_SETTINGS[i].key;
    keys[nameBytesKey] = "prfname_bytes";
    keys[nameBytesKey + 1] = "stored";
    return keys;
}

// The members of a profile, which may come in any order: the number is taken first.
std::optional<Refusal> readProfile(JsonReader& json, Meaning meaning, Staging& staging)
{
    const std::array<std::string_view, 7> keys = profileKeys();
    std::array<Token, nameBytesKey + 1> values{};
    std::optional<Refusal> refused = readObject(json, PROFILES_WITHIN, keys, [&](std::size_t key) {
        Token token;
        std::optional<Refusal> invalid = valueOf(json, token);
        if (key < values.size())
            values[key] = token;
        return invalid;
    });
    if (refused)
        return refused;
    auto given = [&values](std::size_t key) { return values[key].line != 0 && values[key].kind != Token::null; };
    std::size_t nameKey = static_cast<std::size_t>(ProfileField::name);
    if (given(nameKey) && given(nameBytesKey))
        return atValue(Refusal{keys[nameBytesKey], "prfname must be null beside it", true}, PROFILES_WITHIN,
                       values[nameBytesKey]);
    for (std::size_t key = 0; key < PROFILE_SETTINGS.size(); ++key) {
        const ProfileSetting& setting = PROFILE_SETTINGS[key];
        std::size_t from = key == nameKey && given(nameBytesKey) ? nameBytesKey : key;
        const Token& token = values[from];
        if (!given(from) && key > 0)
            continue;
        std::array<char, 64> buffer;
        ValueText value{{}, Refusal{setting.key, setting.refusal}};
        if (from == nameBytesKey)
            value = nameBytes(token, keys[from], buffer);
        else if (given(from))
            value = valueText(token, setting.key, setting.numbers.highest > 0, meaning, buffer);
        staging.place.line = token.line != 0 ? token.line : json.line();
        if (!value.refused)
            value.refused = stageProfileValue(setting, value.text, staging);
        if (value.refused) {
            Token at = token;
            at.line = staging.place.line;
            return atValue(*value.refused, PROFILES_WITHIN, at);
        }
        staging.holdsSettings = staging.holdsSettings || key > 0;
    }
    closeSection(staging);
    return std::nullopt;
}

std::optional<Refusal> readProfiles(JsonReader& json, Meaning meaning, Staging& staging)
{
    if (!json.take('['))
        return refusal({}, "profiles", "a list of profiles is needed", json.line());
    if (json.take(']'))
        return std::nullopt;
    staging.within = PROFILES_WITHIN;
    staging.item = 0;
    do {
        if (std::optional<Refusal> refused = readProfile(json, meaning, staging)) {
            if (refused->within == PROFILES_WITHIN)
                refused->item = staging.item;
            return refused;
        }
        ++staging.item;
    } while (json.take(','));
    return json.take(']') ? std::nullopt : std::optional<Refusal>(NOT_JSON);
}

constexpr std::array<std::string_view, 5> DOCUMENT_KEYS{"format_version", "version", "settings", "stored", "profiles"};

// The document's format_version, read before the rest, as it tells what the strings
// mean wherever it stands: 2, the version show=json prints, where it gives none or is
// no JSON object, for the reading to refuse; or why a version it gives is refused.
std::optional<Refusal> formatVersion(std::string_view text, Meaning& meaning)
{
    meaning = Meaning::characters;
    JsonReader json(text);
    Token version;
    std::optional<Refusal> unreadable = readObject(json, {}, DOCUMENT_KEYS, [&](std::size_t key) {
        Token token;
        std::optional<Refusal> invalid = valueOf(json, token);
        if (key == 0)
            version = token;
        return invalid;
    });
    (void)unreadable; // the reading proper refuses it where it stands
    if (version.line == 0)
        return std::nullopt;
    if (version.kind == Token::number && version.text == "1")
        meaning = Meaning::version1Bytes;
    else if (version.kind != Token::number || version.text != "2")
        return refusal({}, "format_version", "only 1 and 2 are valid", version.line);
    return std::nullopt;
}

} // namespace

std::optional<Refusal> stageJson(std::string_view text, Staging& staging)
{
    Meaning meaning;
    if (std::optional<Refusal> refused = formatVersion(text, meaning))
        return refused;
    JsonReader json(text);
    std::optional<Refusal> refused = readObject(json, {}, DOCUMENT_KEYS, [&](std::size_t key) -> std::optional<Refusal> {
        switch (key) {
        case 2:
            return readSettings(json, meaning, staging);
        case 4:
            return readProfiles(json, meaning, staging);
        default: {
            // Read, to know it is JSON, and not applied; format_version is read already.
            Token token;
            return valueOf(json, token);
        }
        }
    });
    if (!refused && !json.atEnd())
        refused = NOT_JSON;
    if (refused && refused->line == 0)
        refused->line = json.line();
    return refused;
}

} // namespace vornset
