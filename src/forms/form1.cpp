#include "forms/form1.h"

#include "core/player_core.h"
#include "forms/click_area.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_menu.h"
#include "forms/lyric_notices.h"
#include "forms/lyric_search_window.h"
#include "forms/lyric_windows.h"
#include "forms/picture_box.h"
#include "player/desktop_launcher.h"
#include "player/dialogs.h"
#include "player/exit_fade.h"
#include "player/lyric_font.h"
#include "window_services/main_window_keys.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace {

// The pointer in whole pixels, halves rounded to even.
QPoint waterPoint(const QMouseEvent* event) {
    const QPointF position = event->position();
    return {static_cast<int>(std::nearbyint(position.x())),
            static_cast<int>(std::nearbyint(position.y()))};
}

// A caption that follows a text property of the core from now on.
template <typename Source, typename Signal>
void bindText(QLabel* label, const Source* source, QString (Source::*read)() const,
              Signal changed) {
    label->setText((source->*read)());
    QObject::connect(source, changed, label, &QLabel::setText);
}

QString numberText(int value) {
    return QString::number(value);
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), core_(services_.core) {
    createControls();
    bindToCore();
    connectEvents();
    water_.WaterInit(Picture1->picture().toImage());
    // Moves over the background stir the water even with no button held.
    setMouseTracking(true);
}

Form1::~Form1() = default;

void Form1::bindToCore() {
    const PlaybackStatus* status = &core_.status();
    bindText(Label3, status, &PlaybackStatus::status, &PlaybackStatus::statusChanged);
    bindText(Label5, status, &PlaybackStatus::time, &PlaybackStatus::timeChanged);
    bindText(Label2, status, &PlaybackStatus::lyric, &PlaybackStatus::lyricChanged);
    bindText(Label4, status, &PlaybackStatus::nextLineTag, &PlaybackStatus::nextLineTagChanged);
    bindText(Label6, status, &PlaybackStatus::currentTag, &PlaybackStatus::currentTagChanged);

    const auto showMode = [this](PlayMode mode) { Label9->setText(numberText(int(mode))); };
    showMode(core_.playMode());
    connect(&core_, &PlayerCore::playModeChanged, this, showMode);
    const ExitSequence* exit = &core_.exit();
    Label10->setText(numberText(exit->fadeLevel()));
    connect(exit, &ExitSequence::fadeLevelChanged, this,
            [this](int level) { Label10->setText(numberText(level)); });
    const DesktopLyricSwitch* lyricSwitch = &core_.lyricSwitch();
    Label11->setText(numberText(lyricSwitch->clickCount()));
    connect(lyricSwitch, &DesktopLyricSwitch::clickCountChanged, this,
            [this](int count) { Label11->setText(numberText(count)); });
    Check1->setChecked(lyricSwitch->shown());
    connect(lyricSwitch, &DesktopLyricSwitch::shownChanged, Check1, &QCheckBox::setChecked);
    Text1->setText(core_.currentPath());
    connect(&core_, &PlayerCore::currentPathChanged, Text1, &QLineEdit::setText);
    Text2->setText(lyricSwitch->lyricFontFace());
    connect(lyricSwitch, &DesktopLyricSwitch::lyricFontFaceChanged, Text2, &QLineEdit::setText);

    PlaylistController* playlist = &core_.playlist();
    List1->setModel(&core_.lyricLines());
    List2->setModel(&playlist->model());
    // The list shows the core's selection, and a row the user picks becomes it.
    const auto showSelection = [this, playlist](int row) {
        const QModelIndex index = playlist->model().index(row);
        if (row < 0)
            List2->selectionModel()->clearSelection();
        else
            List2->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    };
    showSelection(playlist->currentRow());
    connect(playlist, &PlaylistController::currentRowChanged, this, showSelection);
    connect(List2->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, playlist] {
                const QModelIndexList selected = List2->selectionModel()->selectedRows();
                playlist->select(selected.isEmpty() ? -1 : selected.first().row());
            });
    connect(&core_, &PlayerCore::message, this, &Form1::showMessage);
    connect(exit, &ExitSequence::closing, this, [this] {
        if (!Timer5->isActive())
            Timer5->start();
    });
    connect(exit, &ExitSequence::finishing, this, [this] {
        Timer2->stop();
        Timer5->stop();
    });
}

