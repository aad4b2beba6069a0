#include "host/kavcontext.h"
#include "host/sqltext.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace kav;

TEST(KavContext, GivesBackTheIssuedTextByteForByte) {
    // The server verifies a signature over these exact bytes, so even line ends must survive.
    const std::string issued = "NodeCode=01\r\nUserCode=demo\r\nUserName=演示\r\nGroupCode=G01\r\n"
                               "GroupType=1\r\nOwnerCode=C01\r\nSiteCode=S01\r\nSiteName=一号售票点\r\n"
                               "Signature=00ff\r\n";
    TKavContext context;
    context.SetAsString(issued);
    EXPECT_EQ(context.GetAsString(), issued);
    EXPECT_EQ(context.NodeCode(), "01");
    EXPECT_EQ(context.UserCode(), "demo");
    EXPECT_EQ(context.UserName(), "演示");
    EXPECT_EQ(context.GroupCode(), "G01");
    EXPECT_EQ(context.GroupType(), "1");
    EXPECT_EQ(context.Owner().GetOwnerCode(), "C01");
    EXPECT_EQ(context.SiteCode(), "S01");
    EXPECT_EQ(context.SiteName(), "一号售票点");
}

TEST(KavContext, BadTextLeavesThePreviousContext) {
    TKavContext context;
    context.SetAsString("NodeCode=01\n");
    EXPECT_THROW(context.SetAsString("garbage"), ContextTextError);
    EXPECT_EQ(context.GetAsString(), "NodeCode=01\n");
    EXPECT_EQ(context.NodeCode(), "01");
    EXPECT_EQ(context.Owner().GetOwnerCode(), "");
}

TEST(SqlText, ApostrophesAreDoubledSoAValueNeverEndsItsLiteral) {
    EXPECT_EQ(SqlEscape(""), "");
    EXPECT_EQ(SqlEscape("O'Brien"), "O''Brien");
    EXPECT_EQ(SqlQuote("''"), "''''''");
    EXPECT_EQ(SqlQuote("张'三"), "'张''三'");
    EXPECT_EQ(SqlFormat("select * from KAV_ORDER_SHOW where ORDERCODE = '%s' and NODECODE = '%s'",
                        {"x' or '1'='1", "01"}),
              "select * from KAV_ORDER_SHOW where ORDERCODE = 'x'' or ''1''=''1' and NODECODE = '01'");
    EXPECT_EQ(SqlFormat("select %d, '100%%', '%s'", {std::int64_t{-7}, "a%sb"}), "select -7, '100%', 'a%sb'");
}

TEST(SqlText, FormatRefusesPatternsThatDoNotMatchTheirArguments) {
    struct Case {
        const char* pattern;
        std::initializer_list<SqlArgument> arguments;
    };
    const Case cases[] = {
        {"where A = %s", {"x"}},        // outside apostrophes: the value would be SQL
        {"where A = '%s", {"x"}},       // only an opening apostrophe
        {"where A = '%s'", {}},         // too few
        {"where A = '%s'", {"x", "y"}}, // too many
        {"where A = %d", {"1"}},        // text for a number
        {"where A = '%s'", {std::int64_t{1}}},
        {"where A like 'x%'", {}}, // a lone % before an apostrophe
        {"100%", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_THROW(SqlFormat(c.pattern, c.arguments), std::invalid_argument);
    }
}
