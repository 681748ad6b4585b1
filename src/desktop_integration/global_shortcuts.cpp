#include "desktop_integration/global_shortcuts.h"

#include "core/player_core.h"
#include "desktop_lyric/lyric_window_preferences.h"
#include "settings/program_settings.h"

namespace {

struct Entry {
    const char16_t* id;
    const char16_t* description;
    ProgramSettings::Text setting;
    const char16_t* preferred;
};

const Entry Entries[] = {
    {GlobalShortcuts::DesktopLyric, u"显示/隐藏桌面歌词", ProgramSettings::DesktopLyricShortcut,
     u"Ctrl+Alt+W"},
    {GlobalShortcuts::LockDesktopLyric, u"锁定/解锁桌面歌词",
     ProgramSettings::LockDesktopLyricShortcut, u"Ctrl+Alt+K"},
    {GlobalShortcuts::PlayPause, u"播放/暂停", ProgramSettings::PlayPauseShortcut, u"Ctrl+Alt+P"},
    {GlobalShortcuts::Next, u"下一首", ProgramSettings::NextShortcut, u"Ctrl+Alt+N"},
    {GlobalShortcuts::Previous, u"上一首", ProgramSettings::PreviousShortcut, u"Ctrl+Alt+B"},
};

} // namespace

GlobalShortcuts::GlobalShortcuts(PlayerCore& core, LyricWindowPreferences& lyricPreferences,
                                 QString settingsFile, std::vector<GlobalShortcutWay> ways,
                                 std::function<void(const QString&)> say, QObject* parent)
    : QObject(parent), core_(core), lyricPreferences_(lyricPreferences),
      settingsFile_(std::move(settingsFile)), ways_(std::move(ways)), say_(std::move(say)) {}

GlobalShortcuts::~GlobalShortcuts() = default;

QList<GlobalShortcut> GlobalShortcuts::configured(const QString& settingsFile,
                                                  const std::function<void(const QString&)>& say) {
    QList<GlobalShortcut> shortcuts;
    for (const Entry& entry : Entries) {
        QString text = QString::fromUtf16(entry.preferred);
        if (const std::optional<QString> line = ProgramSettings::read(settingsFile, entry.setting))
            text = *line;
        else
            ProgramSettings::write(settingsFile, entry.setting, text);
        if (text.trimmed().isEmpty())
            continue;
        if (const std::optional<ShortcutTrigger> trigger = ShortcutTrigger::parse(text)) {
            shortcuts.append(
                {QString::fromUtf16(entry.id), QString::fromUtf16(entry.description), *trigger});
        } else {
            const QString key = QString::fromLatin1(entry.setting.key);
            say(QString::fromUtf16(u"vellora.conf 的 %1=%2 不是一个按键，这个快捷键不用 "
                                   u"names no key; that shortcut is off")
                    .arg(key, text));
        }
    }
    return shortcuts;
}

void GlobalShortcuts::start() {
    shortcuts_ = configured(settingsFile_, say_);
    if (!shortcuts_.isEmpty())
        tryWay(0);
}

void GlobalShortcuts::tryWay(std::size_t index) {
    if (index >= ways_.size()) {
        say_(QString::fromUtf16(u"这个桌面没有给全局快捷键的方式 this desktop offers no way to "
                                u"global shortcuts (%1)")
                 .arg(reasons_.join(u"; ")));
        return;
    }
    way_ = ways_[index]();
    GlobalShortcutService* way = way_.get();
    connect(way, &GlobalShortcutService::bound, this, [this] { bound_ = true; });
    connect(way, &GlobalShortcutService::activated, this, &GlobalShortcuts::act);
    connect(way, &GlobalShortcutService::notice, this, &GlobalShortcuts::sayOnce);
    // Queued: a way may answer from within bind(), and is replaced only after it returns.
    connect(
        way, &GlobalShortcutService::unavailable, this,
        [this, way, index](const QString& reason) {
            if (way_.get() != way)
                return;
            reasons_.append(reason);
            way_.reset();
            tryWay(index + 1);
        },
        Qt::QueuedConnection);
    connect(
        way, &GlobalShortcutService::declined, this,
        [this, way](const QString& reason) {
            if (way_.get() != way)
                return;
            way_.reset();
            say_(QString::fromUtf16(u"全局快捷键没有得到允许 global shortcuts were declined (%1)")
                     .arg(reason));
        },
        Qt::QueuedConnection);
    way->bind(shortcuts_);
}

void GlobalShortcuts::act(const QString& id) {
    const QStringView pressed(id);
    if (pressed == DesktopLyric)
        core_.lyricSwitch().switchDesktopLyric();
    else if (pressed == LockDesktopLyric)
        lyricPreferences_.setLocked(!lyricPreferences_.locked());
    else if (pressed == PlayPause)
        core_.playOrPause();
    else if (pressed == Next)
        core_.playlist().nextEntry();
    else if (pressed == Previous)
        core_.playlist().previousEntry();
}

void GlobalShortcuts::sayOnce(const QString& text) {
    if (!said_.contains(text)) {
        said_.insert(text);
        say_(text);
    }
}
