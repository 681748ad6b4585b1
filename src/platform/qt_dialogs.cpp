#include "platform/qt_dialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

QString QtDialogs::openFile(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner);
}

QString QtDialogs::pickFolder(QWidget* owner, const QString& prompt) {
    return QFileDialog::getExistingDirectory(owner, prompt);
}

std::optional<QFont> QtDialogs::chooseFont(QWidget* owner, const QFont& initial) {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, initial, owner);
    return chosen ? std::optional<QFont>(font) : std::nullopt;
}

void QtDialogs::showInformation(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox::information(owner, title, text);
}

void QtDialogs::showError(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox::critical(owner, title, text);
}
