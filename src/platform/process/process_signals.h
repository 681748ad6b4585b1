#pragma once

#include <QObject>

class QSocketNotifier;

// What the operating system's signals do to the player. The signals that politely ask a
// program to end (SIGTERM from kill or a logout, SIGINT from Ctrl+C, SIGHUP when its
// terminal goes away) would end it on the spot and lose the playlist's changes; they become
// a request on the UI thread instead, which the program answers as it answers closing its
// window. A write beyond a file-size limit would kill it too; it fails instead, as a write
// to a full disk does, and the file writer keeps the old file.
//
// One at a time: it owns the process-wide handlers while it lives and restores the previous
// ones when it goes.
class ProcessSignals : public QObject {
    Q_OBJECT
public:
    explicit ProcessSignals(QObject* parent = nullptr);
    ~ProcessSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};
