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

    server_.emplace(database_->Db());
    client_ = NewClient();
}

void ServerFixture::TearDown() {
    client_.reset();
    server_.reset();
    setup_.reset();
    database_.reset();
}

HostedServer::HostedServer(Database& database) : services_{database, sessions_, kMaxMessageBytes} {
    RegisterServices(services_);
    server_.emplace();
    server_->SetPort(0);
    pelio::TosTransportLimits limits;
    limits.MaxMessageSize = kMaxMessageBytes;
    server_->SetTransportLimits(limits);
    server_->SetActive(true);
}

HostedServer::~HostedServer() {
    server_.reset();
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

int HostedServer::Port() const {
    return server_->ListeningPort();
}

std::unique_ptr<pelio::TPelioClient> HostedServer::NewClient() const {
    auto client = std::make_unique<pelio::TPelioClient>();
    client->SetHost("127.0.0.1");
    client->SetPort(Port());
    return client;
}

std::string LoginAs(pelio::TPelioClient& client, const std::string& user, const std::string& password) {
    TTPLogin login(&client);
    return login.Login(user, password);
}

} // namespace kav::server::e2e
