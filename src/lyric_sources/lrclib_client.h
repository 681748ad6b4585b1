#pragma once

#include "lyric_sources/lrclib_protocol.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <vector>

// Asks LRCLIB over HTTPS, on the event loop, one request at a time. Every request ends in
// exactly one answered() unless it is cancelled first: an answer is bounded in time and in
// size, redirects lead nowhere but the same server, and whatever goes wrong (no network, a
// time-out, an error status, an answer that is not what LRCLIB sends) ends as a status.
class LrclibClient : public QObject {
    Q_OBJECT
public:
    // Where the program asks, unless VELLORA_LRCLIB_URL names another server.
    static constexpr const char* DefaultBaseUrl = "https://lrclib.net";
    static constexpr const char* BaseUrlVariable = "VELLORA_LRCLIB_URL";

    struct Options {
        QUrl baseUrl;
        int timeoutMs = 10'000;          // for the whole request, redirects included
        qint64 maxAnswerBytes = 1 << 20; // an answer larger than this is not read on
    };

    enum class Status { Found, NotFound, Offline, TimedOut, BadAnswer };
    struct Answer {
        Status status = Status::NotFound;
        // Found: the one record of a lookup, or the fitting candidates of a search.
        std::vector<Lrclib::Record> records;
    };

    // The base URL from the environment, or the default one. A server is asked over HTTPS
    // only; plain HTTP is let through for the loopback address alone, where tests run a
    // server of their own. Any other URL is refused: the default is used instead.
    static QUrl baseUrlFromEnvironment();
    static bool isAllowedBase(const QUrl& url);
    // "Vellora/<version> (<homepage>)", as LRCLIB asks its clients to say who they are.
    static QByteArray userAgent();

    explicit LrclibClient(Options options, QObject* parent = nullptr);
    ~LrclibClient() override;

    // /api/get for the track. Found with one record; NotFound on LRCLIB's 404, or at once
    // (without asking) when the track lacks what the lookup needs.
    void lookUp(const Lrclib::Track& track);
    // /api/search for the track; Found with the candidates that fit it, else NotFound.
    void search(const Lrclib::Track& track);
    // Drops the request in flight, if any; no answered() follows for it.
    void cancel();
    bool busy() const { return reply_ != nullptr; }

Q_SIGNALS:
    void answered(const LrclibClient::Answer& answer);

private:
    enum class Request { Lookup, Search };
    void start(const QUrl& url, Request request, const Lrclib::Track& track);
    void readSome();
    void finish();
    void end(Answer answer);

    Options options_;
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
