#include "desktop_integration/mpris_adaptors.h"

#include "core/player_core.h"
#include "desktop_integration/desktop_identity.h"
#include "player/media_engine.h"
#include "player/outside_paths.h"

#include <QDBusError>
#include <QDir>
#include <QUrl>

namespace {

// Splits paths handed over on the bus into those that may join the playlist and the
// refusals ("path：why"). Relative paths would mean the running player's working directory,
// not the sender's.
// Only as many paths as could ever join are looked at; the rest are refused unseen.
QStringList admissible(const QStringList& paths, QStringList& refusals) {
    QStringList accepted;
    const qsizetype taken = std::min(paths.size(), OutsidePaths::MaxPathsPerCall);
    if (taken < paths.size())
        refusals.append(QStringLiteral("%1 个路径超出一次能加入的数目").arg(paths.size() - taken));
    for (const QString& path : paths.first(taken)) {
        QString why = OutsidePaths::refusal(path);
        if (why.isEmpty() && !QDir::isAbsolutePath(path))
            why = QStringLiteral("不是绝对路径");
        if (why.isEmpty())
            accepted.append(path);
        else
            refusals.append(path + QStringLiteral("：") + why);
    }
    return accepted;
}

} // namespace

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
    service_->later([service = service_] { service->raiseWindow(); });
}

void MprisRootAdaptor::Quit() {
    service_->later([exit = &service_->core().exit()] { exit->requestClose(); });
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

bool MprisPlayerAdaptor::canGoNext() const {
    return service_->core().playlist().canGoNext();
}

bool MprisPlayerAdaptor::canGoPrevious() const {
    return service_->core().playlist().canGoPrevious();
}

void MprisPlayerAdaptor::Play() {
    service_->core().play();
}

void MprisPlayerAdaptor::Pause() {
    service_->core().pause();
}

void MprisPlayerAdaptor::PlayPause() {
    service_->core().playOrPause();
}

void MprisPlayerAdaptor::Stop() {
    service_->core().stop();
}

void MprisPlayerAdaptor::Next() {
    service_->core().playlist().nextEntry();
}

void MprisPlayerAdaptor::Previous() {
    service_->core().playlist().previousEntry();
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    service_->core().seekBy(offset / 1000);
}

// A position for a track that is no longer the current one is ignored, as MPRIS asks, and
// so is one outside the track.
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    if (track.path() != service_->trackId().path() || position < 0 ||
        position / 1000 > service_->engine().duration())
        return;
    service_->core().seekTo(position / 1000);
}

// The player has the two modes its buttons set: the track again, or on through the playlist
// and round to its start. Any other value ("None") leaves the mode as it is: a property
// setter has no call context to answer with an error from (Qt gives it none, and asking for
// one there crashes), so the unchanged LoopStatus is the answer.
void MprisPlayerAdaptor::setLoopStatus(const QString& status) {
    if (status == u"Track")
        service_->core().setPlayMode(PlayMode::RepeatTrack);
    else if (status == u"Playlist")
        service_->core().setPlayMode(PlayMode::Advance);
}

// A refused path is answered with an error; what passes joins the playlist once the caller
// has its answer.
void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    const QString local = OutsidePaths::localFile(QUrl(uri));
    QStringList refusals;
    const QStringList accepted = local.isEmpty() ? QStringList() : admissible({local}, refusals);
    if (local.isEmpty())
        refusals.append(uri + QStringLiteral("：") +
                        QString::fromUtf16(OutsidePaths::NotLocalFile));
    if (!refusals.isEmpty()) {
        service_->sendErrorReply(QDBusError::InvalidArgs, OutsidePaths::describe(refusals));
        return;
    }
    service_->later(
        [playlist = &service_->core().playlist(), accepted] { playlist->admitPaths(accepted); });
}

PlayerFilesAdaptor::PlayerFilesAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

// What passes joins the playlist; what is refused is told in an error all the same.
void PlayerFilesAdaptor::Open(const QStringList& paths) {
    QStringList refusals;
    const QStringList accepted = admissible(paths, refusals);
    if (!accepted.isEmpty())
        service_->later([playlist = &service_->core().playlist(), accepted] {
            playlist->admitPaths(accepted);
        });
    if (!refusals.isEmpty())
        service_->sendErrorReply(QDBusError::InvalidArgs, OutsidePaths::describe(refusals));
}
