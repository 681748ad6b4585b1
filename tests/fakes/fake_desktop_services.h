#pragma once

#include "player/desktop_launcher.h"
#include "player/dialogs.h"
#include "player/font_installation.h"

#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>

class FakeDesktopLauncher : public DesktopLauncher {
public:
    void unregisterComponent(const QString& libraryName) override {
        launches << QStringLiteral("unregister ") + libraryName;
    }
    void openFolder(const QString& folder) override {
        launches << QStringLiteral("open ") + folder;
    }
    void openVolumeMixer() override { launches << QStringLiteral("mixer"); }

    QStringList launches;
};

// A font folder of the test's choosing and a font system that knows the families listed
// and takes every file for a font unless told otherwise.
class FakeFontInstallation : public FontInstallation {
public:
    QString userFontFolder() const override { return folder; }
    bool hasFamily(const QString& family) const override { return families.contains(family); }
    bool isFontFile(const QString& fontFile) const override {
        examined << fontFile;
        return filesAreFonts;
    }
    void fontAdded(const QString& fontFile) override { added << fontFile; }

    QString folder;
    QStringList families;
    bool filesAreFonts = true;
    mutable QStringList examined;
    QStringList added;
};

// Dialogs answered by the test: each call takes the next queued answer (empty when none
// is queued, as a cancel), and messages are recorded.
class FakeDialogs : public Dialogs {
public:
    QString openFile(QWidget*) override { return next(fileAnswers); }
    QString openLyricFile(QWidget*) override { return next(lyricFileAnswers); }
    QString pickFolder(QWidget*, const QString& prompt) override {
        prompts << prompt;
        return next(folderAnswers);
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override {
        fontDialogStarts << initial;
        return fontAnswer;
    }
    void showInformation(QWidget* owner, const QString& title, const QString& text) override {
        messages << title + QStringLiteral(": ") + text;
        ownersOnScreen << (owner && owner->windowHandle() && owner->windowHandle()->isExposed());
        // What happens while a real box runs its event loop.
        deepest = std::max(deepest, ++depth);
        if (whileShowing)
            whileShowing();
        --depth;
    }
    void showError(QWidget*, const QString& title, const QString& text) override {
        errors << title + QStringLiteral(": ") + text;
    }

    QStringList fileAnswers;
    QStringList lyricFileAnswers;
    QStringList folderAnswers;
    QStringList prompts;
    QList<QFont> fontDialogStarts;
    std::optional<QFont> fontAnswer; // empty: the user cancels
    QStringList messages;
    QList<bool> ownersOnScreen; // whether a message's window was exposed when it came
    QStringList errors;
    std::function<void()> whileShowing;
    int depth = 0;   // boxes open now
    int deepest = 0; // most boxes ever open at once

private:
    static QString next(QStringList& answers) {
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
