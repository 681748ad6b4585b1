#pragma once

#include <QFont>
#include <QString>
#include <optional>

class QWidget;

// The modal dialogs the windows show. Tests answer them with a fake.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen file's full path; empty when the user cancelled.
    virtual QString openFile(QWidget* owner) = 0;
    // The same for a lyric file.
    virtual QString openLyricFile(QWidget* owner) = 0;

    // The chosen folder's path; empty when the user cancelled.
    virtual QString pickFolder(QWidget* owner, const QString& prompt) = 0;

    // The font the user chose, starting from initial; empty when the user cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) = 0;

    virtual void showInformation(QWidget* owner, const QString& title, const QString& text) = 0;
    virtual void showError(QWidget* owner, const QString& title, const QString& text) = 0;
};
