#include "serverfixture.h"

#include "services/login/tplogin.h"

#include <sodium.h>

namespace kav::server::e2e {

std::string PasswordHash(const std::string& password) {
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_MIN,
                          crypto_pwhash_MEMLIMIT_MIN) != 0)
        throw std::runtime_error("crypto_pwhash_str failed");
    return hash;
}

void ServerFixture::SetUp() {
    database_.emplace(GetParam());
    ASSERT_TRUE(database_->Db().EnsureSchema().Created());
    setup_ = database_->Db().Connect();
    FillDatabase();

    sessions_.emplace();
    services_.emplace(ServerServices{database_->Db(), *sessions_, kMaxMessageBytes});
    RegisterServices(*services_);
    server_.emplace();
    server_->SetPort(0);
    pelio::TosTransportLimits limits;
    limits.MaxMessageSize = kMaxMessageBytes;
    server_->SetTransportLimits(limits);
    server_->SetActive(true);
    client_ = NewClient();
}

void ServerFixture::FillDatabase() {
    setup_->Execute("insert into KAV_GROUP (NODECODE, GROUPCODE, CNAME, GROUPTYPE, OWNERCODE) "
                    "values ('01', 'G01', '一号售票点', '1', 'C01')");
    const char* insertUser =
        "insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH, ISVALID) "
        "values ('01', ?1, ?2, 'G01', ?3, ?4)";
    setup_->Execute(insertUser,
                    {std::string("demo"), std::string("演示售票员"), PasswordHash("demo"), std::string("Y")});
    setup_->Execute(insertUser,
                    {std::string("clerk"), std::string("柜员"), PasswordHash("柜台'1"), std::string("Y")});
    setup_->Execute(insertUser,
                    {std::string("gone"), std::string("离职"), PasswordHash("gone"), std::string("N")});
}

void ServerFixture::TearDown() {
    client_.reset();
    server_.reset(); // joins the connection threads and with them their database connections
    services_.reset();
    setup_.reset();
    database_.reset();
}

std::unique_ptr<pelio::TPelioClient> ServerFixture::NewClient() const {
    auto client = std::make_unique<pelio::TPelioClient>();
    client->SetHost("127.0.0.1");
    client->SetPort(server_->ListeningPort());
    return client;
}

std::string ServerFixture::LoginAs(const std::string& user, const std::string& password) {
    TTPLogin login(client_.get());
    return login.Login(user, password);
}

} // namespace kav::server::e2e
