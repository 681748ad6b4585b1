#include "forms/image_button.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

class ImageButtonAccessible : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(QWidget* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction())
            static_cast<ImageButton*>(widget())->press();
    }
};

QAccessibleInterface* accessibleImageButton(const QString&, QObject* object) {
    if (auto* button = qobject_cast<ImageButton*>(object))
        return new ImageButtonAccessible(button);
    return nullptr;
}

} // namespace

ImageButton::ImageButton(QWidget* parent, const QRect& geometry, const QString& toolTip)
    : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleImageButton);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setGeometry(geometry);
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    // Tab reaches it; a click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter))
        press();
    else
        QWidget::keyPressEvent(event);
}

void ImageButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void ImageButton::paintFocus() {
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}
