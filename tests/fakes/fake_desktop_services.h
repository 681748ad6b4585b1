#pragma once

#include "player/desktop_launcher.h"
#include "player/font_installation.h"

#include <QStringList>

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

// A font folder of the test's choosing and a font system that knows the families listed.
class FakeFontInstallation : public FontInstallation {
public:
    QString userFontFolder() const override { return folder; }
    bool hasFamily(const QString& family) const override { return families.contains(family); }
    void fontAdded(const QString& fontFile) override { added << fontFile; }

    QString folder;
    QStringList families;
    QStringList added;
};
