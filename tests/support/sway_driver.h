#pragma once

#include "support/compositor_driver.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QStringList>

namespace testsupport {

// sway (wlroots) as the test script starts it: named in VELLORA_SWAY_WAYLAND_DISPLAY,
// VELLORA_SWAY_DISPLAY and VELLORA_SWAYSOCK (or, for the one with outputs that come and go,
// VELLORA_NESTED_SWAY_*), a bar 30 pixels high at the bottom of each output, its virtual
// pointer driven by tests/wayland_pointer, screenshots from grim, places from its tree.
class SwayDriver : public CompositorDriver {
public:
    static constexpr int BarHeight = 30;

    // prefix: VELLORA_SWAY or VELLORA_NESTED_SWAY; layout: all outputs together, as the pointer
    // reaches them.
    SwayDriver(const char* prefix, QSize layout, const QString& pointerProgram,
               const QString& runtime, const QString& home);

    QString problem() const override;
    QImage screenshot() override;
    void moveTo(QPoint at, bool overX11) override;
    void press() override { pointer_->point("press"); }
    void release() override { pointer_->point("release"); }
    std::optional<QPoint> windowCorner(const QString& title, bool x11) override;
    QRect workArea() override;
    void close(const QString& title) override;
    void targetStarted(QProcess& target, const QString& title, bool x11, QPoint under) override;

    QByteArray swaymsg(const QStringList& arguments) const;
    // To the sway whose outputs the nested one's are.
    QByteArray outerSwaymsg(const QStringList& arguments) const;
    struct Output {
        QString name;
        QRect rect;
    };
    QList<Output> outputs() const;

private:
    QString variable(const char* name) const;

    QByteArray prefix_;
    std::unique_ptr<PointerProgram> pointer_;
};

} // namespace testsupport
