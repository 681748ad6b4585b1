#include "desktop_integration/mpris_service.h"

#include "core/player_core.h"
#include "desktop_integration/desktop_identity.h"
#include "desktop_integration/mpris_adaptors.h"
#include "player/media_engine.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

inline constexpr auto PropertiesInterface = u"org.freedesktop.DBus.Properties";
inline constexpr auto NoTrack = u"/org/mpris/MediaPlayer2/TrackList/NoTrack";

} // namespace

MprisService::MprisService(PlayerCore& core, const MediaEngine& engine,
                           std::function<void()> raiseWindow, QObject* parent)
    : QObject(parent), core_(core), engine_(engine), raiseWindow_(std::move(raiseWindow)),
      refresh_(this, [this] { refresh(); }) {
    new MprisRootAdaptor(this);
    auto* player = new MprisPlayerAdaptor(this);
    new PlayerFilesAdaptor(this);
    // A jump of the position (a seek from anywhere, a new media) is told as MPRIS's Seeked.
    connect(&engine_, &MediaEngine::positionChanged, player, [this, player](qint64 milliseconds) {
        if (connection_ && engine_.hasMedia())
            Q_EMIT player->Seeked(milliseconds * 1000);
    });
    connect(&engine_, &MediaEngine::playStateChanged, this, &MprisService::requestRefresh);
    connect(&engine_, &MediaEngine::mediaChanged, this, &MprisService::requestRefresh);
    connect(&engine_, &MediaEngine::durationChanged, this, &MprisService::requestRefresh);
    const QAbstractItemModel* entries = &core_.playlist().model();
    connect(entries, &QAbstractItemModel::rowsInserted, this, &MprisService::requestRefresh);
    connect(entries, &QAbstractItemModel::rowsRemoved, this, &MprisService::requestRefresh);
    connect(entries, &QAbstractItemModel::modelReset, this, &MprisService::requestRefresh);
    connect(&core_.playlist(), &PlaylistController::currentRowChanged, this,
            &MprisService::requestRefresh);
    connect(&core_, &PlayerCore::mediaOpened, this, &MprisService::newOpening);
    connect(&core_, &PlayerCore::playModeChanged, this, &MprisService::requestRefresh);
    connect(&core_.openedTrack(), &OpenedTrack::tagsChanged, this, &MprisService::detailsChanged);
    connect(&core_.lyricLines(), &QAbstractItemModel::modelReset, this,
            &MprisService::detailsChanged);
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
    std::optional<qint64> length;
    if (engine_.hasMedia() && engine_.duration() > 0)
        length = engine_.duration() * 1000;
    const MetadataKey key{opening_, details_, length};
    if (metadataKey_ == key)
        return metadata_;
    metadataKey_ = key;
    metadata_.clear();
    if (opening_ == 0) {
        metadata_.insert(QStringLiteral("mpris:trackid"),
                         QVariant::fromValue(QDBusObjectPath(QString::fromUtf16(NoTrack))));
        return metadata_;
    }
    const QString mediaPath = core_.currentPath();
    metadata_.insert(QStringLiteral("mpris:trackid"),
                     QVariant::fromValue(QDBusObjectPath(
                         QStringLiteral("/io/github/vellora/Vellora/track/%1").arg(opening_))));
    metadata_.insert(QStringLiteral("xesam:url"),
                     QUrl::fromLocalFile(mediaPath).toString(QUrl::FullyEncoded));
    const OpenedTrack& track = core_.openedTrack();
    const MediaTags& tags = track.tags();
    metadata_.insert(QStringLiteral("xesam:title"), track.title());
    // MPRIS types the artists as a list and the album as one text.
    if (!tags.artist.isEmpty())
        metadata_.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
    if (!tags.album.isEmpty())
        metadata_.insert(QStringLiteral("xesam:album"), tags.album);
    metadata_.insert(QStringLiteral("xesam:asText"), core_.lyricLines().lines().join(u'\n'));
    // The engine knows the length once it plays; the tags' may come sooner.
    const std::optional<qint64> taggedLength = tags.durationMs && *tags.durationMs > 0
                                                   ? std::optional(*tags.durationMs * 1000)
                                                   : std::nullopt;
    if (const std::optional<qint64> known = length ? length : taggedLength)
        metadata_.insert(QStringLiteral("mpris:length"), QVariant::fromValue<qint64>(*known));
    if (!track.artUrl().isEmpty())
        metadata_.insert(QStringLiteral("mpris:artUrl"), track.artUrl());
    return metadata_;
}

double MprisService::volumeFraction() const {
    return engine_.volume() / 100.0;
}

void MprisService::setVolumeFraction(double volume) {
    if (!std::isfinite(volume))
        return;
    core_.setVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
    refresh();
}

qlonglong MprisService::positionMicroseconds() const {
    return engine_.hasMedia() ? engine_.position() * 1000 : 0;
}

// The advance wraps to the first entry after the last: the playlist loops.
QString MprisService::loopStatus() const {
    return core_.playMode() == PlayMode::RepeatTrack ? QStringLiteral("Track")
                                                     : QStringLiteral("Playlist");
}

bool MprisService::canSeek() const {
    return engine_.canSeek();
}

QDBusObjectPath MprisService::trackId() {
    return metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
}

bool MprisService::canPlay() const {
    return !core_.currentPath().isEmpty();
}

void MprisService::later(std::function<void()> work) {
    QTimer::singleShot(0, this, std::move(work));
}

void MprisService::newOpening() {
    ++opening_;
    requestRefresh();
}

void MprisService::detailsChanged() {
    ++details_;
    requestRefresh();
}

void MprisService::requestRefresh() {
    refresh_.request();
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
    note(QStringLiteral("Volume"), volumeFraction());
    note(QStringLiteral("CanGoNext"), core_.playlist().canGoNext());
    note(QStringLiteral("CanGoPrevious"), core_.playlist().canGoPrevious());
    note(QStringLiteral("CanPlay"), canPlay());
    note(QStringLiteral("CanPause"), canPlay());
    note(QStringLiteral("CanSeek"), canSeek());
    note(QStringLiteral("LoopStatus"), loopStatus());
    const QVariantMap tags = metadata();
    // Tags that arrive without news for the desktop (a file with none) are not told.
    if (toldMetadataKey_ != metadataKey_) {
        toldMetadataKey_ = metadataKey_;
        if (tags != toldMetadata_) {
            toldMetadata_ = tags;
            changed.insert(QStringLiteral("Metadata"), tags);
        }
    }
    if (changed.isEmpty() || !connection_)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromUtf16(DesktopIdentity::ObjectPath), QString::fromUtf16(PropertiesInterface),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromUtf16(DesktopIdentity::PlayerInterface) << changed << QStringList();
    connection_->send(signal);
}
