#pragma once

#include "player/font_installation.h"

// The user's font folder and font database of the platform the program was built for.
class SystemFontInstallation final : public FontInstallation {
public:
    QString userFontFolder() const override;
    bool hasFamily(const QString& family) const override;
    bool isFontFile(const QString& fontFile) const override;
    void fontAdded(const QString& fontFile) override;
};
