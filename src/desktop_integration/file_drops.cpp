#include "desktop_integration/file_drops.h"

#include "player/outside_paths.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls())
        if (const QString path = OutsidePaths::localFile(url); !path.isEmpty())
            paths.append(path);
    return paths;
}

} // namespace

FileDrops::FileDrops(QWidget& window, std::function<void(const QStringList&)> dropped)
    : dropped_(std::move(dropped)) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localPaths(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localPaths(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->acceptProposedAction();
        // Adding may ask the user something; the file manager is not kept waiting on it.
        QTimer::singleShot(0, this, [this, paths] { dropped_(paths); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
