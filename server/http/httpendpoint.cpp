#include "server/http/httpendpoint.h"

#include "platform/core/contexttext.h"
#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/membersys/memberpurchase.h"
#include "server/ticketoffice/counter.h"
#include "server/ticketoffice/sqlvalues.h"
#include "services/membersys/tpmembersys_int.h"

#include <httplib.h>

namespace kav::server {

namespace {

constexpr const char* kText = "text/plain; charset=UTF-8";

void Answer(httplib::Response& response, int status, const std::string& text) {
    response.status = status;
    response.set_content(text, kText);
}

// Keeps the text message for the order's customer; 404 when no order of that code has that cell
// phone, so that nobody can have messages sent to any number.
void StoreTextMessage(Database& database, const httplib::Request& request, httplib::Response& response) {
    const std::string mobile = request.get_param_value("mobile");
    const std::string order = request.get_param_value("ordercode");
    const std::string content = request.get_param_value("content");
    if (mobile.empty() || order.empty() || content.empty())
        return Answer(response, 400, "mobile, ordercode and content are required");
    if (content.size() > kMaxTextMessageBytes)
        return Answer(response, 400,
                      "content is longer than " + std::to_string(kMaxTextMessageBytes) + " bytes");
    Connection& c = ThreadConnection(database);
    const bool stored = InTransaction(c, [&] {
        const auto rows =
            c.Select("select o.NODECODE from KAV_ORDER_SHOW o inner join KAV_ORDER_CLIENT_SHOW cl on "
                     "cl.ORDERCODE = o.ORDERCODE where o.ORDERCODE = ?1 and cl.CELLPHONE = ?2",
                     {order, mobile});
        if (rows.empty()) return false;
        const std::int64_t id =
            DrawNumbers(c, "TEXTMESSAGE", 1, "select coalesce(max(MESSAGEID), 0) from KAV_TEXT_MESSAGE");
        c.Execute(
            "insert into KAV_TEXT_MESSAGE (MESSAGEID, NODECODE, ORDERCODE, MOBILE, CONTENT, ASKTIME) values "
            "(?1, ?2, ?3, ?4, ?5, ?6)",
            {id, rows.front()[0], order, mobile, content, FormatDateTimeIso(Now())});
        return true;
    });
    if (!stored) return Answer(response, 404, "no order " + order + " with the cell phone " + mobile);
    Answer(response, 200, "OK");
}

// The member purchase form post: the form's fields but Context are the post's lines.
void PostPurchase(const ServerServices& services, const httplib::Request& request,
                  httplib::Response& response) {
    httplib::Params form = request.params;
    if (form.empty()) httplib::detail::parse_query_text(request.body, form);
    Caller caller;
    try {
        const auto context = form.find("Context");
        if (context == form.end()) return Answer(response, 401, "E00401 没有会话 (Context)");
        caller = CallerOf(services.sessions.Verify(context->second));
    } catch (const pelio::EosRemoteException& e) {
        return Answer(response, 401, std::string("E00401 ") + e.what());
    }
    TContextText lines;
    try {
        for (const auto& [name, value] : form)
            if (name != "Context") lines.SetValue(name, value);
    } catch (const ContextTextError& e) {
        return Answer(response, 400, std::string("E00001 表单无效: ") + e.what());
    }
    const std::string answer = PostMemberPurchase(ThreadConnection(services.database), caller, lines.Format(),
                                                  kConsumeInfoPost, false, true);
    Answer(response, answer == kMemberPostAccepted ? 200 : 400, answer);
}

} // namespace

THttpEndpoint::THttpEndpoint(const ServerServices& services) : services_(services) {}

THttpEndpoint::~THttpEndpoint() {
    Stop();
}

void THttpEndpoint::Start(int port) {
    Stop();
    server_ = std::make_unique<httplib::Server>();
    server_->Get("/Saleorder/sendmessageforsys",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     StoreTextMessage(services_.database, request, response);
                 });
    server_->Post("/ConsumeInfoPost", [this](const httplib::Request& request, httplib::Response& response) {
        PostPurchase(services_, request, response);
    });
    server_->set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                Answer(response, 500, e.what());
            } catch (...) {
                Answer(response, 500, "internal error");
            }
        });
    port_ = port == 0 ? server_->bind_to_any_port("0.0.0.0")
                      : (server_->bind_to_port("0.0.0.0", port) ? port : -1);
    if (port_ <= 0) {
        server_.reset();
        throw std::runtime_error("Cannot listen for HTTP on port " + std::to_string(port));
    }
    listener_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
}

void THttpEndpoint::Stop() {
    if (!server_) return;
    server_->stop();
    if (listener_.joinable()) listener_.join();
    server_.reset();
    port_ = 0;
}

} // namespace kav::server
