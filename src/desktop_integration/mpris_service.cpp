#include "desktop_integration/mpris_service.h"

#include "desktop_integration/desktop_identity.h"
#include "forms/form1.h"
#include "player/media_engine.h"

#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

inline constexpr auto PropertiesInterface = u"org.freedesktop.DBus.Properties";
inline constexpr auto NoTrack = u"/org/mpris/MediaPlayer2/TrackList/NoTrack";

// Microseconds of an "mm:ss" duration; the engine tells durations in whole seconds.
std::optional<qint64> lengthOf(const std::optional<QString>& duration) {
    if (!duration)
        return std::nullopt;
    const QStringList parts = duration->split(u':');
    bool minutesRead = false;
    bool secondsRead = false;
    const qint64 minutes = parts.value(0).toLongLong(&minutesRead);
    const qint64 seconds = parts.value(1).toLongLong(&secondsRead);
    if (parts.size() != 2 || !minutesRead || !secondsRead)
        return std::nullopt;
    return (minutes * 60 + seconds) * 1'000'000;
}

} // namespace

MprisService::MprisService(Form1& form, MediaEngine& engine, QObject* parent)
    : QObject(parent), form_(form), engine_(engine) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    new PlayerFilesAdaptor(this);
    connect(&engine_, &MediaEngine::changed, this, &MprisService::refresh);
    connect(&form_, &Form1::playlistChanged, this, &MprisService::refresh);
    connect(&form_, &Form1::mediaOpened, this, &MprisService::mediaOpened);
}

bool MprisService::registerOn(const QDBusConnection& connection) {
    QDBusConnection bus = connection;
    const QString path = QString::fromUtf16(DesktopIdentity::ObjectPath);
    if (!bus.isConnected() || !bus.registerObject(path, this, QDBusConnection::ExportAdaptors))
        return false;
    if (!bus.registerService(QString::fromUtf16(DesktopIdentity::BusName))) {
        bus.unregisterObject(path);
        return false;
    }
    // What a client reads first is the starting point; only changes from it are signalled.
    refresh();
    connection_ = bus;
    return true;
}

QString MprisService::playbackStatus() const {
    switch (engine_.playState()) {
    case PlayState::Playing:
    case PlayState::Buffering:
    case PlayState::Transitioning:
        return QStringLiteral("Playing");
    case PlayState::Paused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QVariantMap MprisService::metadata() {
    const MetadataKey key{opening_, lengthOf(engine_.durationString())};
    if (metadataKey_ == key)
        return metadata_;
    metadataKey_ = key;
    metadata_.clear();
    if (opening_ == 0) {
        metadata_.insert(QStringLiteral("mpris:trackid"),
                         QVariant::fromValue(QDBusObjectPath(QString::fromUtf16(NoTrack))));
        return metadata_;
    }
    metadata_.insert(QStringLiteral("mpris:trackid"),
                     QVariant::fromValue(QDBusObjectPath(
                         QStringLiteral("/io/github/vellora/Vellora/track/%1").arg(opening_))));
    metadata_.insert(QStringLiteral("xesam:url"),
                     QUrl::fromLocalFile(mediaPath_).toString(QUrl::FullyEncoded));
    metadata_.insert(QStringLiteral("xesam:title"), QFileInfo(mediaPath_).completeBaseName());
    metadata_.insert(QStringLiteral("xesam:asText"), lyrics_);
    if (key.length)
        metadata_.insert(QStringLiteral("mpris:length"), QVariant::fromValue<qint64>(*key.length));
    return metadata_;
}

double MprisService::volume() const {
    return engine_.volume() / 100.0;
}

void MprisService::setVolume(double volume) {
    if (!std::isfinite(volume))
        return;
    engine_.setVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
    refresh();
}

qlonglong MprisService::position() const {
    const std::optional<MediaClock> clock = engine_.clock();
    return clock ? std::llround(clock->position * 1'000'000) : 0;
}

bool MprisService::canPlay() const {
    return !form_.currentMediaPath().isEmpty();
}

void MprisService::later(std::function<void()> work) {
    QTimer::singleShot(0, this, std::move(work));
}

void MprisService::mediaOpened() {
    ++opening_;
    mediaPath_ = form_.currentMediaPath();
    lyrics_ = form_.lyricLines().join(u'\n');
    refresh();
}

void MprisService::refresh() {
    QVariantMap changed;
    const auto note = [&](const QString& name, const QVariant& value) {
        const auto told = told_.constFind(name);
        if (told != told_.cend() && *told == value)
            return;
        told_.insert(name, value);
        changed.insert(name, value);
    };
    note(QStringLiteral("PlaybackStatus"), playbackStatus());
    note(QStringLiteral("Volume"), volume());
    note(QStringLiteral("CanGoNext"), form_.canGoNext());
    note(QStringLiteral("CanGoPrevious"), form_.canGoPrevious());
    note(QStringLiteral("CanPlay"), canPlay());
    note(QStringLiteral("CanPause"), canPlay());
    const QVariantMap tags = metadata();
    if (toldMetadataKey_ != metadataKey_) {
        toldMetadataKey_ = metadataKey_;
        changed.insert(QStringLiteral("Metadata"), tags);
    }
    if (changed.isEmpty() || !connection_)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromUtf16(DesktopIdentity::ObjectPath), QString::fromUtf16(PropertiesInterface),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromUtf16(DesktopIdentity::PlayerInterface) << changed << QStringList();
    connection_->send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisRootAdaptor::identity() const {
    return QString::fromUtf16(DesktopIdentity::Identity);
}

QString MprisRootAdaptor::desktopEntry() const {
    return QString::fromUtf16(DesktopIdentity::ApplicationId);
}

QStringList MprisRootAdaptor::supportedUriSchemes() const {
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::supportedMimeTypes() const {
    return DesktopIdentity::audioMimeTypes();
}

void MprisRootAdaptor::Raise() {
    service_->later([form = &service_->form()] {
        form->showNormal();
        form->raise();
        form->activateWindow();
    });
}

void MprisRootAdaptor::Quit() {
    service_->later([form = &service_->form()] { form->close(); });
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

bool MprisPlayerAdaptor::canGoNext() const {
    return service_->form().canGoNext();
}

bool MprisPlayerAdaptor::canGoPrevious() const {
    return service_->form().canGoPrevious();
}

void MprisPlayerAdaptor::Play() {
    service_->form().play();
}

void MprisPlayerAdaptor::Pause() {
    service_->form().pause();
}

void MprisPlayerAdaptor::PlayPause() {
    if (service_->engine().playState() == PlayState::Playing)
        service_->form().pause();
    else
        service_->form().play();
}

void MprisPlayerAdaptor::Stop() {
    service_->form().stop();
}

void MprisPlayerAdaptor::Next() {
    service_->form().nextEntry();
}

void MprisPlayerAdaptor::Previous() {
    service_->form().previousEntry();
}

void MprisPlayerAdaptor::Seek(qlonglong) {}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (!url.isLocalFile())
        return;
    service_->later(
        [form = &service_->form(), path = url.toLocalFile()] { form->addPaths({path}); });
}

PlayerFilesAdaptor::PlayerFilesAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

void PlayerFilesAdaptor::Open(const QStringList& paths) {
    QStringList absolute;
    // Relative paths would mean the running player's working directory, not the sender's.
    std::copy_if(paths.cbegin(), paths.cend(), std::back_inserter(absolute),
                 [](const QString& path) { return QDir::isAbsolutePath(path); });
    service_->later([form = &service_->form(), absolute] { form->addPaths(absolute); });
}
