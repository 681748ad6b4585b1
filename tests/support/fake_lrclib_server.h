#pragma once

#include "platform/media_sources/lrclib_client.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>

class QTcpSocket;

// An HTTP/1.1 server on the loopback address that answers as LRCLIB does, with answers the
// test sets per path. It reads one request per connection, answers it and closes.
class FakeLrclibServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        QByteArray contentType = "application/json";
        QByteArray body;
        QByteArray location; // sent as Location when set
        bool never = false;  // keep the connection open without a word
    };

    struct Request {
        QByteArray method;
        QUrl url;                             // path and query
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QUrlQuery query() const { return QUrlQuery(url); }
        // A query value read as a web server reads a form: '+' is a space.
        QString formValue(const QByteArray& name) const;
    };

    FakeLrclibServer();

    QUrl baseUrl() const;
    // Makes the program's own LRCLIB client, as the program's module does.
    static LrclibLookupFactory clients() {
        return [](const LrclibLookup::Options& options, LrclibLookup::Answered answered) {
            return std::make_unique<LrclibClient>(options, std::move(answered));
        };
    }
    // Answers requests for the path (e.g. "/api/get") from now on.
    void answer(const QByteArray& path, Answer answer) { answers_[path] = std::move(answer); }

    const QList<Request>& requests() const { return requests_; }
    int connections() const { return connections_; }

    // LRCLIB's shapes.
    static QByteArray record(qint64 id, const QString& track, double duration,
                             const QString& synced, const QString& plain = {},
                             bool instrumental = false);
    static Answer json(const QByteArray& body, int status = 200);
    static Answer trackNotFound();

Q_SIGNALS:
    void requestReceived();

private:
    void serve(QTcpSocket* socket);

    QTcpServer server_;
    QMap<QByteArray, Answer> answers_;
    QList<Request> requests_;
    int connections_ = 0;
};
