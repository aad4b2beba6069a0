#include "platform/dataset/filterlike.h"

#include <gtest/gtest.h>

using kav::filter::LikePattern;

namespace {

struct LikeCase {
    const char* pattern;
    const char* text;
    bool matches;
};

TEST(LikePattern, MatchesPercentAndUnderscore) {
    const LikeCase cases[] = {
        {"", "", true},
        {"", "a", false},
        {"%", "", true},
        {"%%", "abc", true},
        {"abc", "abc", true},
        {"abc", "abcd", false},
        {"abc", "ABC", false},
        {"WEBDM%", "WEBDM01", true},
        {"WEBDM%", "XWEBDM", false},
        {"%DM%", "WEBDM01", true},
        {"%01", "WEBDM01", true},
        {"%01", "WEBDM010", false},
        {"a_c", "abc", true},
        {"a_c", "ac", false},
        {"a_c", "abbc", false},
        {"___", "ab", false},
        // The right branch needs backtracking past a first, misleading match.
        {"%ab", "aab", true},
        {"%a_", "aaa", true},
        {"a%b%c", "axxbyyc", true},
        {"a%b%c", "axxcyyb", false},
        {"%aab", "aaab", true},
        // _ is one character, whatever its length in UTF-8.
        {"_", "演", true},
        {"__", "演", false},
        {"_出", "演出", true},
        {"演_会", "演唱会", true},
        {"%会", "演唱会", true},
        {"%唱%", "演唱会", true},
        {"_\xF0\x9F\x8E\xB5_",
         "a\xF0\x9F\x8E\xB5"
         "b",
         true},
        // Broken UTF-8 counts byte by byte and never reads past the end.
        {"_", "\xE6", true},
        {"__", "\xE6\xBC", false},
        {"a_", "a\xE6\xBC", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LikePattern(c.pattern).Matches(c.text), c.matches) << c.pattern << " / " << c.text;
}

} // namespace
