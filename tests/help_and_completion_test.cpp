// The help's words for the ranges and the shell completion keep texts of their own;
// these tests hold them against the tables that every other use of a setting is made
// from. The help screen, made from the tables, is held byte for byte end to end.

#include "output/help.h"
#include "settings/settings.h"

#include "tests/string_output.h"

#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace vornset {
namespace {

// Each number range stands in the help's words for it, both ends.
TEST(SettingsTable, RangesAreTheOnesTheHelpScreenNames)
{
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        if (!takesNumber(setting))
            continue;
        std::string lowest = std::to_string(setting.numbers.lowest), highest = std::to_string(setting.numbers.highest);
        EXPECT_TRUE(std::regex_search(std::string(setting.values), std::regex("\\b" + lowest + "\\b.*\\b" + highest + "\\b")))
            << setting.key;
        EXPECT_NE(setting.refusal.find(lowest + "-" + highest), std::string_view::npos) << setting.key;
    }
}

std::string completionScript()
{
    std::ifstream file(VORNSET_COMPLETION);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The words the completion offers after each key, by key.
std::map<std::string, std::string> completedValues(const std::string& script)
{
    std::map<std::string, std::string> values;
    std::regex line(R"(\n\s+([a-z0-9 |]+)\) echo \"([^\"]*)\" ;;)");
    for (auto match = std::sregex_iterator(script.begin(), script.end(), line); match != std::sregex_iterator(); ++match) {
        std::stringstream keys((*match)[1].str());
        for (std::string key; keys >> key;)
            if (key != "|")
                values[key] = (*match)[2].str();
    }
    return values;
}

// The words in the order readline lists them.
std::string joined(std::span<const std::string_view> words)
{
    std::vector<std::string> sorted(words.begin(), words.end());
    std::sort(sorted.begin(), sorted.end());
    std::string text;
    for (const std::string& word : sorted)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string sortedWords(const std::string& text)
{
    std::stringstream words(text);
    std::vector<std::string> list;
    for (std::string word; words >> word;)
        list.push_back(word);
    std::vector<std::string_view> views(list.begin(), list.end());
    return joined(views);
}

std::string numbers(const NumberRange& range)
{
    std::string text;
    for (int n = range.lowest; n <= range.highest; ++n)
        text += (text.empty() ? "" : " ") + std::to_string(n);
    return text;
}

TEST(SettingsTable, TheCompletionOffersEveryKeyAndTheWordsEachTakes)
{
    std::string script = completionScript();
    ASSERT_FALSE(script.empty()) << VORNSET_COMPLETION;
    std::map<std::string, std::string> values = completedValues(script);
    std::string keys;
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        keys += std::string(setting.key) + "= ";
        if (!takesNumber(setting)) {
            EXPECT_EQ(sortedWords(values[std::string(setting.key)]), joined(setting.words)) << setting.key;
        } else if (setting.numbers.highest <= 16) {
            EXPECT_EQ(values[std::string(setting.key)], numbers(setting.numbers)) << setting.key;
        }
    }
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        keys += std::string(setting.key) + "= ";
        if (setting.numbers.highest > 0) {
            EXPECT_EQ(values[std::string(setting.key)], numbers(setting.numbers)) << setting.key;
        }
    }
    EXPECT_EQ(values["btdrv"], "80h 81h 82h 83h 84h 85h 86h 87h 88h 89h");
    EXPECT_NE(script.find("local keys=\"" + keys + "show= load= write=\""), std::string::npos) << keys;
}

} // namespace
} // namespace vornset
