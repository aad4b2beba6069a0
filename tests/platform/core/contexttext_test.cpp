#include "platform/core/contexttext.h"

#include <gtest/gtest.h>

using kav::ContextTextError;
using kav::TContextText;

TEST(ContextText, ReadsWhatItWritesWithChineseAndEqualsSigns) {
    TContextText context;
    context.SetValue("UserName", "售票员 张三");
    context.SetValue("SiteName", "a=b=c");
    context.SetValue("NodeCode", "01");
    const std::string text = context.Format();
    EXPECT_EQ(text, "UserName=售票员 张三\nSiteName=a=b=c\nNodeCode=01\n");
    EXPECT_EQ(TContextText::Parse(text).Entries(), context.Entries());
}

TEST(ContextText, ToleratesWindowsLineEndsAndEmptyLinesAndKeepsEmptyValues) {
    const TContextText context = TContextText::Parse("\r\nNodeCode=01\r\n\r\nOwnerCode=\r\nUserCode=u1");
    EXPECT_EQ(context.Value("NodeCode"), "01");
    EXPECT_EQ(context.TryValue("OwnerCode"), std::optional<std::string>(""));
    EXPECT_EQ(context.Value("UserCode"), "u1");
    EXPECT_EQ(context.TryValue("GroupCode"), std::nullopt);
}

TEST(ContextText, NamesMatchIgnoringCaseAndSettingKeepsThePlace) {
    TContextText context = TContextText::Parse("NodeCode=01\nUserCode=u1\n");
    EXPECT_EQ(context.Value("NODECODE"), "01");
    context.SetValue("nodecode", "02");
    context.Remove("USERCODE");
    EXPECT_EQ(context.Format(), "NodeCode=02\n");
}

TEST(ContextText, NamesMayHoldUnderscores) {
    // The member system's form fields (MC_Time, order_number) travel in this format too.
    EXPECT_EQ(TContextText::Parse("MC_Time=1\norder_number=K1\n").Value("ORDER_NUMBER"), "K1");
}

TEST(ContextText, RefusesTextThatIsNotAContext) {
    for (const char* text :
         {"NodeCode", "=01", "Node Code=01", "Node-Code=01", "NodeCode=01\nnodecode=02", "用户=x"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(TContextText::Parse(text), ContextTextError);
    }
}

TEST(ContextText, RefusesValuesThatWouldAddALine) {
    // A line break in a value would let a user name smuggle in a second NodeCode line.
    TContextText context;
    EXPECT_THROW(context.SetValue("UserName", "x\nNodeCode=99"), ContextTextError);
    EXPECT_THROW(context.SetValue("UserName", "x\r"), ContextTextError);
    EXPECT_THROW(context.SetValue("", "x"), ContextTextError);
    EXPECT_TRUE(context.Entries().empty());
}
