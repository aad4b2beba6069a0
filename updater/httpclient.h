#pragma once
// The HTTP client of the updater: HEAD and GET against the update server.
//
// Every request sends the user agent "Mozilla/3.0 (compatible; Indy Library)" and accepts
// "text/html, */*"; there is no read time-out and cookies are kept for the life of the client.
//
// Threading: GUI thread only. Head() and Get() block the caller but run a local event loop while the
// transfer lasts, so windows keep painting and timers and other sockets of this thread keep working.

#include <QNetworkAccessManager>
#include <QObject>
#include <filesystem>
#include <string>

namespace kav {

class THttpClient final : public QObject {
    Q_OBJECT

public:
    explicit THttpClient(QObject* parent = nullptr);

    // True when the server answered with a 2xx status.
    bool Head(const std::string& url);

    // Streams the body of `url` into `target`. The file appears (replacing an older one) only when the
    // status was 200 and the whole body arrived; on any failure nothing is left behind and false is
    // returned. Raises std::runtime_error naming the file when it cannot be written locally.
    bool Get(const std::string& url, const std::filesystem::path& target);

signals:
    void TransferStarted();
    // Emitted for every part of a GET body as it arrives; `total` is -1 when the server did not announce
    // the size.
    void TransferProgress(qint64 received, qint64 total);

private:
    QNetworkAccessManager manager_;
};

} // namespace kav
