#include "platform/core/textcodec.h"

#include <gtest/gtest.h>

using namespace kav;

TEST(TextCodec, AnsiRoundTripKeepsChineseAndAscii) {
    const std::string text = "无效的数据格式!";
    const std::string ansi = Utf8ToAnsi(text);
    // GBK: two bytes per Han character, ASCII unchanged.
    EXPECT_EQ(ansi.size(), 2u * 7 + 1);
    EXPECT_EQ(static_cast<unsigned char>(ansi[0]), 0xCE); // 无 = CE DE in GBK
    EXPECT_EQ(static_cast<unsigned char>(ansi[1]), 0xDE);
    EXPECT_EQ(AnsiToUtf8(ansi), text);
    EXPECT_EQ(Utf8ToAnsi("abc"), "abc");
    // GB18030 covers every code point, so characters outside GBK survive too.
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi("😀€")), "😀€");
}

TEST(TextCodec, BadBytesAreRefusedWithTheOffset) {
    EXPECT_THROW(Utf8ToAnsi("ab\xFF"), TextCodecError);
    try {
        AnsiToUtf8("ab\x81");
        FAIL();
    } catch (const TextCodecError& e) {
        EXPECT_NE(std::string(e.what()).find("byte 2"), std::string::npos) << e.what();
    }
}

TEST(TextCodec, Utf16) {
    EXPECT_EQ(Utf8ToUtf16("a中😀"), (std::u16string{u'a', u'中', 0xD83D, 0xDE00}));
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', u'中', 0xD83D, 0xDE00}), "a中😀");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx"); // lone surrogate
    EXPECT_THROW(Utf8ToUtf16("\xC0\x80"), TextCodecError);                 // overlong NUL
    EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));                                 // truncated
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                             // encoded surrogate
}

TEST(TextCodec, CaseFoldingTouchesAsciiOnly) {
    EXPECT_EQ(AsciiUpper("OrderCode中"), "ORDERCODE中");
    EXPECT_TRUE(EqualsIgnoringCase("ITPTicketOffice", "itpticketoffice"));
    EXPECT_FALSE(EqualsIgnoringCase("abc", "abd"));
}
