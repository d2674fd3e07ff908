// The JSON reader at each of its bounds: the hex digits of \u escapes, the UTF-8 it
// stores them as, surrogate pairs, the nesting limit, numbers with exponents, and
// the lines its refusals name.

#include "formats/settings_json.h"
#include "output/messages.h"
#include "string_output.h"

#include <gtest/gtest.h>

#include <string>

namespace vornset {
namespace {

// What the document gives: "" where it is taken, else its refusal as printed after
// "Parameter error: load, ": "line N: settings.cntval, reason".
std::string refusalOf(const std::string& document, Plan& plan)
{
    std::optional<Refusal> refused = readSettingsJson(document, 1, plan);
    if (!refused)
        return "";
    testing::StringOutput printed;
    printRefusal(*refused, printed);
    std::string_view text = printed.text;
    text.remove_prefix(std::min(text.size(), std::string_view("Parameter error: load, ").size()));
    text.remove_suffix(text.ends_with('\n') ? 1 : 0);
    return std::string(text);
}

std::string refusalOf(const std::string& document)
{
    Plan plan;
    return refusalOf(document, plan);
}

// The bytes that a name written as the JSON string's content is stored as, or the
// refusal.
std::string nameFrom(const std::string& content, int version = 2)
{
    Plan plan;
    std::string refused = refusalOf("{\"format_version\": " + std::to_string(version)
                                        + ", \"profiles\": [{\"prf\": 1, \"prfname\": \"" + content + "\"}]}",
                                    plan);
    if (!refused.empty())
        return refused;
    return std::string(textOf(plan.files.profiles[0].name.value_or(ConfigBlock::Name{})));
}

constexpr std::string_view notJson = "line 1: not valid JSON";

TEST(JsonReader, HexDigitsOfAnEscapeAndTheCharactersJustOutsideThem)
{
    const std::pair<char, const char*> digits[] = {
        {'0', "@"}, {'9', "I"}, {'a', "J"}, {'f', "O"}, {'A', "J"}, {'F', "O"},
    };
    for (auto [digit, stored] : digits)
        EXPECT_EQ(nameFrom(std::string("\\u004") + digit), stored) << digit;
    for (char outside : {'/', ':', '@', 'G', '`', 'g'}) {
        EXPECT_EQ(nameFrom(std::string("\\u004") + outside), notJson) << outside;
        EXPECT_EQ(nameFrom(std::string("\\u") + outside + "041"), notJson) << outside;
    }
    // Each digit by its weight, the first the highest.
    EXPECT_EQ(nameFrom("\\u0100"), "\xc4\x80");
    EXPECT_EQ(nameFrom("\\u1000"), "\xe1\x80\x80");
    EXPECT_EQ(nameFrom("\\u004"), notJson) << "three digits";
}

// Every character is stored as its UTF-8, each length at its first and last code
// point; version 1 read \u0080 to \u00ff as single bytes.
TEST(JsonReader, EscapesAreStoredAsUtf8AtEachLengthsBounds)
{
    const std::pair<const char*, const char*> characters[] = {
        {"\\u0001", "\x01"},
        {"\\u007f", "\x7f"},
        {"\\u0080", "\xc2\x80"},
        {"\\u07ff", "\xdf\xbf"},
        {"\\u0800", "\xe0\xa0\x80"},
        {"\\u0fc1", "\xe0\xbf\x81"},
        {"\\uffff", "\xef\xbf\xbf"},
        {"\\ud800\\udc00", "\xf0\x90\x80\x80"},
        {"\\ud800\\udfff", "\xf0\x90\x8f\xbf"},
        {"\\udbff\\udc00", "\xf4\x8f\xb0\x80"},
        {"\\udbff\\udfff", "\xf4\x8f\xbf\xbf"},
        {"\\ud7ff", "\xed\x9f\xbf"},
        {"\\ue000", "\xee\x80\x80"},
        {"\\\"\\\\\\/\\b\\f\\n\\r\\t", "\"\\/\b\f\n\r\t"},
        {"\xc3\xa9\xf0\x9f\x98\x80", "\xc3\xa9\xf0\x9f\x98\x80"},
    };
    for (auto [escaped, stored] : characters)
        EXPECT_EQ(nameFrom(escaped), stored) << escaped;
    const std::pair<const char*, const char*> version1[] = {
        {"\\u007f", "\x7f"}, {"\\u0080", "\x80"}, {"\\u00ff", "\xff"}, {"\\u0100", "\xc4\x80"},
    };
    for (auto [escaped, stored] : version1)
        EXPECT_EQ(nameFrom(escaped, 1), stored) << escaped;
}

TEST(JsonReader, ASurrogateOnlyInAPairHighThenLow)
{
    for (const char* lone : {"\\ud800", "\\udbff", "\\udc00", "\\udfff", "\\udc00\\ud800", "\\ud800\\ud800",
                             "\\ud800x", "\\ud800\\u0041", "\\ud800\\ue000", "\\ud800\\udbff"})
        EXPECT_EQ(nameFrom(lone), notJson) << lone;
}

// Sixteen levels of arrays or objects in a value, and not seventeen.
TEST(JsonReader, NestingUpToItsLimit)
{
    auto arrays = [](std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    auto objects = [](std::size_t depth) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i)
            text += "{\"a\": ";
        return text + "1" + std::string(depth, '}');
    };
    for (std::size_t depth : {15u, 16u}) {
        EXPECT_EQ(refusalOf("{\"stored\": " + arrays(depth) + ", \"settings\": {\"cntval\": 5}}"), "") << depth;
        EXPECT_EQ(refusalOf("{\"stored\": " + objects(depth) + ", \"settings\": {\"cntval\": 5}}"), "") << depth;
    }
    EXPECT_EQ(refusalOf("{\"stored\": " + arrays(17) + ", \"settings\": {\"cntval\": 5}}"), notJson);
    EXPECT_EQ(refusalOf("{\"stored\": " + objects(17) + ", \"settings\": {\"cntval\": 5}}"), notJson);
}

// JSON's numbers pass where a value is only read; where a setting takes one, it must
// be written as an integer.
TEST(JsonReader, NumbersWithExponentsAreJsonButNoSettingsValue)
{
    for (const char* number : {"1e0", "1E+2", "1e-1", "1E-0", "-0.5e10", "0", "-0", "10.25"})
        EXPECT_EQ(refusalOf(std::string("{\"stored\": [") + number + "], \"settings\": {\"cntval\": 5}}"), "") << number;
    for (const char* number : {"1e", "1E+", "1e-", "1e+-1", "1.", ".5", "-", "+1", "01", "1.e1", "0x1"})
        EXPECT_EQ(refusalOf(std::string("{\"stored\": [") + number + "], \"settings\": {\"cntval\": 5}}"), notJson)
            << number;
    for (const char* number : {"1e0", "1E+1", "5.0"})
        EXPECT_EQ(refusalOf(std::string("{\"settings\": {\"cntval\": ") + number + "}}"),
                  "line 1: settings.cntval, only values 1-99 are valid")
            << number;
}

// A refusal names the line its value, key or fault stands on: the first, the last,
// after CR LF line ends, and the line that ends a profile without a number.
TEST(JsonReader, RefusalsNameTheirLine)
{
    const std::pair<std::string, std::string> documents[] = {
        {"{\"settings\": {\"cntval\": 0}}", "line 1: settings.cntval, only values 1-99 are valid"},
        {"{\n\"settings\": {\n\"cntval\":\n0}}", "line 4: settings.cntval, only values 1-99 are valid"},
        {"{\r\n\"settings\":\r\n{\"cntval\": 0}}\r\n", "line 3: settings.cntval, only values 1-99 are valid"},
        {"{\r\n\"settings\": {\"cntval\": 5}}\r\n\r\nx", "line 4: not valid JSON"},
        {"{\"settings\": {\n", "line 2: not valid JSON"},
        {"{\n\"settings\": {\"vm\": \"text\",\n\"vm\": \"text\"}}", "line 3: settings.vm, given twice"},
        {"{\"profiles\": [{\n\"btlog\": 1\n}]}", "line 3: profiles[0].prf, only values 1-16 are valid"},
        {"{\"profiles\": [{\"prf\": 1,\n\n\"prfname\": 1}]}", "line 3: profiles[0].prfname, a string is expected"},
        {"\n\n{\"nope\": 1}", "line 3: nope, no such key"},
    };
    for (const auto& [document, refusal] : documents)
        EXPECT_EQ(refusalOf(document), refusal) << document;
}

// A refusal names where its value stands as a path into the document: a profile by
// its position in the list, whatever its number; a key that is none with the key of
// its own object it likely means.
TEST(JsonReader, RefusalsNameTheValuesPath)
{
    const std::pair<std::string, std::string> documents[] = {
        {"{\"profiles\": [{\"prf\": 4, \"btlog\": 1},\n{\"prf\": 2, \"prfname\": \"" + std::string(17, 'a') + "\"}]}",
         "line 2: profiles[1].prfname, at most 16 bytes"},
        {"{\"profiles\": [{\"prf\": 4}, {\"prf\": 2}, {\"prf\": 1, \"btlog\": 1, \"btlog\": 2}]}",
         "line 1: profiles[2].btlog, given twice"},
        {"{\"version\": 7, \"version\": 7}", "line 1: version, given twice"},
        {"{\"profiles\": [],\n\"profiles\": [{\"prf\": 1}, {\"prf\": 2}]}", "line 2: profiles, given twice"},
        {"{\"profiles\": [{\"prf\": 4}, {\"prf\": 17}]}", "line 1: profiles[1].prf, only values 1-16 are valid"},
        {"{\"settings\": {\"cntvl\": 5}}", "line 1: settings.cntvl, no such key; did you mean cntval?"},
        {"{\"settings\": {\"CNTVAL\": 5}}", "line 1: settings.CNTVAL, no such key; did you mean cntval?"},
        {"{\"profiles\": [{\"prf\": 1, \"prfnme\": \"x\"}]}", "line 1: profiles[0].prfnme, no such key; did you mean prfname?"},
        {"{\"setings\": {\"cntval\": 5}}", "line 1: setings, no such key; did you mean settings?"},
        {"{\"format_versionxx\": 2}", "line 1: format_versionxx, no such key; did you mean format_version?"},
        // Only the keys of the value's own object are suggested.
        {"{\"settings\": {\"prfnam\": \"x\"}}", "line 1: settings.prfnam, no such key"},
        {"{\"profiles\": [{\"prf\": 1, \"cntvl\": 5}]}", "line 1: profiles[0].cntvl, no such key"},
    };
    for (const auto& [document, refusal] : documents)
        EXPECT_EQ(refusalOf(document), refusal) << document;
}

// The whole document is JSON, checked before anything in it is read: strings are UTF-8
// and hold no lone surrogate whatever the version and wherever they stand, no object
// holds a key twice, one depth rule holds everywhere, and the version that tells what
// the strings mean is found wherever it stands.
TEST(JsonReader, ChecksTheWholeDocumentBeforeReadingAny)
{
    auto nested = [](std::size_t depth) { return std::string(depth, '[') + "1" + std::string(depth, ']'); };
    const std::pair<std::string, std::string> documents[] = {
        {"{\"stored\": \"\xff\", \"settings\": {\"cntval\": 5}}", std::string(notJson)},
        {"{\"stored\": \"\x80\", \"settings\": {\"cntval\": 5}}", std::string(notJson)},
        {"{\"stored\": \"\x7f\xf0\x9f\x98\x80\", \"settings\": {\"cntval\": 5}}", ""},
        {"{\"stored\": \"\\udc00\", \"settings\": {\"cntval\": 5}}", std::string(notJson)},
        {"{\"stored\": {\"cntval\": 1, \"cntval\": 2}, \"settings\": {\"cntval\": 5}}", "line 1: stored.cntval, given twice"},
        {"{\"format_version\": 1, \"profiles\": [{\"prf\": 1, \"prfname\": \"E\xe9\"}]}", std::string(notJson)},
        {"{\"profiles\": [{\"prf\": 2, \"btlog\": 1, \"stored\": " + nested(14) + "}], \"format_version\": 3}",
         "line 1: format_version, only 1 and 2 are valid"},
        {"{\"profiles\": [{\"prf\": 2, \"btlog\": 1, \"stored\": " + nested(15) + "}], \"format_version\": 2}", std::string(notJson)},
    };
    for (const auto& [document, refusal] : documents)
        EXPECT_EQ(refusalOf(document), refusal) << document;
    Plan plan;
    EXPECT_EQ(refusalOf("{\"profiles\": [{\"prf\": 1, \"prfname\": \"E\\u00e9\", \"stored\": " + nested(14)
                            + "}], \"format_version\": 1}",
                        plan),
              "");
    EXPECT_EQ(std::string(textOf(*plan.files.profiles[0].name)), "E\xe9") << "version 1 reads \\u00e9 as one byte";
}

// What stands where an object or a list belongs is refused as what it is; two faults
// in one profile, the first as the document has them.
TEST(JsonReader, RefusesWhatIsNoObjectAsSuchAndFaultsInTheirOrder)
{
    const std::pair<std::string, std::string> documents[] = {
        {"{\"settings\": null}", "line 1: settings, an object is expected"},
        {"{\"settings\": [1]}", "line 1: settings, an object is expected"},
        {"{\"profiles\": [5]}", "line 1: profiles[0], an object is expected"},
        {"{\"profiles\": null}", "line 1: profiles, a list of profiles is needed"},
        {"{\"profiles\": [{\"btdrv\": \"8ah\", \"prf\": 99}]}", "line 1: profiles[0].btdrv, only values 80h-89h are valid"},
        {"{\"profiles\": [{\"prf\": 99, \"btdrv\": \"8ah\"}]}", "line 1: profiles[0].prf, only values 1-16 are valid"},
        {"{\"profiles\": [{\"prf\": 2}]}", ""},
    };
    for (const auto& [document, refusal] : documents)
        EXPECT_EQ(refusalOf(document), refusal) << document;
}

} // namespace
} // namespace vornset
