#pragma once

#include "player/dialogs.h"

// The platform's own dialogs, through Qt.
class QtDialogs final : public Dialogs {
public:
    QString openFile(QWidget* owner) override;
    QString openLyricFile(QWidget* owner) override;
    QString pickFolder(QWidget* owner, const QString& prompt) override;
    std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) override;
    void showInformation(QWidget* owner, const QString& title, const QString& text) override;
    void showError(QWidget* owner, const QString& title, const QString& text) override;
};
