#include "fakes/fake_mouse_track_platform.h"
#include "platform/desktop/system_mouse_track_platform.h"
#include "support/event_wait.h"
#include "window_services/c_mouse_track.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Keeps the type of every event that reached the widget's own handler.
class RecordingWidget : public QWidget {
public:
    using QWidget::QWidget;
    QList<QEvent::Type> seen;

protected:
    bool event(QEvent* event) override {
        seen << event->type();
        return QWidget::event(event);
    }
};

class MouseTrack : public ::testing::Test {
protected:
    MouseTrack() {
        form.resize(300, 200);
        pic->setGeometry(10, 10, 100, 50);
        drawnOnPic->setGeometry(5, 5, 20, 20);
        form.show();
    }

    void attach(int method) {
        track.AttachMouseTracking(pic, method);
        platform.underPointer = pic;
    }
    void send(QWidget* to, QEvent&& event) { QCoreApplication::sendEvent(to, &event); }
    void enter(QPoint at) { send(pic, QEnterEvent(at, at, pic->mapToGlobal(at))); }
    void leave() { send(pic, QEvent(QEvent::Leave)); }
    // Runs the event loop until every timer that was due by now has fired: a zero timer set
    // after them fires after them.
    static void letDueTimersFire() {
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        ASSERT_TRUE(testsupport::waitUntil([&] { return fired; }));
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
        send(pic, QMouseEvent(type, at, pic->mapToGlobal(at), button, platform.buttons,
                              platform.modifiers));
    }
    void move(QPoint at) { mouse(QEvent::MouseMove, at); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        mouse(QEvent::MouseButtonRelease, at, button);
    }
    void activation(QEvent::Type type) { send(&form, QEvent(type)); }

    FakeMouseTrackPlatform platform;
    RecordingWidget form;
    RecordingWidget* pic = new RecordingWidget(&form);
    QWidget* drawnOnPic = new QWidget(pic);
    cMouseTrack track{platform};
    QSignalSpy leaves{&track, &cMouseTrack::MouseLeave};
    QSignalSpy hovers{&track, &cMouseTrack::MouseHover};
};

const QPoint inside(40, 20);
const QPoint outside(150, 20);

// --- detection and arming ---------------------------------------------------------

struct Detection {
    const char* name;
    std::optional<SystemVersion> version;
    CommonControlsVersion library;
    int method;
};

class MethodDetection : public MouseTrack, public ::testing::WithParamInterface<Detection> {};

TEST_P(MethodDetection, PicksTheMethodFromTheVersions) {
    platform.version = GetParam().version;
    platform.commonControls = GetParam().library;
    attach(cMouseTrack::TrackMethodDetect);
    EXPECT_EQ(track.Method(), GetParam().method);
}

constexpr int Nt = SystemVersion::PlatformNt;
constexpr int Windows9x = 1;
const CommonControlsVersion library471{true, true, 0, 4, 71};

