#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <utility>

// Messages for the user that wait until a window can show them: a message that comes before
// the main window is on screen, or while a message box is already open, is held. The same
// title and text held twice is shown once.
class HeldMessages {
public:
    void hold(const QString& title, const QString& text);
    bool isEmpty() const { return held_.isEmpty(); }

    // Shows everything held, one box at a time through show: all that is held goes into one
    // box (the first one's title, the texts a blank line apart), and what comes while that
    // box is open goes into the next. A call made while a box is open returns at once; its
    // messages are in the next box.
    void showAll(const std::function<void(const QString& title, const QString& text)>& show);

private:
    QList<std::pair<QString, QString>> held_;
    bool showing_ = false;
};
