#pragma once
// A small HTTP/1.1 server for the updater tests: answers HEAD and GET for the bodies it was given, 404
// for anything else, and can cut a body off part-way. One request per connection; runs in the test's
// thread, so it works while the client under test runs its own event loop.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>

class TestHttpServer final : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    TestHttpServer();

    quint16 Port() const { return server_.serverPort(); }
    // Serves `body` at `path`; with `sentBytes` >= 0 only that much of the body is sent before the
    // connection closes, although the full length is announced.
    void Serve(const QByteArray& path, const QByteArray& body, qint64 sentBytes = -1);
    // Serves `body` at `path` like a slow line: the first `firstPart` bytes at once, the rest a moment later.
    void ServeSlowly(const QByteArray& path, const QByteArray& body, qint64 firstPart);
    const QList<Request>& Requests() const { return requests_; }
    QList<QByteArray> RequestLines() const; // "HEAD /01/ctcom1.zip", in order

private:
    struct Resource {
        QByteArray body;
        qint64 sentBytes;
        qint64 firstPart = -1;
    };
    void Accept();
    void Answer(QTcpSocket* socket, const Request& request);

    QTcpServer server_;
    QHash<QByteArray, Resource> resources_;
    QList<Request> requests_;
};