INSTANTIATE_TEST_SUITE_P(
    MouseTrack, MethodDetection,
    ::testing::Values(
        Detection{"Nt4", SystemVersion{Nt, 4}, {}, cMouseTrack::TrackMethodSystem},
        Detection{"Nt3WithLibrary471", SystemVersion{Nt, 3}, library471,
                  cMouseTrack::TrackMethodCommonControls},
        Detection{"AnySystem5", SystemVersion{Windows9x, 5}, {}, cMouseTrack::TrackMethodSystem},
        Detection{"Windows9xWithLibrary471", SystemVersion{Windows9x, 4}, library471,
                  cMouseTrack::TrackMethodCommonControls},
        Detection{"Windows9xWithLibrary500",
                  SystemVersion{Windows9x, 4},
                  {true, true, 0, 5, 0},
                  cMouseTrack::TrackMethodCommonControls},
        Detection{"Windows9xWithLibrary470",
                  SystemVersion{Windows9x, 4},
                  {true, true, 0, 4, 70},
                  cMouseTrack::TrackMethodCapture},
        Detection{"VersionCallFailsLibraryGood", std::nullopt, library471,
                  cMouseTrack::TrackMethodCommonControls},
        Detection{"VersionCallFailsNoLibrary", std::nullopt, {}, cMouseTrack::TrackMethodCapture},
        Detection{"LibraryWithoutEntry",
                  std::nullopt,
                  {true, false, 0, 6, 0},
                  cMouseTrack::TrackMethodCapture},
        Detection{"LibraryVersionCallFails",
                  std::nullopt,
                  {true, true, 1, 6, 0},
                  cMouseTrack::TrackMethodCapture}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MouseTrack, LibraryIsOnlyProbedWhenTheSystemIsTooOld) {
    attach(cMouseTrack::TrackMethodDetect);
    EXPECT_EQ(platform.commonControlsProbes, 0);
}

struct Forced {
    const char* name;
    int force;
    int method;
    const char* armedWith;
};

class ForcedMethod : public MouseTrack, public ::testing::WithParamInterface<Forced> {};

TEST_P(ForcedMethod, ArmsOnceWithItsCallUntilTheCycleEnds) {
    attach(GetParam().force);
    EXPECT_EQ(track.Method(), GetParam().method);
    EXPECT_FALSE(track.StartMouseTracking());
    EXPECT_FALSE(track.StartMouseTracking());
    EXPECT_TRUE(track.Tracking());
    EXPECT_EQ(platform.calls, QStringList{GetParam().armedWith});
}

INSTANTIATE_TEST_SUITE_P(MouseTrack, ForcedMethod,
                         ::testing::Values(Forced{"System", 0, 0, "track"},
                                           Forced{"CommonControls", 1, 1, "track common controls"},
                                           Forced{"Capture", 2, 2, "capture"},
                                           Forced{"UnknownValueKept", 7, 7, "track"}),
                         [](const auto& row) { return std::string(row.param.name); });

class ArmingFailure : public MouseTrack, public ::testing::WithParamInterface<int> {};

TEST_P(ArmingFailure, ReachesTheCallerWithTheProgramAsSourceAndArmsNothing) {
    platform.hoverTime = 0; // a hover wait, had one been armed, would be due at once
    attach(GetParam());
    platform.armingError = MouseTrackError{453, "Can't find DLL entry point", "user32"};
    const std::optional<MouseTrackError> error = track.StartMouseTracking();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 453);
    EXPECT_EQ(error->description, "Can't find DLL entry point");
    EXPECT_EQ(error->source, "c_mouse_track_test.cMouseTrack");
    EXPECT_FALSE(track.Tracking());
    leave();
    letDueTimersFire();
    EXPECT_EQ(leaves.count() + hovers.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(MouseTrack, ArmingFailure, ::testing::Values(0, 1, 2));

TEST_F(MouseTrack, ThisPlatformDetectsTheSystemMethodAndReportsLeaving) {
    SystemMouseTrackPlatform thisPlatform;
    cMouseTrack system{thisPlatform};
    QSignalSpy systemLeaves(&system, &cMouseTrack::MouseLeave);
    system.AttachMouseTracking(pic, cMouseTrack::TrackMethodDetect);
    EXPECT_EQ(system.Method(), cMouseTrack::TrackMethodSystem);
    EXPECT_FALSE(system.StartMouseTracking());
    leave();
    EXPECT_EQ(systemLeaves.count(), 1);
}

// --- system method ------------------------------------------------------------------

TEST_F(MouseTrack, LeaveEndsAnArmedCycleOnce) {
    attach(cMouseTrack::TrackMethodSystem);
    leave();
    EXPECT_EQ(leaves.count(), 0);
    track.StartMouseTracking();
    leave();
    leave();
    EXPECT_EQ(leaves.count(), 1);
    EXPECT_FALSE(track.Tracking());
}

TEST_F(MouseTrack, HoverReportsButtonsKeysAndPointAndLeaveStaysRequested) {
    attach(cMouseTrack::TrackMethodSystem);
    platform.buttons = Qt::LeftButton;
    platform.modifiers = Qt::ControlModifier;
    enter({5, 5});
    move({30, 12});
    track.StartMouseTracking();
    ASSERT_TRUE(testsupport::waitUntil([&] { return hovers.count() == 1; }, 2000));
    EXPECT_EQ(hovers.first(), (QVariantList{1, 2, 30.0f, 12.0f}));
    EXPECT_FALSE(track.Tracking());
    leave();
    EXPECT_EQ(leaves.count(), 1);
}

TEST_F(MouseTrack, ParentActivationIsOnlyWatchedInTheCaptureMethod) {
    attach(cMouseTrack::TrackMethodSystem);
    track.StartMouseTracking();
    activation(QEvent::WindowDeactivate);
    EXPECT_EQ(leaves.count(), 0);
    EXPECT_TRUE(track.Tracking());
}

// --- capture method -----------------------------------------------------------------

TEST_F(MouseTrack, DragOutsideKeepsTheCaptureUntilTheButtonsAreUp) {
    attach(cMouseTrack::TrackMethodCapture);
    track.StartMouseTracking();
    platform.underPointer = nullptr;
    platform.buttons = Qt::RightButton;
    move(outside);
    EXPECT_EQ(leaves.count(), 0);
    EXPECT_TRUE(track.Tracking());
    platform.buttons = {};
    move(outside);
    EXPECT_EQ(leaves.count(), 1);
    EXPECT_FALSE(track.Tracking());
    EXPECT_EQ(platform.calls, (QStringList{"capture", "release"}));
}

TEST_F(MouseTrack, ButtonReleasedOverTheWidgetRetakesTheCaptureSilently) {
    attach(cMouseTrack::TrackMethodCapture);
    track.StartMouseTracking();
    move(inside);
    release(inside, Qt::BackButton);
    release(inside, Qt::MiddleButton);
    platform.underPointer = drawnOnPic;
    release(inside);
    EXPECT_EQ(leaves.count() + hovers.count(), 0);
    EXPECT_TRUE(track.Tracking());
    EXPECT_EQ(platform.calls, (QStringList{"capture", "capture", "capture"}));
}

TEST_F(MouseTrack, AnotherWindowOverTheWidgetCountsAsOutside) {
    QWidget other;
    attach(cMouseTrack::TrackMethodCapture);
    track.StartMouseTracking();
    platform.underPointer = &other;
    move(inside);
    EXPECT_EQ(leaves.count(), 1);
}

TEST_F(MouseTrack, ParentActivationEndsATrackingCycleOnce) {
    attach(cMouseTrack::TrackMethodCapture);
    activation(QEvent::WindowActivate);
    EXPECT_EQ(leaves.count(), 0);
    track.StartMouseTracking();
    activation(QEvent::WindowDeactivate);
    activation(QEvent::ActivationChange);
    activation(QEvent::WindowActivate);
    EXPECT_EQ(leaves.count(), 1);
    EXPECT_EQ(platform.calls, (QStringList{"capture", "release"}));
}

TEST_F(MouseTrack, DetachReleasesOnceAndStopsWatching) {
    track.DetachMouseTracking();
    attach(cMouseTrack::TrackMethodCapture);
    track.StartMouseTracking();
    track.DetachMouseTracking();
    track.DetachMouseTracking();
    platform.underPointer = nullptr;
    move(outside);
    activation(QEvent::WindowDeactivate);
    EXPECT_EQ(leaves.count(), 0);
    EXPECT_EQ(platform.calls, (QStringList{"capture", "release"}));
    EXPECT_FALSE(pic->hasMouseTracking());
}

TEST_F(MouseTrack, DetachedSystemMethodReportsNothingMore) {
    platform.hoverTime = 0; // a hover wait, had one been left armed, would be due at once
    attach(cMouseTrack::TrackMethodSystem);
    track.StartMouseTracking();
    track.DetachMouseTracking();
    leave();
    letDueTimersFire();
    EXPECT_EQ(leaves.count() + hovers.count(), 0);
}

TEST_F(MouseTrack, ReattachingFromCaptureReleasesTheOldCapture) {
    attach(cMouseTrack::TrackMethodCapture);
    track.StartMouseTracking();
    attach(cMouseTrack::TrackMethodSystem);
    EXPECT_EQ(platform.calls, (QStringList{"capture", "release"}));
}

TEST_F(MouseTrack, DestructionDetachesWhicheverGoesFirst) {
    auto* early = new cMouseTrack(platform);
    early->AttachMouseTracking(pic, cMouseTrack::TrackMethodCapture);
    early->StartMouseTracking();
    delete early;
    EXPECT_EQ(platform.calls, (QStringList{"capture", "release"}));

    auto* doomed = new QWidget(&form);
    track.AttachMouseTracking(doomed, cMouseTrack::TrackMethodCapture);
    delete doomed;
    track.DetachMouseTracking();
    activation(QEvent::WindowDeactivate);
    EXPECT_EQ(leaves.count(), 0);
}

class EveryEvent : public MouseTrack, public ::testing::WithParamInterface<int> {};

TEST_P(EveryEvent, StillReachesTheWidgetsOwnHandler) {
    attach(GetParam());
    track.StartMouseTracking();
    enter(inside);
    move(inside);
    release(inside);
    platform.underPointer = nullptr;
    move(outside);
    leave();
    activation(QEvent::WindowDeactivate);
    for (QEvent::Type type : {QEvent::Enter, QEvent::MouseMove, QEvent::MouseButtonRelease,
                              QEvent::Leave, QEvent::WindowDeactivate})
        EXPECT_TRUE(pic->seen.contains(type)) << type;
    EXPECT_TRUE(form.seen.contains(QEvent::WindowDeactivate));
}

INSTANTIATE_TEST_SUITE_P(MouseTrack, EveryEvent, ::testing::Values(0, 2));

// --- message decoding ---------------------------------------------------------------

TEST(MouseMessage, ClientPointDecodesLikeTheWindowsMessage) {
    using MouseMessage::decodeClientPoint;
    EXPECT_EQ(decodeClientPoint(0x0005'0003), QPoint(3, 5));
    EXPECT_EQ(decodeClientPoint(0x0000'FFFF), QPoint(65535, 0));
    EXPECT_EQ(decodeClientPoint(0x7FFF'FFFF), QPoint(65535, 32767));
    EXPECT_EQ(decodeClientPoint(static_cast<qint32>(0xFFFF'0005)), QPoint(5, 0));
    EXPECT_EQ(decodeClientPoint(static_cast<qint32>(0xFFFE'0005)), QPoint(5, -1));
    EXPECT_EQ(decodeClientPoint(static_cast<qint32>(0x8000'0000)), QPoint(0, -32768));
    EXPECT_EQ(decodeClientPoint(MouseMessage::packClientPoint({-1, 7})), QPoint(65535, 7));
    EXPECT_EQ(decodeClientPoint(MouseMessage::packClientPoint({640, 480})), QPoint(640, 480));
}

TEST(MouseMessage, ButtonAndKeyBits) {
    EXPECT_EQ(MouseMessage::buttonBits(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton), 7);
    EXPECT_EQ(MouseMessage::buttonBits(Qt::RightButton | Qt::BackButton), 2);
    EXPECT_EQ(MouseMessage::shiftBits(Qt::ShiftModifier | Qt::AltModifier), 1);
    EXPECT_EQ(MouseMessage::shiftBits(Qt::ControlModifier | Qt::ShiftModifier), 3);
}

} // namespace
