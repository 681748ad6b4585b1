#include "desktop_lyric/lyric_settings.h"

#include "desktop_lyric/colour_schemes.h"
#include "settings/lyric_look_file.h"

LyricSettings::LyricSettings(QString lookFile, QObject* parent)
    : QObject(parent), lookFile_(std::move(lookFile)), saveWhenDone_(this, [this] {
          if (unsaved_)
              save();
      }) {}

void LyricSettings::setFont(const QString& name, float size) {
    if (name == style_.fontName && size == style_.fontSize)
        return;
    style_.fontName = name;
    style_.fontSize = size;
    lookChanged();
}

void LyricSettings::chooseColourScheme(qint16 n) {
    const std::optional<ColourPair> colours = colourSchemeColours(n);
    // The number alone can be right while the colours are not: a save turns scheme 0 into
    // 1 without giving it colours.
    if (!colours || (n == colourScheme_ && style_.firstColour == colours->first &&
                     style_.secondColour == colours->second))
        return;
    colourScheme_ = n;
    style_.firstColour = colours->first;
    style_.secondColour = colours->second;
    lookChanged();
}

// Several changes of one action (a font and then a scheme) make one write, after them.
void LyricSettings::lookChanged() {
    unsaved_ = true;
    saveWhenDone_.request();
    Q_EMIT styleChanged();
}

bool LyricSettings::save() {
    const qint16 scheme = colourScheme_ == 0 ? 1 : colourScheme_;
    if (!LyricLookFile::write(lookFile_, style_.fontName, style_.fontSize, scheme))
        return false;
    colourScheme_ = scheme;
    unsaved_ = false;
    return true;
}
