// Every statement the client sends finds rows in the demo data, so that every window and report
// has something to show. The catalogue's literal dates were written on a fixed day; they are
// moved by as many days as today is past it, as the client would have written them today.
#include "cataloguecases.h"
#include "platform/dataset/clientdataset.h"
#include "seedtesting.h"
#include "testdatabase.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace kav::server::test {
namespace {

using Statement = kav::test::CatalogueStatement;

const std::vector<Statement>& Catalogue() {
    return kav::test::StatementCatalogue();
}

// Moves every 'yyyy-mm-dd' literal (with or without a time) by `days`.
std::string MoveDates(const std::string& sql, int days) {
    static const std::regex kDate(R"('(\d{4})-(\d{2})-(\d{2}))");
    std::string moved;
    auto last = sql.cbegin();
    for (std::sregex_iterator it(sql.begin(), sql.end(), kDate), end; it != end; ++it) {
        const auto& m = *it;
        moved.append(last, m[0].first);
        const TDateTime date = EncodeDate(std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])) + days;
        moved += "'" + FormatDateIso(date);
        last = m[0].second;
    }
    moved.append(last, sql.cend());
    return moved;
}

int DaysSinceCatalogue() {
    return static_cast<int>(Today() - EncodeDate(kCatalogueYear, kCatalogueMonth, kCatalogueDay));
}

int NestedRows(TClientDataSet& ds, const std::string& field) {
    int rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next())
        rows += ds.FieldByName(field).NestedDataSet().RecordCount();
    return rows;
}

class SeedStatementTest : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(SeedStatementTest, FindsRows) {
    const auto [backend, index] = GetParam();
    const Statement& statement = Catalogue()[index];
    const std::string sql = MoveDates(statement.sql, DaysSinceCatalogue());
    auto connection = DemoDatabase(backend).Connect();
    TClientDataSet ds;
    if (statement.call == "GetData") {
        ds.SetData(connection->GetData(sql));
        EXPECT_GT(ds.RecordCount(), 0) << sql;
    } else if (statement.call == "MasterData") {
        std::istringstream detail(statement.detail);
        std::string name, detailId;
        detail >> name >> detailId;
        ds.SetData(connection->GetMasterDetailData(sql, name, kav::test::CataloguedStatement(detailId).sql));
        EXPECT_GT(ds.RecordCount(), 0) << sql;
        EXPECT_GT(NestedRows(ds, name), 0);
    } else if (statement.call == "DetailData") {
        ds.SetData(connection->GetMasterDetailData("select '01' as NODECODE, 'D0000001' as ORDERCODE",
                                                   "Detail", sql));
        EXPECT_GT(NestedRows(ds, "Detail"), 0);
    } else {
        ASSERT_EQ(statement.call, "ExecSQL");
        connection->Begin();
        EXPECT_EQ(connection->Execute(sql), 1);
        connection->Rollback();
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SeedStatementTest, ::testing::ValuesIn(CatalogueCases()),
                         CatalogueCaseName);

TEST(SeedStatements, DatesMoveWithToday) {
    EXPECT_EQ(MoveDates("a >= '2026-11-30 08:00:00' and b <= '2026-12-08' and c = 'x'", 3),
              "a >= '2026-12-03 08:00:00' and b <= '2026-12-11' and c = 'x'");
    EXPECT_GE(Catalogue().size(), 50u);
}

} // namespace
} // namespace kav::server::test
