// Every statement the client sends, from server/schema/statements.sql, run through the real
// interface on a fresh schema with the sample rows, on each backend; the row counts must match
// tests/server/schema/expected_rows.txt.
#include "cataloguecases.h"
#include "platform/dataset/clientdataset.h"
#include "testdatabase.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace kav::server::test {
namespace {

struct CatalogueEntry : kav::test::CatalogueStatement {
    int expected = -1; // rows the sample data gives, from expected_rows.txt
};

std::vector<CatalogueEntry> ReadCatalogue() {
    std::map<std::string, int> expected;
    std::istringstream counts(ReadSourceFile("tests/server/schema/expected_rows.txt"));
    for (std::string line; std::getline(counts, line);) {
        std::istringstream fields(line);
        std::string id;
        int count = 0;
        if (line.empty() || line[0] == '#' || !(fields >> id >> count)) continue;
        expected[id] = count;
    }
    std::vector<CatalogueEntry> entries;
    for (const auto& statement : kav::test::StatementCatalogue()) {
        CatalogueEntry entry{statement};
        entry.expected = expected.count(entry.id) ? expected[entry.id] : -1;
        entries.push_back(entry);
    }
    return entries;
}

const std::vector<CatalogueEntry>& Catalogue() {
    static const auto entries = ReadCatalogue();
    return entries;
}

// One database per backend with the schema and the sample rows, shared by the cases.
Database& SampleDatabase(Backend backend) {
    static std::map<Backend, std::unique_ptr<TestDatabase>> databases;
    auto& db = databases[backend];
    if (!db) {
        db = std::make_unique<TestDatabase>(backend);
        db->Db().EnsureSchema();
        db->Db().Connect()->Execute(ReadSourceFile("tests/server/schema/sample_rows.sql"));
    }
    return db->Db();
}

class CatalogueTest : public ::testing::TestWithParam<CatalogueCase> {};

int NestedRowCount(TClientDataSet& ds, const std::string& field) {
    int rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next())
        rows += ds.FieldByName(field).NestedDataSet().RecordCount();
    return rows;
}

TEST_P(CatalogueTest, ReturnsTheExpectedRows) {
    auto [backend, index] = GetParam();
    const auto& entry = Catalogue()[index];
    ASSERT_GE(entry.expected, 0) << "no expected row count for " << entry.id;
    auto conn = SampleDatabase(backend).Connect();
    TClientDataSet ds;
    if (entry.call == "GetData") {
        ds.SetData(conn->GetData(entry.sql));
        EXPECT_EQ(ds.RecordCount(), entry.expected);
    } else if (entry.call == "MasterData") {
        std::istringstream detail(entry.detail);
        std::string name, detailId;
        detail >> name >> detailId;
        ds.SetData(conn->GetMasterDetailData(entry.sql, name, kav::test::CataloguedStatement(detailId).sql));
        EXPECT_EQ(ds.RecordCount(), entry.expected);
        NestedRowCount(ds, name); // every nested table decodes
    } else if (entry.call == "DetailData") {
        // The master row gives the sample values the expected counts were taken with.
        ds.SetData(conn->GetMasterDetailData("select '01' as NODECODE, 'D0000001' as ORDERCODE", "Detail",
                                             entry.sql));
        EXPECT_EQ(NestedRowCount(ds, "Detail"), entry.expected);
    } else if (entry.call == "ExecSQL") {
        conn->Begin();
        EXPECT_EQ(conn->ExecSQL(entry.sql), 1);
        conn->Rollback();
        conn->Begin();
        EXPECT_EQ(conn->Execute(entry.sql), entry.expected);
        conn->Rollback();
    } else {
        FAIL() << "unknown call " << entry.call;
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, CatalogueTest, ::testing::ValuesIn(CatalogueCases()), CatalogueCaseName);

TEST(Catalogue, IsReadWhole) {
    EXPECT_GE(Catalogue().size(), 50u);
}

} // namespace
} // namespace kav::server::test
