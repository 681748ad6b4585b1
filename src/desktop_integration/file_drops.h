#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

// Files and folders dropped on a window from a file manager: the window accepts drops of
// local files, and each drop hands their paths on in the order they were dragged. Lives no
// longer than the window.
class FileDrops : public QObject {
    Q_OBJECT
public:
    FileDrops(QWidget& window, std::function<void(const QStringList&)> dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QStringList&)> dropped_;
};
