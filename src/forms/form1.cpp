#include "forms/form1.h"

#include "desktop_lyric/lyric_settings.h"
#include "forms/click_area.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "forms/picture_box.h"
#include "lyrics/end_of_media.h"
#include "lyrics/lyric_file.h"
#include "lyrics/playback_tick.h"
#include "lyrics/tick_timing.h"
#include "player/desktop_launcher.h"
#include "player/dialogs.h"
#include "player/exit_fade.h"
#include "player/folder_listing.h"
#include "player/lyric_font.h"
#include "player/media_engine.h"
#include "player/playlist_additions.h"
#include "player/playlist_navigation.h"
#include "player/program_files.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>
#include <cmath>

namespace {

// Enabling a timer that already runs changes nothing, as with the designed timers;
// QTimer::start() would restart its interval instead.
void enable(QTimer* timer) {
    if (!timer->isActive())
        timer->start();
}

// The pointer in whole pixels, halves rounded to even.
QPoint waterPoint(const QMouseEvent* event) {
    const QPointF position = event->position();
    return {static_cast<int>(std::nearbyint(position.x())),
            static_cast<int>(std::nearbyint(position.y()))};
}

void setCaption(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}

// Where a playlist entry read from data.dat keeps the bytes it was stored as.
constexpr int StoredBytesRole = Qt::UserRole;

inline constexpr auto Greeting = u"Quarnet桌面歌词";
inline constexpr auto TiredOfClicking = u"点累了吧？ 先歇一会儿吧！";
inline constexpr float DesktopLyricSize = 50;
inline constexpr qint16 DesktopLyricScheme = 3;

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    createControls();
    connectEvents();
    load();
    connectDesktopSignals();
}

Form1::~Form1() {
    // The list empties itself after this destructor, when the window no longer has signals.
    List2->model()->disconnect(this);
}

void Form1::connectEvents() {
    MediaEngine& engine = services_.engine;
    connect(Timer1, &QTimer::timeout, this, &Form1::timer1Tick);
    connect(Timer2, &QTimer::timeout, this, &Form1::timer2Tick);
    connect(Timer3, &QTimer::timeout, this, &Form1::timer3Tick);
    connect(Timer4, &QTimer::timeout, this, &Form1::timer4Tick);
    connect(Timer5, &QTimer::timeout, this, &Form1::timer5Tick);

    connect(Image3, &ClickArea::clicked, this, &Form1::addFile);
    connect(Image4, &ClickArea::clicked, this, &Form1::addFolder);
    connect(Image6, &ClickArea::clicked, this, &Form1::removeSelected);
    connect(Image5, &ClickArea::clicked, List2, &QListWidget::clear);
    // Any double-click on the list plays the selection, also one beside the entries.
    List2->viewport()->installEventFilter(this);

    connect(&engine, &MediaEngine::endOfStream, this, &Form1::mediaEnded);
    connect(&engine, &MediaEngine::changed, this, &Form1::requestTick);
    connect(Image1, &ClickArea::clicked, this, &Form1::switchDesktopLyric);
    connect(Command2, &QPushButton::clicked, this,
            [this] { openDesktopLyric(QString::fromUtf16(LyricFont::Calligraphic)); });

    connect(Image2, &ClickArea::clicked, this, &Form1::showToolbar);
    connect(Command3, &QPushButton::clicked, this, &Form1::showToolbar);
    connect(Image7, &ClickArea::clicked, this, [this] { services_.launcher.openVolumeMixer(); });

    connect(Image9, &ClickArea::clicked, this, &Form1::play);
    connect(Image11, &ClickArea::clicked, this, &Form1::pause);
    connect(Image10, &ClickArea::clicked, this, &Form1::stop);
    connect(Image12, &ClickArea::clicked, this, &Form1::previousEntry);
    connect(Image13, &ClickArea::clicked, this, &Form1::nextEntry);
    connect(Image14, &ClickArea::clicked, this, [this] { Label9->setText(QStringLiteral("1")); });
    connect(Image15, &ClickArea::clicked, this, [this] { Label9->setText(QStringLiteral("2")); });
    connect(Command1, &QPushButton::clicked, this, [this] { openMedia(Text1->text()); });
    connect(Label7, &ClickableLabel::clicked, this, [this] {
        if (const auto duration = services_.engine.durationString())
            Label7->setText(*duration);
    });
    connect(Label8, &ClickableLabel::clicked, this, [this] {
        if (const auto position = services_.engine.currentPositionString())
            Label8->setText(*position);
    });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List2->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // The list selects what was double-clicked first; the selection plays after that.
        QMetaObject::invokeMethod(this, &Form1::playSelectedEntry, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
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
    water_.WaterInit(Picture1->picture().toImage());
    // Moves over the background stir the water even with no button held.
    setMouseTracking(true);

    for (const PlaylistFile::Entry& entry : PlaylistFile::load(playlistPath()))
        appendEntry(entry);
    if (List2->count() > 0) {
        selectEntry(0);
        enable(Timer3);
    }
    // The first tick shows the engine's state from the start.
    requestTick();
}

int Form1::selectedIndex() const {
    const QList<QListWidgetItem*> selected = List2->selectedItems();
    return selected.isEmpty() ? -1 : List2->row(selected.first());
}

void Form1::selectEntry(int row) {
    List2->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void Form1::stepTo(int row, bool play) {
    selectEntry(row);
    if (play)
        enable(Timer3);
}

void Form1::LoadLyricLines(const QString& mediaPath) {
    lyricIndex_ = LyricLineIndex(LyricFile::loadLines(mediaPath));
    lyricLineStore->setStringList(lyricIndex_.lines());
    requestTick();
}

QStringList Form1::lyricLines() const {
    return lyricIndex_.lines();
}

void Form1::openMedia(const QString& path) {
    services_.engine.setURL(path);
    LoadLyricLines(path);
    Q_EMIT mediaOpened();
}

void Form1::playSelectedEntry() {
    const int row = selectedIndex();
    Text1->setText(row < 0 ? QString() : List2->item(row)->text());
    openMedia(Text1->text());
}

// What the tick shows depends only on the engine, the lyric lines, the captions it wrote
// itself and what the lyric window was last given; it learns nothing new from running while
// none of them changes. So it runs once for each change (coalesced: several changes within
// one pass of the event loop cost one tick) and, while the position moves, when its text
// moves on to the next second. An idle or paused player is not woken at all.
void Form1::requestTick() {
    if (tickRequested_)
        return;
    tickRequested_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            tickRequested_ = false;
            timer1Tick();
        },
        Qt::QueuedConnection);
}

