#pragma once
// The text message that tells a customer how to collect the tickets of an order, sent again on the
// seller's request through the site's message service:
//
//   GET <service>/Saleorder/sendmessageforsys?mobile=<cell phone>&ordercode=<order>&content=<text>
//
// every value UTF-8 and percent-encoded. Only a 2xx answer counts as sent.
//
// Threading: GUI thread (the request runs in a local event loop, with the hourglass cursor).

#include "orderhandler/odrhrecords.h"

#include <QUrl>
#include <stdexcept>
#include <string>

namespace kav::orderhandler {

// The message could not be handed to the service; the text says why, for the seller.
class ETextMessage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "2024-03-01 19:30岚桥音乐厅等2张已定,凭123456至音乐厅售票处自助取票机取票【岚桥音乐厅】"
std::string TextMessageContent(const TodrHOrderInfoRecord& order);

// The request for an order. `serviceUrl` is "http://host:port", with or without a trailing "/".
QUrl TextMessageUrl(const std::string& serviceUrl, const std::string& cellPhone, const std::string& orderCode,
                    const std::string& content);

// The configured service, or the server's HTTP endpoint beside the RPC port (port + 1) of `host`.
std::string TextMessageService(const std::string& configured, const std::string& host, int rpcPort);

// Sends the request and waits for the answer, at most `timeoutMs`. Raises ETextMessage for a refused
// connection, a time-out or an answer other than 2xx (with the status and the service's text).
void SendTextMessage(const QUrl& url, int timeoutMs = 15000);

} // namespace kav::orderhandler
