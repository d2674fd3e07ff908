// How text from outside the tool prints: every character of valid UTF-8 as it is but
// the controls, every byte that starts no valid character as it is but the controls,
// and controls as "?".

#include "output/output.h"

#include "tests/string_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace vornset {
namespace {

std::string printed(std::string_view text)
{
    testing::StringOutput out;
    out << Printable{text};
    return out.text;
}

TEST(Printable, EachBoundOfUtf8AndOfTheControls)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\x1f \x20 \x7e \x7f", "? \x20 ~ ?"},
        // C1 controls as characters and as stray bytes, and the first after them.
        {"\xc2\x80|\xc2\x9f|\xc2\xa0", "?|?|\xc2\xa0"},
        {"\x80|\x9f|\xa0", "?|?|\xa0"},
        // The shortest forms only: below U+0080 in two bytes, U+0800 in three, U+10000 in four.
        {"\xc1\xbf", "\xc1\xbf"},
        {"\xdf\xbf\x80", "\xdf\xbf?"},
        {"\xe0\x9f\xbf", "\xe0?\xbf"},
        {"\xe0\xa0\x80", "\xe0\xa0\x80"},
        {"\xf0\x8f\xbf\xbf", "\xf0?\xbf\xbf"},
        {"\xf0\x90\x80\x80", "\xf0\x90\x80\x80"},
        // The last code point, and past it; surrogates.
        {"\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},
        {"\xf4\x90\x80\x80", "\xf4???"},
        {"\xf5\x80\x80\x80", "\xf5???"},
        {"\xed\x9f\xbf", "\xed\x9f\xbf"},
        {"\xed\xa0\x80", "\xed\xa0?"},
        {"\xee\x80\x80", "\xee\x80\x80"},
        // Sequences cut short, and a continuation byte alone.
        {"\xe2\x82", "\xe2?"},
        {"\xf0\x9f\x98", "\xf0??"},
        {"\xe2\x82\x41", "\xe2?A"},
        {"\xbf", "\xbf"},
    };
    for (auto [text, expected] : cases) {
        EXPECT_EQ(printed(text), expected) << ::testing::PrintToString(std::string(text));
        EXPECT_EQ(printedSize(Printable{text}), expected.size());
        EXPECT_EQ(holdsControl(text), expected.find('?') != std::string_view::npos);
    }
}

TEST(HexByte, EveryByteAsTwoLowerCaseDigits)
{
    for (unsigned value = 0; value < 256; ++value) {
        testing::StringOutput out;
        out << HexByte{static_cast<unsigned char>(value)};
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02x", value);
        EXPECT_EQ(out.text, expected);
    }
}

TEST(ErrorLines, PutTheToolsNameBeforeEachLine)
{
    testing::StringOutput err;
    ErrorLines lines(err);
    lines << "Error: one\n  two" << " more\n" << "three\n";
    EXPECT_EQ(err.text, "vornset: Error: one\nvornset:   two more\nvornset: three\n");
}

} // namespace
} // namespace vornset