void Form1::connectEvents() {
    connect(Timer2, &QTimer::timeout, this, &Form1::timer2Tick);
    connect(Timer5, &QTimer::timeout, this, &Form1::timer5Tick);

    connect(Image3, &ClickArea::clicked, this, &Form1::addFile);
    connect(Image4, &ClickArea::clicked, this, &Form1::addFolder);
    PlaylistController* playlist = &core_.playlist();
    connect(Image6, &ClickArea::clicked, playlist, &PlaylistController::removeSelected);
    connect(Image5, &ClickArea::clicked, playlist, &PlaylistController::clear);
    List2->viewport()->installEventFilter(this);
    // Every control that takes the focus hands the window its keys first.
    for (QWidget* control : findChildren<QWidget*>())
        if (control->focusPolicy() != Qt::NoFocus)
            control->installEventFilter(this);
    // What the user types into the path box is what the play button plays.
    connect(Text1, &QLineEdit::textEdited, &core_, &PlayerCore::setCurrentPath);

    DesktopLyricSwitch* lyricSwitch = &core_.lyricSwitch();
    connect(Image1, &ClickArea::clicked, lyricSwitch, &DesktopLyricSwitch::switchDesktopLyric);
    connect(Command2, &QPushButton::clicked, lyricSwitch, [lyricSwitch] {
        lyricSwitch->openDesktopLyric(QString::fromUtf16(LyricFont::Calligraphic));
    });
    const auto showToolbar = [this] { services_.lyricWindows.frmSet().show(); };
    connect(Image2, &ClickArea::clicked, this, showToolbar);
    connect(Command3, &QPushButton::clicked, this, showToolbar);
    connect(Image7, &ClickArea::clicked, this, [this] { services_.launcher.openVolumeMixer(); });

    // The lyric strip's menu, and the notices of the searches for lyrics.
    const auto desktopLyric = [this]() -> std::optional<QRect> {
        LyricWindows& windows = services_.lyricWindows;
        if (!windows.hasFrmShow() || !windows.frmShow().isVisible())
            return std::nullopt;
        return windows.frmShow().frameGeometry();
    };
    auto* notices = new LyricNotices(core_.openedTrack(), {Picture3, desktopLyric}, this);
    const DesktopLyricChoices desktopLyricChoices{
        &services_.lyricWindows.preferences(),
        [this] { return services_.lyricWindows.screens().screens(); }};
    const auto searchWindow = [this] { openLyricSearch(core_.openedTrack().mediaPath()); };
    notices->follow(new LyricMenu(Picture3, core_.openedTrack(), desktopLyricChoices, searchWindow),
                    NoticePlacement::Surface::LyricStrip);
    // The desktop lyric offers the same menu, its notices showing beside it.
    services_.lyricWindows.whenLyricWindowMade(
        [this, notices, desktopLyricChoices, searchWindow](FrmShow& lyricWindow) {
            notices->follow(
                new LyricMenu(&lyricWindow, core_.openedTrack(), desktopLyricChoices, searchWindow),
                NoticePlacement::Surface::DesktopLyric);
        });
    // A playlist entry's own menu: the search window for that entry, playing or not.
    List2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List2, &QWidget::customContextMenuRequested, this, &Form1::playlistMenu);

    connect(Image9, &ClickArea::clicked, &core_, &PlayerCore::play);
    connect(Image11, &ClickArea::clicked, &core_, &PlayerCore::pause);
    connect(Image10, &ClickArea::clicked, &core_, &PlayerCore::stop);
    connect(Image12, &ClickArea::clicked, playlist, &PlaylistController::previousEntry);
    connect(Image13, &ClickArea::clicked, playlist, &PlaylistController::nextEntry);
    connect(Image14, &ClickArea::clicked, this,
            [this] { core_.setPlayMode(PlayMode::RepeatTrack); });
    connect(Image15, &ClickArea::clicked, this, [this] { core_.setPlayMode(PlayMode::Advance); });
    connect(Command1, &QPushButton::clicked, &core_, &PlayerCore::replay);
    connect(Label7, &ClickableLabel::clicked, this, [this] {
        if (const auto duration = core_.durationText())
            Label7->setText(*duration);
    });
    connect(Label8, &ClickableLabel::clicked, this, [this] {
        if (const auto position = core_.positionText())
            Label8->setText(*position);
    });
}

// The list box the window was designed with keeps its selection when the blank space below
// its last entry is clicked, and a double-click anywhere in it plays the selected entry.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // Seen before the focused control: the list's own Space, say, gives way to the window's.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return windowKey(static_cast<QWidget*>(watched), *static_cast<QKeyEvent*>(event));
    if (watched != List2->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return !List2->indexAt(mouse->position().toPoint()).isValid();
    }
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // The list selects what was double-clicked first; the selection plays after that.
            QMetaObject::invokeMethod(&core_, &PlayerCore::playSelectedEntry, Qt::QueuedConnection);
        }
        // Left to itself, the list takes a double-click beside the entries for a press there.
        return !List2->indexAt(mouse->position().toPoint()).isValid();
    }
    default:
        return false;
    }
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (!windowKey(this, *event))
        QWidget::keyPressEvent(event);
}

