#pragma once

#include <QString>
#include <QtGlobal>

// The window-system calls behind modMain::SendTextToWindow. Each step returns a handle
// that the next step takes unchecked; 0 means "no window", and every step given 0 finds
// or changes nothing, so a failed search needs no special path in the caller.
class WindowTextChannel {
public:
    using Handle = quint64;

    virtual ~WindowTextChannel() = default;

    // The first top-level window titled `title`, or 0.
    virtual Handle findTopLevel(const QString& title) = 0;

    // The first direct child of `parent` (not a grandchild) of class `windowClass` whose
    // window text is `text`, or 0.
    virtual Handle findDirectChild(Handle parent, const QString& windowClass,
                                   const QString& text) = 0;

    // Replaces the window text of `window`; returns once the window system has taken it.
    virtual void setText(Handle window, const QString& text) = 0;
};
