#pragma once

#include "platform/shortcuts/system_global_shortcuts.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class LyricWindowPreferences;
class PlayerCore;

// The player's global shortcuts: show or hide the desktop lyric, lock or unlock it, play or
// pause, next and previous. Each prefers the key its line of vellora.conf names (the line is
// written with the default where it is missing; an empty one turns the shortcut off). The
// ways are tried in their order until one binds the shortcuts or the user declines them;
// where none can, that is said once on standard error and the player runs without.
class GlobalShortcuts : public QObject {
    Q_OBJECT
public:
    static constexpr auto DesktopLyric = u"desktop-lyric";
    static constexpr auto LockDesktopLyric = u"lock-desktop-lyric";
    static constexpr auto PlayPause = u"play-pause";
    static constexpr auto Next = u"next";
    static constexpr auto Previous = u"previous";

    // say: a line for standard error.
    GlobalShortcuts(PlayerCore& core, LyricWindowPreferences& lyricPreferences,
                    QString settingsFile, std::vector<GlobalShortcutWay> ways,
                    std::function<void(const QString&)> say, QObject* parent = nullptr);
    ~GlobalShortcuts() override;

    void start();

    // The shortcuts as vellora.conf asks for them; a line that names no key is told through
    // say and leaves its shortcut off.
    static QList<GlobalShortcut> configured(const QString& settingsFile,
                                            const std::function<void(const QString&)>& say);

    // The way that bound the shortcuts; none before, or where none could.
    GlobalShortcutService* way() const { return bound_ ? way_.get() : nullptr; }

private:
    void tryWay(std::size_t index);
    void act(const QString& id);
    void sayOnce(const QString& text);

    PlayerCore& core_;
    LyricWindowPreferences& lyricPreferences_;
    QString settingsFile_;
    std::vector<GlobalShortcutWay> ways_;
    std::function<void(const QString&)> say_;
    QList<GlobalShortcut> shortcuts_;
    std::unique_ptr<GlobalShortcutService> way_;
    bool bound_ = false;
    QStringList reasons_; // why each way tried could not
    QSet<QString> said_;
};
