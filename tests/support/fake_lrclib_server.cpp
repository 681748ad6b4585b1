#include "support/fake_lrclib_server.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

FakeLrclibServer::FakeLrclibServer() {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            ++connections_;
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

QString FakeLrclibServer::Request::formValue(const QByteArray& name) const {
    for (const QByteArray& item : url.query(QUrl::FullyEncoded).toLatin1().split('&')) {
        const qsizetype equals = item.indexOf('=');
        if (equals >= 0 && item.left(equals) == name)
            return QString::fromUtf8(
                QByteArray::fromPercentEncoding(item.mid(equals + 1).replace('+', ' ')));
    }
    return {};
}

QUrl FakeLrclibServer::baseUrl() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()));
}

void FakeLrclibServer::serve(QTcpSocket* socket) {
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);

    const QList<QByteArray> lines = received.left(end).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    request.url = QUrl::fromEncoded(requestLine.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers[lines[i].left(colon).trimmed().toLower()] =
                lines[i].mid(colon + 1).trimmed();
    }
    requests_.append(request);
    Q_EMIT requestReceived();

    const Answer answer = answers_.value(request.url.path().toUtf8(), trackNotFound());
    if (answer.never)
        return;
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) + " Answer\r\n";
    reply += "Content-Type: " + answer.contentType + "\r\n";
    if (!answer.location.isEmpty())
        reply += "Location: " + answer.location + "\r\n";
    reply += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    socket->write(reply + answer.body);
    socket->disconnectFromHost();
}

QByteArray FakeLrclibServer::record(qint64 id, const QString& track, double duration,
                                    const QString& synced, const QString& plain,
                                    bool instrumental) {
    QJsonObject object{{"id", id},
                       {"trackName", track},
                       {"artistName", "Artist"},
                       {"albumName", "Album"},
                       {"duration", duration},
                       {"instrumental", instrumental},
                       {"plainLyrics", plain.isNull() ? QJsonValue() : QJsonValue(plain)},
                       {"syncedLyrics", synced.isNull() ? QJsonValue() : QJsonValue(synced)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

FakeLrclibServer::Answer FakeLrclibServer::json(const QByteArray& body, int status) {
    Answer answer;
    answer.status = status;
    answer.body = body;
    return answer;
}

FakeLrclibServer::Answer FakeLrclibServer::trackNotFound() {
    return json(R"({"code":404,"name":"TrackNotFound","message":"Failed to find specified track"})",
                404);
}
