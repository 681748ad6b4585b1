#include "forms/form1.h"

#include "forms/design_units.h"
#include "player/desktop_launcher.h"
#include "player/exit_fade.h"
#include "player/lyric_font.h"
#include "player/media_engine.h"
#include "player/playlist_file.h"
#include "player/program_files.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {

QTimer* makeTimer(QObject* parent, int intervalMs, bool enabled) {
    auto* timer = new QTimer(parent);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    if (enabled)
        timer->start();
    return timer;
}

// Enabling a timer that already runs changes nothing, as with the designed timers;
// QTimer::start() would restart its interval instead.
void enable(QTimer* timer) {
    if (!timer->isActive())
        timer->start();
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    createControls();
    load();
}

Form1::~Form1() = default;

void Form1::createControls() {
    setWindowTitle(QStringLiteral("Vellora V1.0"));
    setFixedSize(twipsToPixels(4920), twipsToPixels(4605));

    // Siblings created later lie in front, so the controls are created from the back of
    // the design's stacking order to its front.
    w1 = new QWidget(this);
    w1->setObjectName(QStringLiteral("w1"));
    w1->setGeometry(designRect(0, 1485, 4935, 930));
    w1->setAutoFillBackground(true);
    w1->setPalette(QPalette(Qt::black));

    Label10 = new QLabel(QString::number(ExitFade::StartLevel), this);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setGeometry(designRect(4200, 120, 855, 255));
    Label10->hide();

    Text1 = new QLineEdit(QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(designRect(5160, 3480, 3615, 390));

    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(designRect(0, 2250, 4935, 1680));
    List2->setUniformItemSizes(true);
    QPalette listColours = List2->palette();
    listColours.setColor(QPalette::Base, Qt::black);
    listColours.setColor(QPalette::Text, QColor(0, 255, 0));
    List2->setPalette(listColours);

    Text2 = new QLineEdit(QString::fromUtf16(LyricFont::Calligraphic), this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(designRect(3240, 4080, 855, 270));
    Text2->hide();

    Timer1 = makeTimer(this, 10, true);
    Timer2 = makeTimer(this, 10, true);
    Timer3 = makeTimer(this, 10, false);
    Timer4 = makeTimer(this, 1, false);
    Timer5 = makeTimer(this, 10, false);
    connect(Timer3, &QTimer::timeout, this, &Form1::timer3Tick);
    connect(Timer4, &QTimer::timeout, this, &Form1::timer4Tick);
    connect(Timer5, &QTimer::timeout, this, &Form1::timer5Tick);
}

QString Form1::playlistPath() const {
    return programFilePath(services_.programFolder, QString::fromLatin1(PlaylistFile::FileName));
}

void Form1::load() {
    services_.engine.setVolume(100);
    services_.launcher.unregisterComponent(QStringLiteral("SSubTmr6.dll"));
    services_.launcher.unregisterComponent(QStringLiteral("Diag.dll"));
    Text2->setText(
        LyricFont::prepare(services_.fonts, services_.launcher, services_.currentDirectory));

    List2->addItems(PlaylistFile::load(playlistPath()));
    if (List2->count() > 0) {
        List2->setCurrentRow(0);
        enable(Timer3);
    }
}

void Form1::playSelectedEntry() {
    QListWidgetItem* selected = List2->currentItem();
    Text1->setText(selected && selected->isSelected() ? selected->text() : QString());
    services_.engine.setURL(Text1->text());
}

void Form1::timer3Tick() {
    playSelectedEntry();
    Timer3->stop();
}

void Form1::closeEvent(QCloseEvent* event) {
    QStringList entries;
    entries.reserve(List2->count());
    for (int i = 0; i < List2->count(); ++i)
        entries.append(List2->item(i)->text());
    // A failed write keeps the previous file; the program still closes.
    PlaylistFile::save(playlistPath(), entries);
    event->ignore();
    enable(Timer4);
    enable(Timer5);
}

void Form1::timer4Tick() {
    MediaEngine& engine = services_.engine;
    const int fadeLevel = Label10->text().toInt();
    if (ExitFade::isDone(engine.volume(), fadeLevel)) {
        for (QTimer* timer : {Timer1, Timer2, Timer3, Timer4, Timer5})
            timer->stop();
        engine.shutdown();
        services_.endProcess();
        return;
    }
    engine.setVolume(ExitFade::nextVolume(engine.volume()));
    Label10->setText(QString::number(ExitFade::nextLevel(fadeLevel)));
}

void Form1::timer5Tick() {
    setWindowOpacity(ExitFade::opacity(Label10->text().toInt()));
}
