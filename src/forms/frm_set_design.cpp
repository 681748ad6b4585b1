// The toolbar's design: the bar, its images with their positions, tooltips and
// visibility, and the three pictures of every button. Positions are the design's twips.
#include "desktop_lyric/toolbar_face.h"
#include "forms/design_units.h"
#include "forms/frm_set.h"
#include "forms/image_control.h"
#include "forms/picture_box.h"

namespace {

QPixmap skin(const QString& file) {
    return QPixmap(QStringLiteral(":/skin/") + file);
}

QPixmap skinBitmap(const char* name) {
    return skin(QString::fromLatin1(name) + QStringLiteral(".bmp"));
}

ImageControl* image(QWidget* parent, const char* name, const QRect& geometry,
                    const QPixmap& picture, const QString& toolTip = {}) {
    auto* control = new ImageControl(parent, geometry, picture, toolTip);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

void FrmSet::createControls() {
    setObjectName(QStringLiteral("FrmSet"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(twipsToPixels(6075), twipsToPixels(525));
    // The bar never becomes the active window (the user works elsewhere while it floats),
    // and Qt shows tooltips only in the active window unless told otherwise.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Whatever the bar leaves uncovered is the colour key, and so see-through.
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(ToolbarFace::ColourKey));
    setPalette(background);

    // The picture stores: image controls on the window below its client area, so never
    // seen, from which the buttons take their normal, pointer-over and pressed pictures.
    struct Store {
        const char* name;
        QPoint twips;
    };
    static constexpr Store Stores[] = {
        {"SelPoi", {3240, 1920}},    {"SelDown", {4200, 1920}},   {"SetPoi", {3120, 1560}},
        {"SetNor", {2400, 1560}},    {"SetDown", {3960, 1560}},   {"SelNor", {2400, 1920}},
        {"WhiteNor", {1320, 2640}},  {"WhitePoi", {1560, 2640}},  {"YellowNor", {1320, 2880}},
        {"YellowPoi", {1560, 2880}}, {"BlueDown", {600, 2400}},   {"GreenDown", {600, 2640}},
        {"RedDown", {1920, 2400}},   {"WhiteDown", {1920, 2640}}, {"YellowDown", {1920, 2880}},
        {"LockDown", {600, 2880}},   {"Delay2Down", {600, 1200}}, {"Delay1Down", {600, 960}},
        {"EndDown", {2040, 960}},    {"BlueNor", {0, 2400}},      {"BluePoi", {240, 2400}},
        {"Delay1Nor", {120, 960}},   {"Delay2Poi", {360, 1200}},  {"Delay2Nor", {120, 1200}},
        {"Delay1Poi", {360, 960}},   {"EndNor", {1320, 960}},     {"EndPoi", {1680, 960}},
        {"GreenNor", {0, 2640}},     {"GreenPoi", {240, 2640}},   {"LockNor", {0, 2880}},
        {"LockPoi", {240, 2880}},    {"RedNor", {1320, 2400}},    {"RedPoi", {1560, 2400}},
    };
    for (const Store& store : Stores) {
        const QPixmap picture = skinBitmap(store.name);
        const QPoint at(twipsToPixels(store.twips.x()), twipsToPixels(store.twips.y()));
        ImageControl* stored = image(this, store.name, QRect(at, picture.size()), picture);
        stored->setAttribute(Qt::WA_TransparentForMouseEvents);
        stored->setFocusPolicy(Qt::NoFocus);
    }
    const auto states = [this](const char* stem) {
        const auto stored = [&](const char* state) {
            const QString name = QString::fromLatin1(stem) + QString::fromLatin1(state);
            return findChild<ImageControl*>(name, Qt::FindDirectChildrenOnly)->picture();
        };
        return ButtonPictures{stored("Nor"), stored("Poi"), stored("Down")};
    };
    const ButtonPictures delay1 = states("Delay1");
    const ButtonPictures delay2 = states("Delay2");
    const ButtonPictures blue = states("Blue");
    const ButtonPictures green = states("Green");
    const ButtonPictures red = states("Red");
    const ButtonPictures white = states("White");
    const ButtonPictures yellow = states("Yellow");
    const ButtonPictures set = states("Set");
    const ButtonPictures sel = states("Sel");
    const ButtonPictures lock = states("Lock");
    const ButtonPictures end = states("End");

    Pic = new PictureBox(this, designRect(0, 0, 5835, 450), skinBitmap("Pic"));
    Pic->setObjectName(QStringLiteral("Pic"));

    // Siblings created later lie in front, so the images are created from the back of the
    // design's stacking order to its front. Each starts with its normal picture.
    const QPixmap separator = skinBitmap("Separator");
    CmdRed = image(Pic, "CmdRed", designRect(2520, 120, 210, 210), red.normal);
    Image3 = image(Pic, "Image3", designRect(5010, 30, 30, 360), separator);
    CmdSet =
        image(Pic, "CmdSet", designRect(4200, 60, 615, 330), set.normal, QStringLiteral("设置"));
    Image50 = image(Pic, "Image50", designRect(1170, 30, 30, 360), separator);
    CmdYellow = image(Pic, "CmdYellow", designRect(3600, 120, 210, 210), yellow.normal,
                      QStringLiteral("活力黄"));
    CmdWhite = image(Pic, "CmdWhite", designRect(3120, 120, 210, 210), white.normal,
                     QStringLiteral("高雅灰"));
    CmdGreen = image(Pic, "CmdGreen", designRect(1920, 120, 210, 210), green.normal,
                     QStringLiteral("清新绿"));
    CmdBlue = image(Pic, "CmdBlue", designRect(1410, 120, 210, 210), blue.normal,
                    QStringLiteral("湖水蓝"));
    CmdEnd = image(Pic, "CmdEnd", designRect(5490, 150, 165, 165), end.normal);
    // The program icon stands in until the first refreshSkin; nothing ever shows it.
    CmdLock =
        image(Pic, "CmdLock", designRect(5400, 480, 720, 720), skin(QStringLiteral("icon.ico")));
    CmdLock->hide();
    Delay2 = image(Pic, "Delay2", designRect(450, 150, 180, 165), delay2.normal,
                   QStringLiteral("提前0.5秒"));
    Delay1 = image(Pic, "Delay1", designRect(810, 150, 180, 165), delay1.normal,
                   QStringLiteral("延迟0.5秒"));
    Image23 = image(Pic, "Image23", designRect(4080, 30, 30, 360), separator);
    Image1 = image(Pic, "Image1", designRect(30, 30, 375, 375), skin(QStringLiteral("Image1.gif")));
    // Pictures, not buttons: nothing to reach or to read. The buttons without a tooltip are
    // named for screen readers.
    for (ImageControl* picture : {Image3, Image50, Image23, Image1})
        picture->setFocusPolicy(Qt::NoFocus);
    CmdRed->setAccessibleName(QStringLiteral("红色"));
    CmdEnd->setAccessibleName(QStringLiteral("关闭"));
    CmdLrc = image(Pic, "CmdLrc", designRect(4200, 360, 885, 330), sel.normal,
                   QStringLiteral("搜索歌词"));
    CmdLrc->hide();

    buttons_ = {{Delay1, delay1}, {Delay2, delay2},  {CmdBlue, blue},     {CmdGreen, green},
                {CmdRed, red},    {CmdWhite, white}, {CmdYellow, yellow}, {CmdSet, set},
                {CmdLrc, sel},    {CmdLock, lock},   {CmdEnd, end}};
    // Tab goes along the bar, left to right.
    QWidget* const order[] = {Delay2,   Delay1,    CmdBlue, CmdGreen, CmdRed,
                              CmdWhite, CmdYellow, CmdSet,  CmdEnd};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}
