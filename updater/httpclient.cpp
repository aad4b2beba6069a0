#include "updater/httpclient.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>
#include <memory>
#include <stdexcept>

namespace kav {

namespace {

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};
using ReplyPtr = std::unique_ptr<QNetworkReply, ReplyDeleter>;

// An absolute http(s) URL, or an empty QUrl for anything else (an unconfigured base address).
QUrl ParseUrl(const std::string& url) {
    QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty() ||
        (parsed.scheme() != QLatin1String("http") && parsed.scheme() != QLatin1String("https")))
        return {};
    return parsed;
}

QNetworkRequest MakeRequest(const QUrl& url) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    request.setRawHeader(QByteArrayLiteral("Accept"), QByteArrayLiteral("text/html, */*"));
    // Packs are stored as they are; a body sent as-is can be checked against its announced length.
    request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity"));
    request.setTransferTimeout(0);
    return request;
}

void WaitUntilFinished(QNetworkReply* reply) {
    if (reply->isFinished()) return;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

int StatusOf(const QNetworkReply* reply) {
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

THttpClient::THttpClient(QObject* parent) : QObject(parent) {
    // The default cookie jar of the manager accepts every well-formed cookie the server sets.
    manager_.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

bool THttpClient::Head(const std::string& url) {
    const QUrl parsed = ParseUrl(url);
    if (parsed.isEmpty()) return false;
    ReplyPtr reply(manager_.head(MakeRequest(parsed)));
    WaitUntilFinished(reply.get());
    const int status = StatusOf(reply.get());
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

bool THttpClient::Get(const std::string& url, const std::filesystem::path& target) {
    const QUrl parsed = ParseUrl(url);
    if (parsed.isEmpty()) return false;

    QSaveFile file(QFile::decodeName(target.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(target.string() + ": " + file.errorString().toStdString());

    ReplyPtr reply(manager_.get(MakeRequest(parsed)));
    emit TransferStarted();
    qint64 received = 0;
    bool writeFailed = false;
    const auto writeArrived = [&] {
        const QByteArray data = reply->readAll();
        received += data.size();
        if (!data.isEmpty()) {
            const QVariant total = reply->header(QNetworkRequest::ContentLengthHeader);
            emit TransferProgress(received, total.isValid() ? total.toLongLong() : -1);
        }
        if (StatusOf(reply.get()) == 200 && !writeFailed && file.write(data) != data.size()) {
            writeFailed = true;
            reply->abort();
        }
    };
    connect(reply.get(), &QNetworkReply::readyRead, this, writeArrived);
    WaitUntilFinished(reply.get());
    writeArrived();

    if (writeFailed) throw std::runtime_error(target.string() + ": " + file.errorString().toStdString());
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool complete = reply->error() == QNetworkReply::NoError && StatusOf(reply.get()) == 200 &&
                          (!announced.isValid() || announced.toLongLong() == received);
    if (!complete) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) throw std::runtime_error(target.string() + ": " + file.errorString().toStdString());
    return true;
}

} // namespace kav
