#include "orderwindowfixture.h"

#include "host/orb.h"
#include "host/snapin/kavcsnapin.h"
#include "orderhandler/odrhfiles.h"
#include "orderhandler/odrhpackage.h"
#include "platform/widgets/printerchoice.h"
#include "server/db/testdatabase.h"
#include "server/seed/seed.h"
#include "server/sessionsigner.h"
#include "services/login/tplogin.h"

#include <map>

namespace kav::orderhandler::test {

namespace {

// A database per backend, seeded once for the whole binary, and the key its sessions are signed with.
struct Hosted {
    explicit Hosted(server::Backend backend) : database(backend) {
        server::SeedDatabase(database.Db(), "bench:400");
        connection = database.Db().Connect();
    }
    server::test::TestDatabase database;
    server::TSessionSigner signer;
    std::unique_ptr<server::Connection> connection;
};

Hosted& HostedFor(server::Backend backend) {
    static std::map<server::Backend, std::unique_ptr<Hosted>> hosted;
    auto& slot = hosted[backend];
    if (!slot) slot = std::make_unique<Hosted>(backend);
    return *slot;
}

} // namespace

void OrderWindowTest::SetUp() {
    Hosted& hosted = HostedFor(GetParam());
    services_.emplace(server::ServerServices{hosted.database.Db(), hosted.signer, 256u << 20});
    server::RegisterServices(*services_);
    server_.emplace();
    server_->SetPort(0);
    server_->SetActive(true);
    ORB().SetHost("127.0.0.1");
    ORB().SetPort(server_->ListeningPort());

    FreeOrderHandlerPackage();
    proxy_.emplace(&ORB());
    pipe_.emplace(*proxy_);
    UseOrderHandlerPipe(&*pipe_);
    UseOrderHandlerSaleCore(&saleCore_);
    SetOrderHandlerFolder(Folder());
    TPrinterSettings printing;
    printing.folder = PrintFolder();
    OverridePrinterSettings(printing);
    dialogs_.emplace();
}

void OrderWindowTest::TearDown() {
    window_.reset();
    SetOrderWindows({});
    FreeOrderHandlerPackage();
    UseOrderHandlerPipe(nullptr);
    UseOrderHandlerSaleCore(nullptr);
    SetOrderHandlerFolder({});
    OverridePrinterSettings(std::nullopt);
    if (dialogs_ && !dialogs_->Problems().empty()) ADD_FAILURE() << dialogs_->Problems().front();
    dialogs_.reset();
    pipe_.reset();
    proxy_.reset();
    ORB().SetActive(false);
    server_.reset();
    services_.reset();
}

std::string OrderWindowTest::LoginAs(const std::string& user, const std::string& password) {
    TTPLogin login(&ORB());
    return login.Login(user, password);
}

TUIOrderHandler& OrderWindowTest::OpenWindow(const std::string& user, const std::string& password) {
    window_.reset();
    window_ = std::make_unique<TUIOrderHandler>();
    window_->resize(1200, 800);
    window_->SnapInContext().SetContext(LoginAs(user, password));
    window_->show();
    return *window_;
}

server::Connection& OrderWindowTest::Db() {
    return *HostedFor(GetParam()).connection;
}

std::string OrderWindowTest::OrderWhere(const std::string& where) {
    return Text("select o.ORDERCODE from KAV_ORDER_SHOW o where " + where + " order by o.ORDERCODE limit 1");
}

std::string OrderWindowTest::LastSql() const {
    for (auto sql = pipe_->sent.rbegin(); sql != pipe_->sent.rend(); ++sql)
        if (sql->find(" from KAV_ORDER_SHOW o ") != std::string::npos) return *sql;
    return {};
}

std::string OrderWindowTest::Text(const std::string& sql) {
    const auto rows = Db().Select(sql);
    if (rows.empty()) throw std::logic_error("no row for " + sql);
    return std::get<std::string>(rows[0][0]);
}

} // namespace kav::orderhandler::test
