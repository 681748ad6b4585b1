#include "platform/media_sources/lrclib_client.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

bool sameServer(const QUrl& a, const QUrl& b) {
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(a.scheme() == u"https" ? 443 : 80) == b.port(b.scheme() == u"https" ? 443 : 80);
}

// Failures to reach the server at all, as against a server that answered wrongly.
bool isUnreachable(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return true;
    default:
        return false;
    }
}

} // namespace

QByteArray LrclibClient::userAgent() {
    return QByteArrayLiteral("Vellora/" VELLORA_VERSION " (https://github.com/vellora/vellora)");
}

LrclibClient::LrclibClient(Options options, Answered answered, QObject* parent)
    : QObject(parent), options_(std::move(options)), answered_(std::move(answered)) {
    // No proxy of the desktop's stands between the program and a server on this machine.
    if (isLoopback(options_.baseUrl))
        network_.setProxy(QNetworkProxy::NoProxy);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        if (reply_)
            reply_->abort();
    });
}

LrclibClient::~LrclibClient() {
    cancel();
}

void LrclibClient::lookUp(const Lrclib::Track& track) {
    start(Lrclib::lookupUrl(options_.baseUrl, track), Request::Lookup, track);
}

void LrclibClient::search(const Lrclib::Track& track) {
    start(Lrclib::searchUrl(options_.baseUrl, track), Request::Search, track);
}

void LrclibClient::cancel() {
    ++generation_;
    deadline_.stop();
    if (QNetworkReply* reply = reply_.data()) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    body_.clear();
}

void LrclibClient::start(const QUrl& url, Request request, const Lrclib::Track& track) {
    cancel();
    request_ = request;
    track_ = track;
    tooLarge_ = false;
    timedOut_ = false;
    refusedRedirect_ = false;
    if (url.isEmpty()) {
        // Nothing to ask with; the answer still comes from the event loop, as any other.
        QMetaObject::invokeMethod(
            this,
            [this, generation = generation_] {
                if (generation == generation_)
                    end({Status::NotFound, {}});
            },
            Qt::QueuedConnection);
        return;
    }

    QNetworkRequest get(url);
    get.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    get.setRawHeader("Accept", "application/json");
    // Qt would otherwise ask for gzip and inflate it whole before the size bound sees a byte.
    get.setRawHeader("Accept-Encoding", "identity");
    get.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::UserVerifiedRedirectPolicy);
    get.setMaximumRedirectsAllowed(3);
    QNetworkReply* reply = network_.get(get);
    reply_ = reply;
    connect(reply, &QNetworkReply::readyRead, this, &LrclibClient::readSome);
    connect(reply, &QNetworkReply::finished, this, &LrclibClient::finish);
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& to) {
        if (sameServer(to, options_.baseUrl)) {
            Q_EMIT reply->redirectAllowed();
            return;
        }
        refusedRedirect_ = true;
        reply->abort();
    });
    deadline_.start(options_.timeoutMs);
}

void LrclibClient::readSome() {
    QNetworkReply* reply = reply_.data();
    // An aborted reply is closed and finishes at once; there is nothing left to read.
    if (reply == nullptr || tooLarge_ || !reply->isOpen())
        return;
    const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (body_.size() + reply->bytesAvailable() > options_.maxAnswerBytes ||
        (declared.isValid() && declared.toLongLong() > options_.maxAnswerBytes)) {
        tooLarge_ = true;
        reply->abort();
        return;
    }
    body_ += reply->readAll();
}

void LrclibClient::finish() {
    QNetworkReply* reply = reply_.data();
    if (reply == nullptr || sender() != reply)
        return;
    readSome();
    if (timedOut_)
        return end({Status::TimedOut, {}});
    if (tooLarge_ || refusedRedirect_)
        return end({Status::BadAnswer, {}});
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return end({isUnreachable(reply->error()) ? Status::Offline : Status::BadAnswer, {}});
    if (status == 404)
        return end({Status::NotFound, {}});
    if (status != 200)
        return end({Status::BadAnswer, {}});

    if (request_ == Request::Lookup) {
        std::optional<Lrclib::Record> record = Lrclib::parseRecord(body_);
        if (!record)
            return end({Status::BadAnswer, {}});
        return end({Status::Found, {std::move(*record)}});
    }
    std::optional<std::vector<Lrclib::Record>> records = Lrclib::parseRecords(body_);
    if (!records)
        return end({Status::BadAnswer, {}});
    std::vector<Lrclib::Record> candidates = Lrclib::candidatesFor(track_, std::move(*records));
    if (candidates.empty())
        return end({Status::NotFound, {}});
    end({Status::Found, std::move(candidates)});
}

void LrclibClient::end(Answer answer) {
    deadline_.stop();
    if (QNetworkReply* reply = reply_.data()) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->deleteLater();
    }
    body_.clear();
    ++generation_;
    answered_(answer);
}
