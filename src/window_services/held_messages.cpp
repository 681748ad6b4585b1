#include "window_services/held_messages.h"

#include <QStringList>

void HeldMessages::hold(const QString& title, const QString& text) {
    if (!held_.contains(std::pair(title, text)))
        held_.append({title, text});
}

void HeldMessages::showAll(
    const std::function<void(const QString& title, const QString& text)>& show) {
    if (showing_)
        return;
    showing_ = true;
    while (!held_.isEmpty()) {
        const QList<std::pair<QString, QString>> held = std::exchange(held_, {});
        QStringList texts;
        for (const auto& [title, text] : held)
            texts.append(text);
        show(held.first().first, texts.join(QStringLiteral("\n\n")));
    }
    showing_ = false;
}
