#include "forms/frm_set.h"

#include "desktop_lyric/colour_schemes.h"
#include "desktop_lyric/settings_file.h"
#include "forms/design_units.h"
#include "forms/frm_show.h"
#include "window_services/screen_geometry.h"

FrmSet::FrmSet(LyricSettings& settings, FrmShow& lyricWindow, FrmSetServices services,
               QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(settings), lyricWindow_(lyricWindow), services_(std::move(services)) {
    setObjectName(QStringLiteral("FrmSet"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(twipsToPixels(6075), twipsToPixels(525));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(255, 0, 255));
    setPalette(background);
    load();
}

FrmSet::~FrmSet() = default;

void FrmSet::load() {
    // The bar's bottom edge touches the lyric window's top edge, centred on the screen.
    const QRect screen = services_.screen.screen();
    move(screen.x() + (screen.width() - width()) / 2, lyricWindow_.y() - height());
}

bool FrmSet::SaveSet() {
    return SettingsFile::save(settings_, services_.programFolder);
}

void FrmSet::SetColor(qint16 n) {
    chooseColourScheme(settings_, n);
    // A settings file that cannot be written is no reason to keep the lyric in its old
    // colours; the choice is already in effect.
    SaveSet();
    lyricWindow_.RefreshText();
}
