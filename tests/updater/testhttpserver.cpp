#include "testhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

TestHttpServer::TestHttpServer() {
    connect(&server_, &QTcpServer::newConnection, this, &TestHttpServer::Accept);
    server_.listen(QHostAddress::LocalHost, 0);
}

void TestHttpServer::Serve(const QByteArray& path, const QByteArray& body, qint64 sentBytes) {
    resources_.insert(path, {body, sentBytes});
}

void TestHttpServer::ServeSlowly(const QByteArray& path, const QByteArray& body, qint64 firstPart) {
    resources_.insert(path, {body, -1, firstPart});
}

QList<QByteArray> TestHttpServer::RequestLines() const {
    QList<QByteArray> lines;
    for (const Request& request : requests_)
        lines.append(request.method + ' ' + request.path);
    return lines;
}

void TestHttpServer::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (socket->property("answered").toBool()) return;
            QByteArray received = socket->property("received").toByteArray() + socket->readAll();
            socket->setProperty("received", received);
            const qsizetype end = received.indexOf("\r\n\r\n");
            if (end < 0) return;
            const QList<QByteArray> lines = received.left(end).split('\n');
            const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
            Request request{requestLine.value(0), requestLine.value(1), {}};
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                           lines[i].mid(colon + 1).trimmed());
            }
            socket->setProperty("answered", true);
            requests_.append(request);
            Answer(socket, request);
        });
    }
}

void TestHttpServer::Answer(QTcpSocket* socket, const Request& request) {
    const auto found = resources_.constFind(request.path);
    const bool exists = found != resources_.constEnd();
    const QByteArray body = exists ? found->body : QByteArray("not found");
    QByteArray answer = exists ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
    answer += "Content-Type: application/zip\r\nContent-Length: " + QByteArray::number(body.size()) +
              "\r\nConnection: close\r\n\r\n";
    if (request.method == "HEAD" || !exists) {
        socket->write(exists ? answer : answer + body);
    } else if (found->firstPart >= 0) {
        socket->write(answer + body.left(found->firstPart));
        // Long enough for the client to report the part that arrived (it reports progress at most
        // every 100 ms).
        QTimer::singleShot(300, socket, [socket, rest = body.mid(found->firstPart)] {
            socket->write(rest);
            socket->disconnectFromHost();
        });
        return;
    } else {
        socket->write(answer + (found->sentBytes >= 0 ? body.left(found->sentBytes) : body));
    }
    socket->disconnectFromHost();
}
