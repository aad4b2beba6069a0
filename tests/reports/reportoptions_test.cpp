// kav-report's command line: what it accepts and the reason it gives for what it refuses.

#include "reports/cli/reportoptions.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;
using ::testing::HasSubstr;

namespace {

std::vector<std::string> Args(std::initializer_list<const char*> extra) {
    std::vector<std::string> args;
    for (const char* a : extra)
        args.emplace_back(a);
    return args;
}

} // namespace

TEST(ReportCommand, ReadsEveryOption) {
    const TReportCommand perform =
        ParseReportCommand(Args({"perform",    "--server", "box.example:7000", "--user",      "U001",
                                 "--password", "p w",      "--products",       "P0001, T'01", "--from",
                                 "2026-11-01", "--to",     "2026-11-30",       "--by-period", "no",
                                 "--source",   "2",        "--sort",           "place",       "--pdf",
                                 "a.pdf",      "--xlsx",   "a.xlsx",           "--layout",    "my.rep"}));
    EXPECT_EQ(perform.kind, TReportKind::Perform);
    EXPECT_EQ(perform.host, "box.example");
    EXPECT_EQ(perform.port, 7000);
    EXPECT_EQ(perform.password, "p w");
    EXPECT_EQ(perform.products, (std::vector<std::string>{"P0001", "T'01"}));
    EXPECT_EQ(FormatDateTimeIso(*perform.from), "2026-11-01 00:00:00");
    EXPECT_EQ(FormatDateTimeIso(*perform.to), "2026-11-30 23:59:59")
        << "a date alone ends at its last second";
    EXPECT_FALSE(perform.byPeriod);
    EXPECT_EQ(perform.source, "2");
    EXPECT_EQ(perform.sortOption, "PlaceName");
    EXPECT_EQ(perform.layout, "my.rep");

    const TReportCommand group = ParseReportCommand(
        Args({"group", "--server", "h:1", "--user", "U", "--products", "P1", "--groups", "G001", "--type",
              "2", "--side", "1", "--group-by", "performance", "--xlsx", "g.xlsx"}),
        "from the environment");
    EXPECT_EQ(group.password, "from the environment");
    EXPECT_EQ(group.type, 2);
    EXPECT_EQ(group.side, 1);
    EXPECT_TRUE(group.groupByProduct);
}

TEST(ReportCommand, RefusesWithTheReason) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const std::vector<std::string> base{"--server", "h:1", "--user", "U", "--pdf", "a.pdf"};
    const auto with = [&](std::initializer_list<const char*> extra) {
        std::vector<std::string> args = Args(extra);
        args.insert(args.begin() + 1, base.begin(), base.end());
        return args;
    };
    const Case cases[] = {
        {{}, "缺少报表种类"},
        {Args({"sales"}), "未知的报表种类 'sales'"},
        {with({"perform"}), "缺少 --products"},
        {with({"user", "--products", "P1"}), "缺少 --users"},
        {with({"group", "--products", "P1"}), "缺少 --groups"},
        {with({"perform", "--products", "P1,,P2"}), "空的代码"},
        {with({"perform", "--products", "P1", "--users", "U1"}), "--users 不适用于 perform"},
        {with({"user", "--products", "P1", "--users", "U1", "--source", "1"}), "--source 不适用于 user"},
        {with({"perform", "--products", "P1", "--source", "3"}), "--source 应为 0、1 或 2"},
        {with({"perform", "--products", "P1", "--by-period", "maybe"}), "--by-period 应为 yes 或 no"},
        {with({"perform", "--products", "P1", "--from", "yesterday"}), "--from 'yesterday' 不是时间"},
        {with({"perform", "--products", "P1", "--from", "2026-12-02", "--to", "2026-12-01"}),
         "--to 早于 --from"},
        {with({"perform", "--products", "P1", "--colour", "red"}), "--colour"},
        {with({"perform", "--products", "P1", "--products", "P2"}), "--products 重复"},
        {with({"perform", "--products"}), "--products 缺少值"},
        {Args({"perform", "--server", "h", "--user", "U", "--products", "P1", "--pdf", "a"}),
         "--server 应为 HOST:PORT"},
        {Args({"perform", "--server", "h:70000", "--user", "U", "--products", "P1", "--pdf", "a"}),
         "HOST:PORT"},
        {Args({"perform", "--user", "U", "--products", "P1", "--pdf", "a"}), "缺少 --server"},
        {Args({"perform", "--server", "h:1", "--user", "U", "--products", "P1"}), "至少需要 --pdf"},
    };
    for (const Case& c : cases) {
        try {
            ParseReportCommand(c.args);
            ADD_FAILURE() << "accepted: " << ::testing::PrintToString(c.args);
        } catch (const EReportUsage& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.reason)) << ::testing::PrintToString(c.args);
        }
    }
}