bool Form1::windowKey(const QWidget* focused, const QKeyEvent& key) {
    using MainWindowKeys::Command;
    using MainWindowKeys::Focus;
    const Focus focus =
        qobject_cast<const QLineEdit*>(focused) ? Focus::TextBox
        : qobject_cast<const QAbstractButton*>(focused) || qobject_cast<const ImageButton*>(focused)
            ? Focus::Button
            : Focus::Other;
    const std::optional<Command> command =
        MainWindowKeys::commandFor(key.key(), key.modifiers(), focus);
    if (!command)
        return false;
    PlaylistController& playlist = core_.playlist();
    switch (*command) {
    case Command::PlayOrPause:
        core_.playOrPause();
        break;
    case Command::PlaySelected:
        core_.playSelectedEntry();
        break;
    case Command::RemoveSelected:
        playlist.removeSelected();
        break;
    case Command::Previous:
        playlist.previousEntry();
        break;
    case Command::Next:
        playlist.nextEntry();
        break;
    case Command::SeekBack:
        core_.seekBy(-MainWindowKeys::SeekStepMs);
        break;
    case Command::SeekForward:
        core_.seekBy(MainWindowKeys::SeekStepMs);
        break;
    case Command::AddFiles:
        addFile();
        break;
    case Command::AddFolder:
        addFolder();
        break;
    case Command::SwitchDesktopLyric:
        core_.lyricSwitch().switchDesktopLyric();
        break;
    }
    return true;
}

void Form1::addFile() {
    core_.playlist().addFile(services_.dialogs.openFile(this));
}

void Form1::openLyricSearch(const QString& mediaPath) {
    if (mediaPath.isEmpty())
        return;
    if (!lyricSearch_)
        lyricSearch_ = new LyricSearchWindow(core_.openedTrack(), services_.dialogs, this);
    lyricSearch_->openFor(mediaPath);
}

void Form1::playlistMenu(const QPoint& at) {
    const QModelIndex entry = List2->indexAt(at);
    if (!entry.isValid())
        return;
    const QString path = core_.playlist().model().path(entry.row());
    auto* menu = new QMenu(List2);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("PlaylistMenu"));
    connect(menu->addAction(QString::fromUtf16(LyricMenu::SearchWindowText)), &QAction::triggered,
            this, [this, path] { openLyricSearch(path); });
    menu->popup(List2->viewport()->mapToGlobal(at));
}

void Form1::addFolder() {
    core_.playlist().addFolder(services_.dialogs.pickFolder(this, QStringLiteral("请选择文件夹")));
}

// A message that comes before the window is on screen (about the files it was started with,
// say) waits for it: a box with no window behind it would seem to come from nowhere. Shown
// is not enough: until its first picture the window system may not have placed the window,
// and a box centred on it would land in the screen's corner.
void Form1::showMessage(const QString& title, const QString& text) {
    heldMessages_.hold(title, text);
    if (isVisible() && shownOnScreen_)
        showHeldMessages();
}

// What comes while a box is open (calls from outside are answered in its event loop) waits
// until it is closed.
void Form1::showHeldMessages() {
    heldMessages_.showAll([this](const QString& title, const QString& text) {
        services_.dialogs.showInformation(this, title, text);
    });
}

// From a paint or a show, the box waits for the event loop.
void Form1::showHeldMessagesLater() {
    if (!heldMessages_.isEmpty())
        QMetaObject::invokeMethod(this, &Form1::showHeldMessages, Qt::QueuedConnection);
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnScreen_)
        showHeldMessagesLater();
}

void Form1::stirWater(const QMouseEvent* event, int spread, int depth) {
    const QPoint at = waterPoint(event);
    water_.WaterMouseAction(at.x(), at.y(), spread, depth);
    if (water_.isRippling() && !Timer2->isActive())
        Timer2->start();
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
        core_.lyricSwitch().backgroundClicked();
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
    if (!std::exchange(shownOnScreen_, true)) {
        Q_EMIT shownOnScreen();
        showHeldMessagesLater();
    }
    const QImage& water = water_.picture();
    const QRect area = event->rect() & water.rect();
    if (area.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(area.topLeft(), water, area);
}

void Form1::closeEvent(QCloseEvent* event) {
    event->ignore();
    core_.exit().requestClose();
}

void Form1::timer5Tick() {
    if (services_.windowOpacity)
        setWindowOpacity(ExitFade::opacity(core_.exit().fadeLevel()));
}
