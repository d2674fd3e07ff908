#include "options/param.h"

#include <gtest/gtest.h>

#include <string>

namespace vornset {
namespace {

TEST(Carries, MatchesTheKeyWithItsEqualsSignAsAPrefix)
{
    EXPECT_TRUE(carries("cnt=on", "cnt"));
    EXPECT_TRUE(carries("prfname=", "prfname"));
    for (const char* other : {"cntval=5", "CNT=on", "cnt", "cn=on", " cnt=on", "", "=cnt="})
        EXPECT_FALSE(carries(other, "cnt")) << other;
    EXPECT_FALSE(carries("prfname=x", "prf"));
}

TEST(ParseNumber, ReadsLikeAtoi)
{
    const std::pair<const char*, int> cases[] = {
        {"7", 7},     {"7s", 7},       {"abc", 0},      {"", 0},          {" \t\n\v\f\r12", 12},
        {"+5", 5},    {"-5", -5},      {"- 5", 0},      {"+-5", 0},       {"0x10", 0},
        {"-0", 0},    {"2147483647", 2147483647},       {"-2147483648", -2147483647 - 1},
    };
    for (auto [text, number] : cases)
        EXPECT_EQ(parseNumber(text), number) << text;
    EXPECT_EQ(parseNumber(std::string(300, '0') + "7"), 7);
}

TEST(ParseNumber, NumbersBeyondAnIntAreNotWrappedIntoRange)
{
    for (const char* text : {"2147483648", "4294967297", "99999999999999999999", "-4294967295", "-2147483649"})
        EXPECT_EQ(parseNumber(text), std::nullopt) << text;
}

} // namespace
} // namespace vornset
