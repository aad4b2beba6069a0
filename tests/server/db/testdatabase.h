#pragma once
// Fresh, empty databases for the tests: a SQLite file in a temporary folder, or a new schema in
// the PostgreSQL database named by KAV_TEST_PG (dropped again by the destructor).

#include "server/db/database.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kav::server::test {

// The backends to run against: SQLite always, PostgreSQL when KAV_TEST_PG is set.
std::vector<Backend> TestBackends();
std::string BackendName(Backend backend);

// The text of a file of the source tree, such as "tests/server/schema/sample_rows.sql"; throws
// std::runtime_error when it cannot be read.
std::string ReadSourceFile(const std::string& path);

class TestDatabase final {
public:
    explicit TestDatabase(Backend backend);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    Database& Db() { return *db_; }
    const std::string& Url() const { return url_; }

private:
    std::filesystem::path folder_;
    std::string adminUrl_; // PostgreSQL: where the schema was created
    std::string schema_;
    std::string url_;
    std::unique_ptr<Database> db_;
};

} // namespace kav::server::test
