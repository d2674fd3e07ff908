#include "formats/settings_json.h"

#include "options/apply.h"
#include "options/param.h"
#include "options/suggest.h"
#include "output/messages.h"
#include "output/report.h"
#include "settings/fields.h"
#include "settings/utf8.h"

#include <algorithm>
#include <array>

namespace vornset {

using namespace std::string_view_literals;
namespace {

// The document's keys, which the writer prints and the reader takes by name.
constexpr std::string_view FORMAT_VERSION = "format_version";
constexpr std::string_view VERSION = "version";
constexpr std::string_view SETTINGS = "settings";
constexpr std::string_view STORED = "stored";
constexpr std::string_view PROFILES = "profiles";
constexpr std::string_view NAME_BYTES = "prfname_bytes";
constexpr std::string_view PARTITION = "partition";
constexpr std::string_view DRIVE = "drive";
constexpr std::string_view NAME = "name";
constexpr std::array<std::string_view, 5> DOCUMENT_KEYS{FORMAT_VERSION, VERSION, SETTINGS, STORED, PROFILES};
// A profile's keys: its options', then the name's bytes and the stored bytes.
constexpr std::array<std::string_view, profileFieldCount + 2> PROFILE_KEYS{"prf", "prfname", "btdrv", "btprt", "btlog",
                                                                          NAME_BYTES, STORED};
constexpr std::size_t nameBytesKey = profileFieldCount;

// The version of the form that the writer prints. Version 1 wrote a name that is not
// UTF-8 with \u0080 to \u00ff for its bytes, and is read so still.
constexpr int formatVersion = 2;

constexpr std::string_view NOT_JSON = "not valid JSON";

// Deep enough for anything the writer prints, with room to spare; more values than
// an export has many times over.
constexpr int deepest = 16;
constexpr std::size_t mostValues = 4096;

bool allHex(std::string_view digits)
{
    for (char c : digits)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

char32_t hexValue(std::string_view digits)
{
    char32_t value = 0;
    for (char c : digits)
        value = value * 16 + static_cast<char32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    return value;
}

// Part of a text from a position within it, without string_view::substr, which
// would check the position with an exception.
std::string_view slice(std::string_view text, std::size_t from, std::size_t length)
{
    from = std::min(from, text.size());
    return {text.data() + from, std::min(length, text.size() - from)};
}

// One character of a string's content in a valid document, and whether it was an
// escape; the content is left after it.
struct Character {
    char32_t code;
    bool escaped;
};

Character nextCharacter(std::string_view& content)
{
    if (content[0] != '\\') {
        char32_t code = 0;
        content.remove_prefix(std::max<std::size_t>(utf8Length(content, code), 1));
        return {code, false};
    }
    char escape = content[1];
    if (escape != 'u') {
        content.remove_prefix(2);
        constexpr std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
        return {static_cast<unsigned char>(to[from.find(escape)]), true};
    }
    char32_t code = hexValue(slice(content, 2, 4));
    content.remove_prefix(6);
    if (code >= 0xD800 && code <= 0xDBFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (hexValue(slice(content, 2, 4)) - 0xDC00);
        content.remove_prefix(6);
    }
    return {code, true};
}

// Whether two strings' contents in a valid document are the same text, escapes read.
bool sameText(std::string_view a, std::string_view b)
{
    if (a.find('\\') == std::string_view::npos && b.find('\\') == std::string_view::npos)
        return a == b;
    while (!a.empty() && !b.empty())
        if (nextCharacter(a).code != nextCharacter(b).code)
            return false;
    return a.empty() && b.empty();
}

std::size_t encode(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    std::size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    constexpr unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (std::size_t i = length - 1; i > 0; --i, c >>= 6)
        out[i] = static_cast<char>(0x80 | (c & 0x3F));
    out[0] = static_cast<char>(lead[length] | c);
    return length;
}

// One value of the document, in the order they stand: a string's content, a
// number's text, or an object or a list, whose keys and values follow it up to end,
// with its text from its first bracket to its last.
struct Token {
    enum Kind : std::uint8_t { string, number, null, boolean, object, list };
    Kind kind = null;
    std::uint16_t end = 0;
    int line = 0;
    std::string_view text{};
};

// The document's values, once it is checked whole as JSON.
class Tokens {
public:
    // Checks the document and reads its values; on a fault says why: a key given
    // twice, named with the object of the root it stands in, too many values, or
    // text that is not JSON.
    std::optional<Refusal> read(std::string_view text, int file)
    {
        text_ = text;
        space();
        if (at_ < text_.size() && text_[at_] == '{' && value(0) && (space(), at_ == text_.size()))
            return std::nullopt;
        if (twice_ == 0)
            return Refusal{.reason = fault_.reason, .at = {.file = file, .line = line_}};
        return Refusal{.key = tokens_[twice_].text, .reason = "given twice"sv, .namesKey = true,
                       .at = {.file = file, .line = tokens_[twice_].line, .object = object_, .item = item_}};
    }

    // The values, and after them a null one with no line, which stands for none.
    std::span<const Token> all() const { return std::span(tokens_).first(count_ + 1); }

private:
    void space()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            line_ += text_[at_++] == '\n' ? 1 : 0;
    }

    bool take(char c)
    {
        space();
        if (at_ >= text_.size() || text_[at_] != c)
            return false;
        ++at_;
        return true;
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
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        return at_ - start;
    }

    bool number()
    {
        literal("-");
        std::size_t first = at_;
        std::size_t count = digits();
        if (count == 0 || (text_[first] == '0' && count > 1) || (literal(".") && digits() == 0))
            return false;
        if (literal("e") || literal("E")) {
            if (!literal("+"))
                literal("-");
            return digits() > 0;
        }
        return true;
    }

    // \u and four hex digits, the code they give.
    std::optional<char32_t> unicodeEscape()
    {
        std::string_view escape = slice(text_, at_, 6);
        if (escape.size() < 6 || !escape.starts_with("\\u") || !allHex(slice(escape, 2, 4)))
            return std::nullopt;
        at_ += 6;
        return hexValue(slice(escape, 2, 4));
    }

    // A surrogate stands only in a pair, high then low.
    bool escape()
    {
        if (slice(text_, at_ + 1, 1) != "u"sv) {
            at_ += 2;
            return at_ <= text_.size() && std::string_view("\"\\/bfnrt").find(text_[at_ - 1]) != std::string_view::npos;
        }
        std::optional<char32_t> code = unicodeEscape();
        if (!code || (*code >= 0xDC00 && *code <= 0xDFFF))
            return false;
        if (*code < 0xD800 || *code > 0xDBFF)
            return true;
        std::optional<char32_t> low = unicodeEscape();
        return low && *low >= 0xDC00 && *low <= 0xDFFF;
    }

    // A string's content between its quotes: UTF-8 throughout, no control character.
    bool string(std::string_view& content)
    {
        std::size_t start = ++at_;
        while (at_ < text_.size() && text_[at_] != '"') {
            auto c = static_cast<unsigned char>(text_[at_]);
            char32_t code = 0;
            std::size_t length = c < 0x80 ? 1 : utf8Length(slice(text_, at_, 4), code);
            if (c < 0x20 || length == 0 || (c == '\\' && !escape()))
                return false;
            at_ += c == '\\' ? 0 : length;
        }
        content = slice(text_, start, at_ - start);
        return take('"');
    }

    // No key stands twice in the object at first.
    bool keysOnce(std::size_t first)
    {
        for (std::size_t key = first + 1; key < count_; key = tokens_[key + 1].end)
            for (std::size_t other = first + 1; other < key; other = tokens_[other + 1].end)
                if (sameText(tokens_[key].text, tokens_[other].text)) {
                    twice_ = key;
                    return false;
                }
        return true;
    }

    // An object's members or a list's items, after the root's key they stand under
    // and, in a list there, their place.
    bool members(std::size_t first, int level)
    {
        bool object = tokens_[first].kind == Token::object;
        char close = object ? '}' : ']';
        if (take(close))
            return true;
        int item = 0;
        do {
            space();
            if (object && !(at_ < text_.size() && text_[at_] == '"' && value(level) && take(':')))
                return false;
            if (level == 0) {
                object_ = tokens_[count_ - 1].text;
                item_ = -1;
            }
            if (level == 1 && !object)
                item_ = item++;
            if (!value(level + 1))
                return false;
        } while (take(','));
        // A key of the root stands under no other.
        if (level == 0)
            object_ = {}, item_ = -1;
        return take(close) && (!object || keysOnce(first));
    }

    bool value(int level)
    {
        space();
        if (count_ + 1 == tokens_.size()) {
            fault_ = {"more than 4096 values"sv};
            return false;
        }
        std::size_t index = count_++;
        Token& token = tokens_[index];
        token = {Token::null, 0, line_, {}};
        std::size_t start = at_;
        bool valid = true;
        if (at_ < text_.size() && text_[at_] == '"') {
            token.kind = Token::string;
            valid = string(token.text);
        } else if (take('{') || take('[')) {
            token.kind = text_[start] == '{' ? Token::object : Token::list;
            valid = level <= deepest && members(index, level);
            tokens_[index].text = slice(text_, start, at_ - start);
        } else if (literal("true") || literal("false")) {
            token.kind = Token::boolean;
        } else if (!literal("null")) {
            token.kind = Token::number;
            valid = number();
            token.text = slice(text_, start, at_ - start);
        }
        tokens_[index].end = static_cast<std::uint16_t>(count_);
        return valid;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    std::array<Token, mostValues + 1> tokens_;
    std::size_t count_ = 0;
    // What a fault is; where a key is given twice, its place, and the root's key and
    // the list's item it stands under.
    Problem fault_{NOT_JSON};
    std::size_t twice_ = 0;
    std::string_view object_;
    int item_ = -1;
};

// The position of a key among the keys, or their number where it is none.
std::size_t keyIndex(std::string_view key, std::span<const std::string_view> keys)
{
    std::size_t found = 0;
    while (found < keys.size() && !sameText(key, keys[found]))
        ++found;
    return found;
}

// A value's text as an option takes it: a number's as it stands, a string's decoded
// into the buffer (version 1 takes \u0080 to \u00ff as bytes), a name's bytes from
// their hexadecimal digits; checked strictly as a settings file's.
Problem readValue(Key key, const Token& value, bool bytes, bool version1, FileValue& read)
{
    bool number = key < firstProfileKey ? takesNumber(GLOBAL_SETTINGS[key])
                                        : PROFILE_SETTINGS[key - firstProfileKey].numbers.highest > 0;
    if (value.kind != (number ? Token::number : Token::string))
        return {number ? "a number is expected"sv : "a string is expected"sv, true};
    std::string_view content = value.text;
    if (bytes && (content.size() % 2 != 0 || !allHex(content)))
        return {"only pairs of hexadecimal digits are valid"sv, true};
    // Past the buffer the text is cut one byte long, which no value takes.
    std::array<char, 65> buffer;
    std::size_t length = 0;
    bool zeroByte = false;
    while (!number && !content.empty() && length < buffer.size()) {
        char encoded[4];
        std::size_t size = 1;
        if (bytes) {
            encoded[0] = static_cast<char>(hexValue(slice(content, 0, 2)));
            content.remove_prefix(2);
        } else if (Character c = nextCharacter(content); version1 && c.escaped && c.code >= 0x80 && c.code <= 0xFF) {
            encoded[0] = static_cast<char>(c.code);
        } else {
            size = encode(c.code, encoded);
        }
        for (std::size_t i = 0; i < size && length < buffer.size(); ++i) {
            zeroByte = zeroByte || encoded[i] == 0;
            buffer[length++] = encoded[i];
        }
    }
    if (zeroByte)
        return {"a zero byte is not allowed"sv, true};
    return checkFileValue(key, number ? value.text : std::string_view(buffer.data(), length), read);
}

// A profile as it is read: its values, kept once its number is known.
struct Profile {
    std::optional<int> number;
    FileSettings::Profile fields;
    int nameLine = 0;
    int bytesLine = 0;
};

// The document as it is read into the plan, once the whole is checked as JSON.
class JsonReading {
public:
    JsonReading(Plan& plan, int file, std::span<const Token> tokens) : plan_(plan), file_(file), tokens_(tokens)
    {
        for (Key row = 0; row < globalKeys_.size(); ++row)
            globalKeys_[row] = keyText(row);
    }

    // The form's version first, wherever it stands, since it tells what the strings
    // mean; then every key of the root in its order. The first refusal ends it.
    std::optional<Refusal> read()
    {
        const Token& version = tokens_[member(0, FORMAT_VERSION)];
        // A document without a version is read as the version the writer prints.
        if (version.line != 0 && (version.kind != Token::number || (version.text != "1"sv && version.text != "2"sv)))
            refuse(FORMAT_VERSION, {"only 1 and 2 are valid"sv, true}, version.line);
        version1_ = version.text == "1"sv;
        std::size_t stored = member(0, STORED);
        for (std::size_t at = 1; at < tokens_[0].end; at = nextKey(at)) {
            std::size_t found = keyIndex(tokens_[at].text, DOCUMENT_KEYS);
            const Token& value = tokens_[at + 1];
            object_ = {};
            item_ = -1;
            if (refusal_) {
                break;
            } else if (found == DOCUMENT_KEYS.size()) {
                refuseUnknown(at, DOCUMENT_KEYS);
            } else if (DOCUMENT_KEYS[found] == SETTINGS && value.kind != Token::object) {
                refuse(SETTINGS, {"an object is expected"sv, true}, value.line);
            } else if (DOCUMENT_KEYS[found] == SETTINGS) {
                object_ = SETTINGS;
                Profile none;
                for (std::size_t member = at + 2; member < value.end; member = nextKey(member))
                    readMember(member, globalKeys_, stored, none);
            } else if (DOCUMENT_KEYS[found] == PROFILES && value.kind != Token::list) {
                refuse(PROFILES, {"a list of profiles is needed"sv, true}, value.line);
            } else if (DOCUMENT_KEYS[found] == PROFILES) {
                object_ = PROFILES;
                for (std::size_t profile = at + 2; profile < value.end && !refusal_; profile = tokens_[profile].end)
                    readProfile(profile);
            }
        }
        if (!refusal_ && !holdsSettings_)
            refusal_ = noSettings(file_);
        return refusal_;
    }

private:
    // Refuses a value, the first only, at its line and in the object and the profile
    // being read.
    void refuse(std::string_view key, Problem problem, int line, std::string_view meant = {})
    {
        if (!refusal_)
            refusal_ = Refusal{.key = key, .reason = problem.reason, .namesKey = problem.namesKey,
                               .at = {.file = file_, .line = line, .object = object_, .item = item_}, .meant = meant};
    }

    void refuseUnknown(std::size_t at, std::span<const std::string_view> keys)
    {
        std::size_t meant = likelyKey(tokens_[at].text, keys);
        refuse(tokens_[at].text, {"no such key"sv, true}, tokens_[at].line, meant < keys.size() ? keys[meant] : std::string_view{});
    }

    // The files give more settings than a run takes: said of the file, not the value.
    void refuseTooMany(int line)
    {
        object_ = {};
        refuse({}, {TOO_MANY_SETTINGS}, line);
    }

    // An object's member after the one whose key stands at a position: its value
    // follows its key.
    std::size_t nextKey(std::size_t key) const { return tokens_[key + 1].end; }

    // The value of a key in the object at a position, or the last value, the null
    // one with no line, where it has none.
    std::size_t member(std::size_t object, std::string_view key) const
    {
        if (tokens_[object].kind == Token::object)
            for (std::size_t at = object + 1; at < tokens_[object].end; at = nextKey(at))
                if (sameText(tokens_[at].text, key))
                    return at + 1;
        return tokens_.size() - 1;
    }

    // A value given as null, which an export writes where no option value gives what
    // the object of stored bytes says is stored: loading leaves such a field, and
    // says so.
    void leaves(Key key, int line, std::size_t stored)
    {
        bool global = key < firstProfileKey;
        const Token& value = tokens_[member(stored, key == keyOf(ProfileField::drive) ? DRIVE : global ? keyText(key) : PARTITION)];
        int byte = value.kind == Token::number ? parseDecimal(value.text).value_or(-1) : -1;
        if (byte < 0 || byte > 255 || key == keyOf(ProfileField::name))
            return;
        auto code = static_cast<unsigned>(byte);
        if (key > keyOf(ProfileField::drive))
            code = key == keyOf(ProfileField::partition) ? code & 0x1F : code >> 5;
        bool carried = global ? optionValue(GLOBAL_SETTINGS[key], static_cast<std::uint8_t>(code)).has_value()
            : key == keyOf(ProfileField::drive) ? driveDigit(static_cast<std::uint8_t>(code)).has_value()
                                                : isPartitionNumber(code);
        if (!carried)
            plan_.files.leaves({{.file = file_, .line = line, .object = object_, .item = item_}, key, 0, code});
    }

    // One member of "settings", or of a profile: a value of an option; in a profile
    // also the name's bytes (with the name null), or the stored bytes, which only say
    // what a null leaves.
    void readMember(std::size_t at, std::span<const std::string_view> keys, std::size_t stored, Profile& profile)
    {
        const Token& value = tokens_[at + 1];
        std::size_t found = keyIndex(tokens_[at].text, keys);
        bool inProfile = keys.size() == PROFILE_KEYS.size();
        bool bytes = inProfile && found == nameBytesKey;
        auto key = static_cast<Key>(found);
        if (inProfile)
            key = keyOf(static_cast<ProfileField>(bytes ? static_cast<std::size_t>(ProfileField::name) : found));
        FileValue read;
        if (refusal_ || (inProfile && found == PROFILE_KEYS.size() - 1))
            return;
        if (found == keys.size())
            return refuseUnknown(at, keys);
        if (value.kind == Token::null)
            return leaves(key, value.line, stored);
        if (key == keyOf(ProfileField::name))
            (bytes ? profile.bytesLine : profile.nameLine) = value.line;
        if (profile.nameLine != 0 && profile.bytesLine != 0)
            return refuse(NAME_BYTES, {"prfname must be null beside it"sv, true}, profile.bytesLine);
        if (Problem problem = readValue(key, value, bytes, version1_, read))
            return refuse(problem.namesKey ? keys[found] : keyText(key), problem, value.line);
        if (!inProfile) {
            holdsSettings_ = true;
            if (!keepFileValue(key, read, 0, {.file = file_, .line = value.line, .object = SETTINGS}, plan_.files))
                refuseTooMany(value.line);
            return;
        }
        auto field = static_cast<ProfileField>(key - firstProfileKey);
        if (field == ProfileField::profile)
            profile.number = read.number;
        else if (field == ProfileField::name)
            profile.fields.name = read.name;
        else
            profile.fields.number(field) = read.number;
    }

    void readProfile(std::size_t object)
    {
        const Token& token = tokens_[object];
        item_ = item_ + 1;
        if (token.kind != Token::object)
            return refuse({}, {"an object is expected"sv, true}, token.line);
        Profile profile;
        std::size_t firstLeft = plan_.files.notCarriedCount;
        std::size_t stored = member(object, STORED);
        for (std::size_t at = object + 1; at < tokens_[object].end; at = nextKey(at))
            readMember(at, PROFILE_KEYS, stored, profile);
        // A profile needs its number, at the line that ends it where it has none.
        int end = token.line;
        for (char c : token.text)
            end += c == '\n' ? 1 : 0;
        if (!profile.number)
            return refuse(PROFILE_SETTINGS[0].key, {PROFILE_SETTINGS[0].refusal}, end);
        for (std::size_t left = firstLeft; left < plan_.files.notCarriedCount; ++left)
            plan_.files.notCarried[left]->profile = *profile.number;
        FileSettings::Profile& fields = plan_.files.profiles[static_cast<std::size_t>(*profile.number - 1)];
        fields.name = profile.fields.name ? profile.fields.name : fields.name;
        std::size_t given = profile.fields.name ? 2u : 1u;
        for (ProfileField field : {ProfileField::drive, ProfileField::partition, ProfileField::logPart}) {
            given += profile.fields.number(field) ? 1u : 0u;
            fields.number(field) = profile.fields.number(field) ? profile.fields.number(field) : fields.number(field);
        }
        while (given-- > 0)
            if (!plan_.files.counted())
                refuseTooMany(end);
        holdsSettings_ = true;
    }

    Plan& plan_;
    int file_;
    std::span<const Token> tokens_;
    std::array<std::string_view, globalCount> globalKeys_;
    bool version1_ = false;
    bool holdsSettings_ = false;
    // The object of the root being read, and in "profiles" the profile's place.
    std::string_view object_;
    int item_ = -1;
    std::optional<Refusal> refusal_;
};

} // namespace

std::optional<Refusal> readSettingsJson(std::string_view text, int file, Plan& plan)
{
    Tokens document;
    if (std::optional<Refusal> fault = document.read(text, file))
        return fault;
    return JsonReading(plan, file, document.all()).read();
}

namespace {


// The option's value as a JSON value: a word, a drive and a name as strings, a
// number as a number, null where no option gives it. A name that is not UTF-8 is
// null here and its bytes go in prfname_bytes.
void printJsonValue(const Field& field, Output& out)
{
    if (field.kind == ValueKind::none || (field.kind == ValueKind::name && !isUtf8(field.name())))
        out << "null";
    else if (field.kind == ValueKind::number)
        out << field.number;
    else if (field.kind == ValueKind::name)
        out << "\"" << Escaped{field.name()} << "\"";
    else {
        out << "\"";
        printOptionText(field, out);
        out << "\"";
    }
}

void printNameBytes(const Field& field, Output& out)
{
    std::string_view name = field.name();
    if (isUtf8(name)) {
        out << "null";
        return;
    }
    out << "\"";
    for (char c : name)
        out << HexByte{static_cast<unsigned char>(c)};
    out << "\"";
}

void printKey(std::string_view key, Output& out)
{
    out << "\"" << key << "\": ";
}

void printJsonProfile(const ConfigBlock& block, std::size_t profile, Output& out, Output& err)
{
    out << "    {";
    for (std::size_t i = 0; i < fieldsPerProfile; ++i) {
        Field field = fieldAt(block, GLOBAL_SETTINGS.size() + profile * fieldsPerProfile + i);
        out << (i > 0 ? ", " : "");
        printKey(field.key, out);
        printJsonValue(field, out);
        if (field.kind == ValueKind::name) {
            out << ", ";
            printKey(NAME_BYTES, out);
            printNameBytes(field, out);
        }
        if (field.kind == ValueKind::none)
            warnNotCarried({}, 0, field, err);
    }
    ConfigBlock::Name name = block.name(profile);
    out << ", ";
    printKey(STORED, out);
    out << "{";
    printKey(PARTITION, out);
    out << static_cast<int>(block.partitionByte(profile)) << ", ";
    printKey(DRIVE, out);
    out << static_cast<int>(block.drive(profile)) << ", ";
    printKey(NAME, out);
    out << "[";
    for (std::size_t i = 0; i < name.size(); ++i)
        out << (i > 0 ? ", " : "") << static_cast<int>(name[i]);
    out << "]}}";
}

void printJsonSettings(const ConfigBlock& block, bool stored, Output& out, Output& err)
{
    out << "  ";
    printKey(stored ? STORED : SETTINGS, out);
    out << "{\n";
    for (std::size_t i = 0; i < GLOBAL_SETTINGS.size(); ++i) {
        Field field = fieldAt(block, i);
        out << "    ";
        printKey(field.key, out);
        if (stored)
            out << static_cast<int>(field.stored);
        else
            printJsonValue(field, out);
        if (!stored && field.kind == ValueKind::none)
            warnNotCarried({}, 0, field, err);
        out << (i + 1 < GLOBAL_SETTINGS.size() ? ",\n" : "\n");
    }
    out << "  },\n";
}

} // namespace

void printSettingsAsJson(const ConfigBlock& block, Output& out, Output& err)
{
    out << "{\n  ";
    printKey(FORMAT_VERSION, out);
    out << formatVersion << ",\n  ";
    printKey(VERSION, out);
    out << static_cast<int>(supportedVersion) << ",\n";
    printJsonSettings(block, false, out, err);
    printJsonSettings(block, true, out, err);
    out << "  ";
    printKey(PROFILES, out);
    out << "[\n";
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile) {
        printJsonProfile(block, profile, out, err);
        out << (profile + 1 < ConfigBlock::profileCount ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
}

} // namespace vornset
