// The main window's design: every control with its container, position, text and
// visibility. Positions are the design's twips.
#include "forms/click_area.h"
#include "forms/design_units.h"
#include "forms/form1.h"
#include "forms/picture_box.h"
#include "player/exit_fade.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

namespace {

template <typename Control> Control* named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QLabel* hiddenLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect) {
    auto* label = named(new QLabel(text, parent), name);
    label->setGeometry(rect);
    label->hide();
    return label;
}

QPixmap skin(const char* name) {
    return QPixmap(QStringLiteral(":/skin/") + QString::fromLatin1(name) + QStringLiteral(".bmp"));
}

} // namespace

void Form1::createControls() {
    setWindowTitle(QStringLiteral("Vellora V1.0"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(4920), twipsToPixels(4605));

    // Siblings created later lie in front, so the controls are created from the back of
    // the design's stacking order to its front; labels lie behind every windowed control.
    const QPalette redText = [] {
        QPalette palette;
        palette.setColor(QPalette::WindowText, Qt::red);
        return palette;
    }();
    Label4 = named(new QLabel(QStringLiteral("Label4"), this), "Label4");
    Label4->setGeometry(designRect(6480, 840, 1455, 255));
    Label5 = named(new QLabel(QStringLiteral("Label5"), this), "Label5");
    Label5->setGeometry(designRect(1560, 3720, 1215, 255));
    Label5->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label5->setPalette(redText);
    Label6 = named(new QLabel(QStringLiteral("Label6"), this), "Label6");
    Label6->setGeometry(designRect(6480, 600, 1455, 255));
    Label3 = named(new QLabel(QStringLiteral("Label3"), this), "Label3");
    Label3->setGeometry(designRect(0, 3600, 1335, 255));
    Label3->setPalette(redText);
    Label1 = hiddenLabel(this, "Label1",
                         QStringLiteral("添加URL功能 单曲循环 全部循环 顺序播放  暂停 停止 进度条"),
                         designRect(360, 240, 3615, 495));
    Label9 = hiddenLabel(this, "Label9", QString(), designRect(3240, 1080, 855, 255));
    Label7 = named(new ClickableLabel(QStringLiteral("Label7"), this), "Label7");
    Label7->setGeometry(designRect(1920, 960, 975, 255));
    Label7->hide();
    Label8 = named(new ClickableLabel(QStringLiteral("Label8"), this), "Label8");
    Label8->setGeometry(designRect(1080, 840, 735, 255));
    Label8->hide();
    Label10 = hiddenLabel(this, "Label10", QString(), designRect(4200, 120, 855, 255));
    Label11 = hiddenLabel(this, "Label11", QString(), designRect(3480, 600, 90, 180));

    w1 = named(new QWidget(this), "w1");
    w1->setGeometry(designRect(0, 1485, 4935, 930));
    w1->setAutoFillBackground(true);
    w1->setAttribute(Qt::WA_NoMousePropagation);
    w1->setPalette(QPalette(Qt::black));

    Picture2 =
        named(new PictureBox(this, designRect(0, 1920, 4935, 330), skin("Picture2")), "Picture2");
    Image3 = named(
        new ClickArea(Picture2, designRect(120, 0, 375, 375), QStringLiteral("单个音乐文件添加")),
        "Image3");
    Image1 = named(
        new ClickArea(Picture2, designRect(3000, 0, 375, 375), QStringLiteral("显示桌面歌词")),
        "Image1");
    Image4 = named(
        new ClickArea(Picture2, designRect(1560, 0, 375, 375), QStringLiteral("添加音乐文件夹")),
        "Image4");
    Image5 = named(
        new ClickArea(Picture2, designRect(2280, 0, 375, 375), QStringLiteral("清空歌曲列表")),
        "Image5");
    Image6 =
        named(new ClickArea(Picture2, designRect(840, 0, 375, 375), QStringLiteral("删除选中歌曲")),
              "Image6");
    Image7 =
        named(new ClickArea(Picture2, designRect(4440, 0, 375, 375), QStringLiteral("关于我们")),
              "Image7");
    Image2 = named(new ClickArea(Picture2, designRect(3720, 0, 375, 375)), "Image2");
    Image2->setAccessibleName(QStringLiteral("桌面歌词工具栏"));

    Picture1 = named(new PictureBox(this, designRect(3240, 4440, 4935, 1455), skin("Picture1")),
                     "Picture1");
    Picture1->hide();

    Command1 = named(new QPushButton(QStringLiteral("播放"), this), "Command1");
    Command1->setGeometry(designRect(5040, 3840, 975, 375));

    List1 = named(new QListView(this), "List1");
    List1->setGeometry(designRect(6360, 120, 855, 420));
    List1->setUniformItemSizes(true);

    Text1 = named(new QLineEdit(this), "Text1");
    Text1->setGeometry(designRect(5160, 3480, 3615, 390));

    Command2 = named(new QPushButton(QStringLiteral("Command2"), this), "Command2");
    Command2->setGeometry(designRect(5520, 2040, 375, 255));
    Command3 = named(new QPushButton(QStringLiteral("Command3"), this), "Command3");
    Command3->setGeometry(designRect(5640, 2640, 375, 255));

    Check1 = named(new QCheckBox(QStringLiteral("Check1"), this), "Check1");
    Check1->setGeometry(designRect(3360, 3960, 1335, 255));
    Check1->hide();

    Picture3 =
        named(new PictureBox(this, designRect(0, 3900, 4935, 795), skin("Picture3")), "Picture3");
    Label2 = named(new QLabel(Picture3), "Label2");
    Label2->setGeometry(designRect(240, 120, 4455, 480));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont songFace;
    // The designed song face, or the serif (then any) CJK face that stands in for it here.
    songFace.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                          QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                          QStringLiteral("WenQuanYi Micro Hei")});
    songFace.setPointSize(12);
    Label2->setFont(songFace);

    List2 = named(new QListView(this), "List2");
    List2->setGeometry(designRect(0, 2250, 4935, 1680));
    List2->setUniformItemSizes(true);
    QPalette listColours = List2->palette();
    listColours.setColor(QPalette::Base, Qt::black);
    listColours.setColor(QPalette::Text, QColor(0, 255, 0));
    List2->setPalette(listColours);

    Picture4 =
        named(new PictureBox(this, designRect(0, 1440, 4935, 330), skin("Picture4")), "Picture4");
    Image9 = named(new ClickArea(Picture4, designRect(120, 0, 495, 375)), "Image9");
    Image11 = named(new ClickArea(Picture4, designRect(600, 0, 495, 375)), "Image11");
    Image10 = named(new ClickArea(Picture4, designRect(1200, 0, 375, 375)), "Image10");
    Image12 = named(new ClickArea(Picture4, designRect(1680, 0, 615, 375)), "Image12");
    Image13 = named(new ClickArea(Picture4, designRect(2400, 0, 615, 375)), "Image13");
    Image14 = named(new ClickArea(Picture4, designRect(3120, 0, 735, 375)), "Image14");
    Image15 = named(new ClickArea(Picture4, designRect(3960, 0, 855, 375)), "Image15");
    // The transport images have no tooltip; a screen reader still names them.
    const std::pair<ClickArea*, const char16_t*> transportNames[] = {
        {Image9, u"播放"},    {Image11, u"暂停"},     {Image10, u"停止"},    {Image12, u"上一首"},
        {Image13, u"下一首"}, {Image14, u"单曲循环"}, {Image15, u"顺序播放"}};
    for (const auto& [image, name] : transportNames)
        image->setAccessibleName(QString::fromUtf16(name));

    Text2 = named(new QLineEdit(this), "Text2");
    Text2->setGeometry(designRect(3240, 4080, 855, 270));
    Text2->hide();

    // Keyboard focus moves in the design's tab order. The command buttons lie beyond the
    // client area, yet still take focus, and Space or Enter presses them.
    for (QPushButton* button : {Command1, Command2, Command3})
        button->setAutoDefault(true);
    // The image buttons follow their strip, left to right.
    QWidget* const tabOrder[] = {
        w1,       Command1, List1,   Text1,   Command2, Command3, Picture1, Picture2, Image3,
        Image6,   Image4,   Image5,  Image1,  Image2,   Image7,   Check1,   Picture3, List2,
        Picture4, Image9,   Image11, Image10, Image12,  Image13,  Image14,  Image15,  Text2};
    for (auto* widget : {w1, static_cast<QWidget*>(Picture1), static_cast<QWidget*>(Picture2),
                         static_cast<QWidget*>(Picture3), static_cast<QWidget*>(Picture4)})
        widget->setFocusPolicy(Qt::TabFocus);
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // Texts from files, paths and other programs are shown as they are: a label left to
    // guess would take "<img src=…>" in a lyric line as markup and open the file it names.
    for (QLabel* label : findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);

    // The ripple step runs while the water moves, at the design's 10 ms. The fade's opacity
    // ticks on the coarse period the design's platform gave every timer (see ExitFade).
    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer2->setInterval(10);
    Timer5 = named(new QTimer(this), "Timer5");
    Timer5->setTimerType(Qt::PreciseTimer);
    Timer5->setInterval(ExitFade::TimerPeriodMs);
}
