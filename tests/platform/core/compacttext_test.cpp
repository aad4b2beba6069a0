// A compact text must behave as the std::string it stands in for: the same bytes back whatever
// their length, copies that own their bytes, and assignments from itself or a part of itself.
#include "platform/core/compacttext.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>

using namespace kav;

TEST(CompactText, KeepsEveryLengthAcrossTheInlineLimit) {
    for (std::size_t size = 0; size <= 40; ++size) {
        std::string text;
        for (std::size_t i = 0; i < size; ++i)
            text.push_back(static_cast<char>('a' + i % 26));
        if (size > 3) text[size / 2] = '\0'; // bytes are kept as given
        const TCompactText built(text);
        EXPECT_EQ(built.view(), text) << size;
        EXPECT_EQ(built.size(), size);
        EXPECT_EQ(built.empty(), size == 0);
        TCompactText assigned = "x";
        assigned = text;
        EXPECT_EQ(assigned.view(), text) << size;
        assigned = std::string_view("中文");
        EXPECT_EQ(assigned, "中文") << size;
    }
}

TEST(CompactText, CopiesAndMovesOwnTheirBytes) {
    const std::string longText = "售票系统的一个很长的名称"; // on the heap
    for (const std::string& text : {std::string("short"), longText}) {
        TCompactText original(text);
        TCompactText copy(original);
        original = "changed";
        EXPECT_EQ(copy, text);
        TCompactText assigned;
        assigned = copy;
        copy.clear();
        EXPECT_EQ(assigned, text);
        EXPECT_TRUE(copy.empty());

        TCompactText moved(std::move(assigned));
        EXPECT_EQ(moved, text);
        EXPECT_TRUE(assigned.empty()); // NOLINT: a moved-from text is empty and usable
        assigned = std::move(moved);
        EXPECT_EQ(assigned, text);
        assigned = std::move(assigned); // NOLINT: self-move keeps the text
        EXPECT_EQ(assigned, text);
    }
}

TEST(CompactText, AssignsFromItselfAndItsOwnParts) {
    TCompactText inlineText("0123456789abcde"); // 15 bytes, the longest kept inline
    inlineText = inlineText.view().substr(3);
    EXPECT_EQ(inlineText, "3456789abcde");
    inlineText = inlineText;
    EXPECT_EQ(inlineText, "3456789abcde");

    TCompactText heapText("0123456789abcdefghij");
    heapText = heapText.view().substr(2); // shorter: a new block, the old one read first
    EXPECT_EQ(heapText, "23456789abcdefghij");
    heapText = heapText.view().substr(1, 5); // back inline
    EXPECT_EQ(heapText, "34567");

    TCompactText sameSize("abcdefghijklmnopqrst");
    const char* block = sameSize.data();
    sameSize = std::string("ABCDEFGHIJKLMNOPQRST"); // same length: the block is reused
    EXPECT_EQ(sameSize, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(sameSize.data(), block);
}

TEST(CompactText, ComparesAndPrintsAsItsText) {
    const TCompactText code("B");
    EXPECT_TRUE(code == "B");
    EXPECT_TRUE("B" == code);
    EXPECT_TRUE(code == std::string("B"));
    EXPECT_TRUE(code == TCompactText("B"));
    EXPECT_FALSE(code == "BB");
    EXPECT_FALSE(code == std::string_view("B\0", 2));
    EXPECT_EQ(code.str(), "B");
    std::ostringstream out;
    out << TCompactText("订单") << '|';
    EXPECT_EQ(out.str(), "订单|");
}
