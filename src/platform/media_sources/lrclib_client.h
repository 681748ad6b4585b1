#pragma once

#include "lyric_sources/lrclib_lookup.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>

// Asks LRCLIB over HTTPS, on the event loop: an answer is bounded in time and in size,
// redirects lead nowhere but the same server, and whatever goes wrong (no network, a
// time-out, an error status, an answer that is not what LRCLIB sends) ends as a status.
class LrclibClient : public QObject, public LrclibLookup {
    Q_OBJECT
public:
    // "Vellora/<version> (<homepage>)", as LRCLIB asks its clients to say who they are.
    static QByteArray userAgent();

    LrclibClient(Options options, Answered answered, QObject* parent = nullptr);
    ~LrclibClient() override;

    void lookUp(const Lrclib::Track& track) override;
    void search(const Lrclib::Track& track) override;
    void cancel() override;
    bool busy() const override { return reply_ != nullptr; }

private:
    enum class Request { Lookup, Search };
    void start(const QUrl& url, Request request, const Lrclib::Track& track);
    void readSome();
    void finish();
    void end(Answer answer);

    Options options_;
    Answered answered_;
    QNetworkAccessManager network_;
    QPointer<QNetworkReply> reply_;
    Request request_ = Request::Lookup;
    Lrclib::Track track_;
    QByteArray body_;
    bool tooLarge_ = false;
    bool timedOut_ = false;
    bool refusedRedirect_ = false;
    // Counts requests started and dropped, so a queued answer of a dropped one is known.
    quint64 generation_ = 0;
    QTimer deadline_;
};
