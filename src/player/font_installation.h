#pragma once

#include <QString>

// Where the user's fonts live and what the font system knows about them.
class FontInstallation {
public:
    virtual ~FontInstallation() = default;

    // The folder fonts are installed into for this user.
    virtual QString userFontFolder() const = 0;

    virtual bool hasFamily(const QString& family) const = 0;

    // Whether the file holds a font the font system can load, with at least one family.
    virtual bool isFontFile(const QString& fontFile) const = 0;

    // Makes a font file just copied into the user folder usable, by this process at once
    // and by other programs once the font cache is refreshed.
    virtual void fontAdded(const QString& fontFile) = 0;
};
