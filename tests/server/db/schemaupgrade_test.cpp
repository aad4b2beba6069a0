// Schema versions on each backend: a database made at any earlier version and upgraded equals a
// fresh one, a first-release database keeps its rows through the upgrade, and a newer or foreign
// database is refused untouched.
#include "server/db/embeddedschema.h"
#include "server/db/schemasetup.h"
#include "testdatabase.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace kav::server::test {
namespace {

std::vector<std::string> Lines(Connection& connection, const std::string& sql) {
    std::vector<std::string> lines;
    for (const auto& row : connection.Select(sql)) {
        std::string line;
        for (const SqlValue& value : row) {
            if (!line.empty()) line += " | ";
            if (const auto* text = std::get_if<std::string>(&value))
                line += *text;
            else if (const auto* number = std::get_if<std::int64_t>(&value))
                line += std::to_string(*number);
            else if (const auto* real = std::get_if<double>(&value))
                line += std::to_string(*real);
            else
                line += "null";
        }
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Tables, columns in their order with type, nullability and default, indexes and constraints: what
// must come out the same whichever way the database reached the current version.
std::vector<std::string> Shape(Connection& connection) {
    std::vector<std::string> shape;
    auto add = [&](const std::string& sql) {
        for (std::string& line : Lines(connection, sql))
            shape.push_back(std::move(line));
    };
    if (connection.Kind() == Backend::SQLite) {
        add("select 'column', upper(m.name), c.cid, upper(c.name), upper(c.type), c.\"notnull\", "
            "coalesce(c.dflt_value, ''), c.pk from sqlite_schema m, pragma_table_info(m.name) c "
            "where m.type = 'table'");
        add("select 'index', upper(m.name), l.name, l.\"unique\", i.seqno, upper(i.name) from sqlite_schema "
            "m, "
            "pragma_index_list(m.name) l, pragma_index_info(l.name) i where m.type = 'table'");
    } else {
        add("select 'column', upper(table_name), cast(row_number() over (partition by table_name order by "
            "ordinal_position) as integer), upper(column_name), data_type, "
            "coalesce(cast(character_maximum_length as varchar), ''), "
            "coalesce(cast(numeric_precision as varchar), ''), coalesce(cast(numeric_scale as varchar), ''), "
            "is_nullable, coalesce(column_default, '') from information_schema.columns "
            "where table_schema = current_schema()");
        add("select 'index', replace(indexdef, schemaname || '.', '') from pg_indexes "
            "where schemaname = current_schema()");
        add("select 'constraint', cast(conrelid::regclass as varchar), conname, pg_get_constraintdef(oid) "
            "from pg_constraint where connamespace = current_schema()::regnamespace");
    }
    return shape;
}

// A database as the first release made it, with its sample rows.
void MakeFirstReleaseDatabase(Connection& connection) {
    connection.Execute(
        ReadSourceFile("tests/server/db/schema-v1/" +
                       std::string(connection.Kind() == Backend::SQLite ? "sqlite" : "postgresql") + ".sql"));
    connection.Execute(ReadSourceFile("tests/server/db/schema-v1/sample_rows.sql"));
}

// Runs the upgrade steps up to `to` by hand and records `to`, as a server of that
// version would have left the database.
void StepUpTo(Connection& connection, int to) {
    for (const SchemaStep& step : SchemaSteps())
        if (step.Version <= to)
            connection.Execute(connection.Kind() == Backend::SQLite ? step.SQLite : step.PostgreSQL);
    if (to > 1) {
        connection.Execute("delete from KAV_SCHEMA_VERSION");
        connection.Execute("insert into KAV_SCHEMA_VERSION values (?1)", {std::int64_t{to}});
    }
}

// Every row of every table, read by the columns `columns` names per table (as "C1, C2, ...").
std::vector<std::string> Rows(Connection& connection, const std::map<std::string, std::string>& columns) {
    std::vector<std::string> rows;
    for (const auto& [table, list] : columns) {
        for (std::string& line : Lines(connection, "select " + list + " from " + table))
            rows.push_back(table + ": " + line);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::map<std::string, std::string> Columns(Connection& connection) {
    std::map<std::string, std::string> columns;
    const auto names = connection.Select(
        connection.Kind() == Backend::SQLite
            ? "select m.name, c.name from sqlite_schema m, pragma_table_info(m.name) c where m.type = "
              "'table' "
              "order by m.name, c.cid"
            : "select table_name, column_name from information_schema.columns "
              "where table_schema = current_schema() order by table_name, ordinal_position");
    for (const auto& row : names) {
        std::string& list = columns[std::get<std::string>(row.at(0))];
        list += (list.empty() ? "" : ", ") + std::get<std::string>(row.at(1));
    }
    return columns;
}

std::vector<std::string> Missing(const std::vector<std::string>& wanted,
                                 const std::vector<std::string>& have) {
    std::vector<std::string> missing;
    std::set_difference(wanted.begin(), wanted.end(), have.begin(), have.end(), std::back_inserter(missing));
    return missing;
}

class SchemaUpgradeTest : public ::testing::TestWithParam<Backend> {};

TEST_P(SchemaUpgradeTest, EveryEarlierVersionUpgradesToTheFreshSchema) {
    TestDatabase fresh(GetParam());
    ASSERT_EQ(fresh.Db().EnsureSchema().To, CurrentSchemaVersion());
    const auto freshConnection = fresh.Db().Connect();
    const std::vector<std::string> wanted = Shape(*freshConnection);
    EXPECT_EQ(SchemaVersionOf(*freshConnection), CurrentSchemaVersion());

    for (int version = 1; version < CurrentSchemaVersion(); ++version) {
        SCOPED_TRACE("from version " + std::to_string(version));
        TestDatabase old(GetParam());
        const auto connection = old.Db().Connect();
        MakeFirstReleaseDatabase(*connection);
        StepUpTo(*connection, version);
        ASSERT_EQ(SchemaVersionOf(*connection), version);

        const SchemaUpgrade upgrade = old.Db().EnsureSchema();
        EXPECT_EQ(upgrade.From, version);
        EXPECT_EQ(upgrade.To, CurrentSchemaVersion());
        EXPECT_TRUE(upgrade.Upgraded());
        const std::vector<std::string> have = Shape(*connection);
        EXPECT_EQ(Missing(wanted, have), std::vector<std::string>{}) << "only in a fresh database";
        EXPECT_EQ(Missing(have, wanted), std::vector<std::string>{}) << "only in the upgraded database";
        EXPECT_FALSE(old.Db().EnsureSchema().Upgraded());
    }
}

TEST_P(SchemaUpgradeTest, AFirstReleaseDatabaseKeepsItsRowsThroughTheUpgrade) {
    TestDatabase old(GetParam());
    const auto connection = old.Db().Connect();
    MakeFirstReleaseDatabase(*connection);
    const std::map<std::string, std::string> firstReleaseColumns = Columns(*connection);
    const std::vector<std::string> before = Rows(*connection, firstReleaseColumns);
    ASSERT_GT(before.size(), 60u);

    EXPECT_TRUE(old.Db().EnsureSchema().Upgraded());
    const std::vector<std::string> after = Rows(*connection, firstReleaseColumns);
    EXPECT_EQ(Missing(before, after), std::vector<std::string>{}) << "rows lost or changed";
    EXPECT_EQ(Missing(after, before), std::vector<std::string>{}) << "rows added";
    EXPECT_EQ(Lines(*connection, "select count(*) from KAV_ORDER_SHOW"), std::vector<std::string>{"5"});
}

TEST_P(SchemaUpgradeTest, NewerAndForeignDatabasesAreRefusedUntouched) {
    TestDatabase newer(GetParam());
    newer.Db().EnsureSchema();
    const auto connection = newer.Db().Connect();
    connection->Execute("update KAV_SCHEMA_VERSION set VERSION = ?1",
                        {std::int64_t{CurrentSchemaVersion() + 1}});
    try {
        newer.Db().EnsureSchema();
        ADD_FAILURE() << "a newer database was accepted";
    } catch (const ESchemaRefused& e) {
        EXPECT_NE(std::string(e.what()).find("schema version " + std::to_string(CurrentSchemaVersion() + 1) +
                                             ", newer than this kav-server's version " +
                                             std::to_string(CurrentSchemaVersion())),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(SchemaVersionOf(*connection), CurrentSchemaVersion() + 1);

    TestDatabase foreign(GetParam());
    const auto other = foreign.Db().Connect();
    other->Execute("create table SOMEONE_ELSES (ID integer primary key)");
    EXPECT_THROW(foreign.Db().EnsureSchema(), ESchemaRefused);
    EXPECT_EQ(Lines(*other, "select count(*) from SOMEONE_ELSES"), std::vector<std::string>{"0"});
}

// Steps run in one transaction: when one fails, the steps before it are undone too.
TEST_P(SchemaUpgradeTest, AFailingStepUndoesTheWholeUpgrade) {
    TestDatabase old(GetParam());
    const auto connection = old.Db().Connect();
    MakeFirstReleaseDatabase(*connection);
    const SchemaStep& recordsVersion = SchemaSteps().front();
    const char* addsTable = "create table ADDED (ID integer primary key)";
    const SchemaStep steps[] = {recordsVersion,
                                {3, "adds-a-table", addsTable, addsTable},
                                {4, "adds-it-again", addsTable, addsTable}};
    const std::vector<std::string> before = Shape(*connection);
    try {
        EnsureCurrentSchema(*connection, steps);
        ADD_FAILURE() << "the failing step went unnoticed";
    } catch (const EDatabase& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("Upgrade step 4 (adds-it-again) failed: ")) << e.what();
    }
    EXPECT_EQ(Shape(*connection), before);
    EXPECT_EQ(SchemaVersionOf(*connection), 1);

    // Only the steps after the recorded version run.
    const SchemaStep twoSteps[] = {recordsVersion, steps[1]};
    const SchemaUpgrade upgrade = EnsureCurrentSchema(*connection, twoSteps);
    EXPECT_EQ(upgrade.From, 1);
    EXPECT_EQ(upgrade.To, 3);
    EXPECT_FALSE(EnsureCurrentSchema(*connection, twoSteps).Upgraded());
    EXPECT_EQ(SchemaVersionOf(*connection), 3);
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaUpgradeTest, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return BackendName(info.param); });

} // namespace
} // namespace kav::server::test
