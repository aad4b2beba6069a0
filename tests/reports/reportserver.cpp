#include "reportserver.h"

#include "server/seed/seed.h"

#include <fstream>
#include <map>
#include <sstream>

namespace kav::reports::test {

server::Database& ReportDatabase(Backend backend) {
    static std::map<Backend, std::unique_ptr<server::test::TestDatabase>> databases;
    auto& database = databases[backend];
    if (!database) {
        database = std::make_unique<server::test::TestDatabase>(backend);
        server::SeedDatabase(database->Db(), "demo");
        std::ifstream cases(KAV_REPORT_CASES);
        std::stringstream script;
        script << cases.rdbuf();
        if (script.str().empty()) throw std::runtime_error("cannot read " KAV_REPORT_CASES);
        database->Db().Connect()->Execute(script.str());
    }
    return database->Db();
}

void ReportServerTest::SetUp() {
    server_.emplace(ReportDatabase(GetParam()));
    client_ = server_->NewClient();
}

void ReportServerTest::TearDown() {
    client_.reset();
    server_.reset();
}

std::string ReportServerTest::LoginAs(const std::string& user, const std::string& password) {
    return server::e2e::LoginAs(*client_, user, password);
}

std::string BackendTestName(const ::testing::TestParamInfo<Backend>& info) {
    return server::test::BackendName(info.param);
}

} // namespace kav::reports::test
