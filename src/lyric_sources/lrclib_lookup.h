#pragma once

#include "lyric_sources/lrclib_protocol.h"

#include <QByteArray>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

// Asking LRCLIB, as the lyric finder sees it. The client that asks over the network
// (lrclib_client.h) lives in the media sources module, which the program loads only once
// lyrics are first looked for (platform/process/media_sources_module.h).
//
// A lookup asks one request at a time. Every request ends in exactly one answer, on the
// event loop, unless it is cancelled first.
class LrclibLookup {
public:
    // Where the program asks, unless VELLORA_LRCLIB_URL names another server.
    static constexpr const char* DefaultBaseUrl = "https://lrclib.net";
    static constexpr const char* BaseUrlVariable = "VELLORA_LRCLIB_URL";

    struct Options {
        QUrl baseUrl;                    // empty: no server is asked
        int timeoutMs = 10'000;          // for the whole request, redirects included
        qint64 maxAnswerBytes = 1 << 20; // an answer larger than this is not read on
    };

    enum class Status { Found, NotFound, Offline, TimedOut, BadAnswer };
    struct Answer {
        Status status = Status::NotFound;
        // Found: the one record of a lookup, or the fitting candidates of a search.
        std::vector<Lrclib::Record> records;
    };
    using Answered = std::function<void(const Answer&)>;

    // The base URL from the environment, or the default one. A server is asked over HTTPS
    // only; plain HTTP is let through for the loopback address alone, where tests run a
    // server of their own. Any other URL is refused: the default is used instead.
    static QUrl baseUrlFromEnvironment();
    static bool isAllowedBase(const QUrl& url);
    static bool isLoopback(const QUrl& url);

    virtual ~LrclibLookup() = default;

    // /api/get for the track. Found with one record; NotFound on LRCLIB's 404, or without
    // asking when the track lacks what the lookup needs.
    virtual void lookUp(const Lrclib::Track& track) = 0;
    // /api/search for the track; Found with the candidates that fit it, else NotFound.
    virtual void search(const Lrclib::Track& track) = 0;
    // Drops the request in flight, if any; no answer follows for it.
    virtual void cancel() = 0;
    virtual bool busy() const = 0;
};

// Makes a lookup that gives its answers to `answered`; null when none can be made.
using LrclibLookupFactory = std::function<std::unique_ptr<LrclibLookup>(
    const LrclibLookup::Options& options, LrclibLookup::Answered answered)>;