void Form1::armTimer1() {
    if (const auto delay = TickTiming::untilNextSecond(services_.engine.clock()))
        Timer1->start(*delay);
    else
        Timer1->stop();
}

void Form1::timer1Tick() {
    PlaybackTick::Labels labels{Label3->text(), Label5->text(), Label2->text(), Label4->text(),
                                Label6->text()};
    PlaybackTick::run(services_.engine, lyricIndex_, labels, [this](const QString& text) {
        services_.lyricWindows.frmShow().DrawText(text);
    });
    setCaption(Label3, labels.status);
    setCaption(Label5, labels.time);
    setCaption(Label2, labels.lyric);
    setCaption(Label4, labels.nextLineTag);
    setCaption(Label6, labels.currentTag);
    armTimer1();
}

void Form1::mediaEnded() {
    const auto advance = EndOfMedia::decide(Label9->text(), services_.engine.playState(),
                                            selectedIndex(), List2->count());
    if (!advance)
        return;
    if (advance->replay)
        services_.engine.play();
    if (advance->select >= 0)
        selectEntry(advance->select);
    if (advance->showSlogan) {
        services_.lyricWindows.frmShow().DrawText(QString::fromUtf16(EndOfMedia::Slogan));
        // The current line, if any, goes back over the slogan as it would on the next tick.
        requestTick();
    }
    enable(Timer3);
}

void Form1::openDesktopLyric(const QString& fontName) {
    LyricWindows& windows = services_.lyricWindows;
    windows.settings().fontName = fontName;
    windows.settings().fontSize = DesktopLyricSize;
    windows.frmSet().SetColor(DesktopLyricScheme);
    windows.frmShow().show();
    windows.frmShow().DrawText(QString::fromUtf16(Greeting));
    // While a line is current the next tick draws it over the greeting.
    requestTick();
}

void Form1::switchDesktopLyric() {
    openDesktopLyric(Text2->text());
    // Every click opens the lyric first, so a click that hides it still rewrites the
    // settings and redraws the greeting.
    const bool shown = Check1->isChecked();
    services_.lyricWindows.frmShow().setVisible(!shown);
    Check1->setChecked(!shown);
}

void Form1::showToolbar() {
    services_.lyricWindows.frmSet().show();
}

void Form1::stirWater(const QMouseEvent* event, int spread, int depth) {
    const QPoint at = waterPoint(event);
    water_.WaterMouseAction(at.x(), at.y(), spread, depth);
    if (water_.isRippling())
        enable(Timer2);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    backgroundClick_.pressed(*event);
    stirWater(event, 60, 500);
    QWidget::mousePressEvent(event);
}

// The second press of a double-click stirs the water like any press; the window has no
// double-click handler, so it counts no second click.
void Form1::mouseDoubleClickEvent(QMouseEvent* event) {
    backgroundClick_.doubleClicked();
    stirWater(event, 60, 500);
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (backgroundClick_.released(*event, rect()))
        backgroundClicked();
    QWidget::mouseReleaseEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    stirWater(event, 5, 80);
    QWidget::mouseMoveEvent(event);
}

