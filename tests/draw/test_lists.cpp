#include "draw/lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> entries;
};

// GB18030 bytes written out, so the test does not depend on the source charset.
const std::string yi_deng_jiang = "\xD2\xBB\xB5\xC8\xBD\xB1"; // 一等奖
const std::string er_deng_jiang = "\xB6\xFE\xB5\xC8\xBD\xB1"; // 二等奖
const std::string four_byte = "\x81\x30\x81\x30";             // U+0080, a four-byte form
const std::string emoji = "\x94\x39\xDA\x33";                 // U+1F600, outside GBK

const SplitCase split_cases[] = {
    {"Empty", "", {}},
    {"OneLine", "abc", {"abc"}},
    {"TwoLines", "a\r\nb", {"a", "b"}},
    {"FinalBreakAddsNothing", "a\r\nb\r\n", {"a", "b"}},
    {"LeadingBreak", "\r\na", {"", "a"}},
    {"EmptyMiddleLine", "a\r\n\r\nb", {"a", "", "b"}},
    {"OnlyBreak", "\r\n", {""}},
    {"TwoBreaks", "\r\n\r\n", {"", ""}},
    {"TwoFinalBreaksGiveOneEmptyEntry", "a\r\n\r\n", {"a", ""}},
    {"LoneCrIsACharacter", "a\r", {"a\r"}},
    {"LoneCrBeforeBreak", "a\r\r\nb", {"a\r", "b"}},
    {"LoneLfIsACharacter", "a\nb", {"a\nb"}},
    {"Chinese", yi_deng_jiang + "\r\n" + er_deng_jiang, {yi_deng_jiang, er_deng_jiang}},
    // 0x81 and the CR make one character, so the LF after them is no break.
    {"CrInsideTwoByteCharacter", "\x41\x81\x0D\x0A\x42", {"\x41\x81\x0D\x0A\x42"}},
    {"SpacesAreAnEntry", "   ", {"   "}},
    {"FourByteBeforeBreak", four_byte + "\r\n" + emoji, {four_byte, emoji}},
    {"FourByteAfterBreak", "x\r\n" + emoji + "\r\n", {"x", emoji}},
    {"FourByteAlone", emoji, {emoji}},
    // A lead byte at the very end has no partner; it stays in the last entry.
    {"TrailingLeadByte", "a\r\n\xB6", {"a", "\xB6"}},
};

class SplitLines : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, GivesTheEntriesInOrder) {
    const auto& c = GetParam();
    const TextList got = split_lines(c.text);
    EXPECT_EQ(got, TextList(c.entries.begin(), c.entries.end()));
}

INSTANTIATE_TEST_SUITE_P(Table, SplitLines, testing::ValuesIn(split_cases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SplitLinesLarge, EveryLineOfALongListIsAnEntry) {
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += std::to_string(i) + "\r\n";
    const TextList got = split_lines(text);
    ASSERT_EQ(got.size(), 40000u);
    EXPECT_EQ(got.front(), "0");
    EXPECT_EQ(got.back(), "39999");
}

} // namespace
