#include "platform/desktop/qt_dialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

QString QtDialogs::openFile(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner);
}

QString QtDialogs::openLyricFile(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QStringLiteral("载入歌词文件"), QString(),
                                        QStringLiteral("歌词文件 (*.lrc);;所有文件 (*)"));
}

QString QtDialogs::pickFolder(QWidget* owner, const QString& prompt) {
    return QFileDialog::getExistingDirectory(owner, prompt);
}

std::optional<QFont> QtDialogs::chooseFont(QWidget* owner, const QFont& initial) {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, initial, owner);
    return chosen ? std::optional<QFont>(font) : std::nullopt;
}

namespace {

// Messages may quote paths and other programs' texts, which must never be taken as markup.
void showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                 const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void QtDialogs::showInformation(QWidget* owner, const QString& title, const QString& text) {
    showMessage(owner, QMessageBox::Information, title, text);
}

void QtDialogs::showError(QWidget* owner, const QString& title, const QString& text) {
    showMessage(owner, QMessageBox::Critical, title, text);
}
