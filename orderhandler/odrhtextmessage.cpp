#include "orderhandler/odrhtextmessage.h"

#include "orderhandler/odrhgridtext.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace kav::orderhandler {

namespace {

QByteArray Encoded(const std::string& value) {
    return QUrl::toPercentEncoding(QString::fromStdString(value));
}

} // namespace

std::string TextMessageContent(const TodrHOrderInfoRecord& order) {
    return FormatMinutes(order.productHappenTime) + order.placeName.str() + "等" + std::to_string(order.seatCount) +
           "张已定,凭" + order.orderPassword.str() + "至音乐厅售票处自助取票机取票【岚桥音乐厅】";
}

QUrl TextMessageUrl(const std::string& serviceUrl, const std::string& cellPhone, const std::string& orderCode,
                    const std::string& content) {
    QByteArray url = QByteArray::fromStdString(serviceUrl);
    while (url.endsWith('/'))
        url.chop(1);
    url += "/Saleorder/sendmessageforsys?mobile=" + Encoded(cellPhone) + "&ordercode=" + Encoded(orderCode) +
           "&content=" + Encoded(content);
    return QUrl::fromEncoded(url, QUrl::StrictMode);
}

std::string TextMessageService(const std::string& configured, const std::string& host, int rpcPort) {
    if (!configured.empty()) return configured;
    return "http://" + host + ":" + std::to_string(rpcPort + 1);
}

void SendTextMessage(const QUrl& url, int timeoutMs) {
    if (!url.isValid()) throw ETextMessage("短信服务地址不正确：" + url.toString().toStdString());
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString body = QString::fromUtf8(reply->readAll()).trimmed();
    const QString error = reply->errorString();
    const bool transportFailed = status == 0;
    reply->deleteLater();
    if (transportFailed) throw ETextMessage("短信服务无法连接：" + error.toStdString());
    if (status < 200 || status > 299)
        throw ETextMessage("短信服务拒绝了请求（HTTP " + std::to_string(status) + "）" +
                           (body.isEmpty() ? std::string() : "：" + body.toStdString()));
}

} // namespace kav::orderhandler