// Still water has nothing to step; the timer waits for the next stir.
void Form1::timer2Tick() {
    const QRect changed = water_.WaterTimer();
    if (!changed.isEmpty())
        update(changed);
    else if (!water_.isRippling())
        Timer2->stop();
}

void Form1::paintEvent(QPaintEvent* event) {
    const QImage& water = water_.picture();
    const QRect area = event->rect() & water.rect();
    if (area.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(area.topLeft(), water, area);
}

void Form1::backgroundClicked() {
    if (Label11->text() == u"20") {
        services_.dialogs.showInformation(this, QGuiApplication::applicationDisplayName(),
                                          QString::fromUtf16(TiredOfClicking));
        Label11->setText(QStringLiteral("0"));
    } else {
        Label11->setText(QString::number(Label11->text().toInt() + 1));
    }
    services_.engine.play();
}

void Form1::timer3Tick() {
    playSelectedEntry();
    Timer3->stop();
}

void Form1::appendEntry(const PlaylistFile::Entry& entry) {
    auto* item = new QListWidgetItem(entry.path);
    if (!entry.stored.isNull())
        item->setData(StoredBytesRole, entry.stored);
    List2->addItem(item);
}

QList<PlaylistFile::Entry> Form1::playlistEntries() const {
    QList<PlaylistFile::Entry> entries;
    entries.reserve(List2->count());
    for (int i = 0; i < List2->count(); ++i) {
        const QListWidgetItem* item = List2->item(i);
        entries.append({item->text(), item->data(StoredBytesRole).toByteArray()});
    }
    return entries;
}

int Form1::addToPlaylist(const QStringList& paths) {
    const PlaylistAddition addition = planAddition(List2->count(), paths);
    for (const QString& path : addition.accepted)
        appendEntry({path, {}});
    const QString problem = addition.problem();
    if (!problem.isEmpty())
        services_.dialogs.showInformation(this, QGuiApplication::applicationDisplayName(), problem);
    return static_cast<int>(addition.accepted.size());
}

void Form1::addFile() {
    const QString path = services_.dialogs.openFile(this);
    if (!path.isEmpty())
        addToPlaylist({path});
}

void Form1::addFolder() {
    const QString folder = services_.dialogs.pickFolder(this, QStringLiteral("请选择文件夹"));
    QStringList paths;
    for (const QString& name : mp3FileNames(folder))
        paths.append(folder + u'/' + name);
    addToPlaylist(paths);
}

void Form1::removeSelected() {
    for (int row = List2->count() - 1; row >= 0; --row) {
        if (List2->item(row)->isSelected())
            delete List2->takeItem(row);
    }
    List2->clearSelection();
}

void Form1::closeEvent(QCloseEvent* event) {
    // A failed write keeps the previous file; the fade and the end come all the same.
    if (!PlaylistFile::save(playlistPath(), playlistEntries()) && !toldSaveFailure_) {
        toldSaveFailure_ = true;
        services_.dialogs.showInformation(
            this, QGuiApplication::applicationDisplayName(),
            QStringLiteral("播放列表未能保存到 %1，本次对播放列表的更改不会保留。")
                .arg(QDir::toNativeSeparators(playlistPath())));
    }
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
    // Wayland gives a client no window opacity to set; there the volume alone fades.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        setWindowOpacity(ExitFade::opacity(Label10->text().toInt()));
}

// The desktop's way in. Connected after start-up, so restoring data.dat signals nothing.
// Whether there is a previous or next entry depends on the entries only, not the selection.
void Form1::connectDesktopSignals() {
    const QAbstractItemModel* entries = List2->model();
    connect(entries, &QAbstractItemModel::rowsInserted, this, &Form1::playlistChanged);
    connect(entries, &QAbstractItemModel::rowsRemoved, this, &Form1::playlistChanged);
    connect(entries, &QAbstractItemModel::modelReset, this, &Form1::playlistChanged);
}

QString Form1::currentMediaPath() const {
    return Text1->text();
}

bool Form1::canGoPrevious() const {
    return PlaylistNavigation::previous(selectedIndex(), List2->count()).has_value();
}

bool Form1::canGoNext() const {
    return PlaylistNavigation::next(selectedIndex(), List2->count()).has_value();
}

void Form1::play() {
    services_.engine.play();
}

void Form1::pause() {
    services_.engine.pause();
}

void Form1::stop() {
    services_.engine.stop();
}

void Form1::previousEntry() {
    if (const auto step = PlaylistNavigation::previous(selectedIndex(), List2->count()))
        stepTo(step->select, step->play);
}

void Form1::nextEntry() {
    if (const auto step = PlaylistNavigation::next(selectedIndex(), List2->count()))
        stepTo(step->select, step->play);
}

void Form1::addPaths(const QStringList& paths) {
    QStringList files;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        const QDir folder(path);
        for (const QString& name : mp3FileNames(path))
            files.append(folder.filePath(name));
    }
    const int firstNew = List2->count();
    if (addToPlaylist(files) > 0)
        stepTo(firstNew, true);
}
