#include "testdatabase.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace kav::server::test {

std::vector<Backend> TestBackends() {
    std::vector<Backend> backends{Backend::SQLite};
    if (const char* pg = std::getenv("KAV_TEST_PG"); pg && *pg) backends.push_back(Backend::PostgreSQL);
    return backends;
}

std::string BackendName(Backend backend) {
    return backend == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

std::string ReadSourceFile(const std::string& path) {
    std::ifstream in(KAV_SOURCE_DIR "/" + path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TestDatabase::TestDatabase(Backend backend) {
    static std::atomic<int> counter{0};
    const auto unique = std::to_string(getpid()) + "_" + std::to_string(counter++);
    if (backend == Backend::SQLite) {
        folder_ = std::filesystem::temp_directory_path() / ("kav-serverdb-" + unique);
        std::filesystem::create_directories(folder_);
        url_ = "sqlite:" + (folder_ / "test.db").string();
    } else {
        adminUrl_ = std::getenv("KAV_TEST_PG");
        schema_ = "kav_test_" + unique;
        Database::Open(adminUrl_)->Connect()->Execute("create schema " + schema_);
        const bool isUri = adminUrl_.find("://") != std::string::npos;
        url_ = isUri ? adminUrl_ + (adminUrl_.find('?') == std::string::npos ? "?" : "&") +
                           "options=-csearch_path%3D" + schema_
                     : adminUrl_ + " options='-csearch_path=" + schema_ + "'";
    }
    db_ = Database::Open(url_);
}

TestDatabase::~TestDatabase() {
    db_.reset();
    if (!schema_.empty()) {
        try {
            Database::Open(adminUrl_)->Connect()->Execute("drop schema " + schema_ + " cascade");
        } catch (const EDatabase&) {
        }
    }
    if (!folder_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
}

} // namespace kav::server::test
