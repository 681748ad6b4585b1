#include "forms/click_area.h"
#include "platform/process_signals.h"
#include "support/event_wait.h"
#include "support/form1_fixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <set>

namespace {

class Form1Startup : public ::testing::Test, public Form1Fixture {};

TEST_F(Form1Startup, SetsVolumeLaunchesAndPreparesTheFontInOrder) {
    Form1& form = start();
    EXPECT_EQ(engine.volume(), 100);
    EXPECT_EQ(launcher.launches, (QStringList{"unregister SSubTmr6.dll", "unregister Diag.dll"}));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("黑体"));
}

TEST_F(Form1Startup, DesignedWindowAndTimers) {
    Form1& form = start();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vellora V1.0"));
    EXPECT_EQ(form.size(), QSize(328, 307));
    EXPECT_EQ(form.List2->geometry(), QRect(0, 150, 329, 112));
    EXPECT_EQ(form.Label10->text(), QStringLiteral("255"));
    const std::vector<std::pair<QTimer*, std::pair<int, bool>>> timers = {
        {form.Timer1, {10, false}},
        {form.Timer2, {10, false}},
        {form.Timer3, {10, false}},
        {form.Timer4, {16, false}},
        {form.Timer5, {16, false}}};
    for (const auto& [timer, design] : timers) {
        EXPECT_EQ(timer->interval(), design.first);
        EXPECT_EQ(timer->isActive(), design.second);
    }
}

TEST_F(Form1Startup, EmptyPlaylistSelectsAndPlaysNothing) {
    Form1& form = start();
    EXPECT_EQ(form.List2->count(), 0);
    EXPECT_FALSE(form.Timer3->isActive());
    EXPECT_TRUE(form.List2->selectedItems().isEmpty());
}

TEST_F(Form1Startup, FirstEntryIsSelectedAndPlayedByTimer3) {
    writePlaylist("2\r\n/music/one.mp3\r\n/music/two.mp3\r\n");
    Form1& form = start();
    ASSERT_EQ(form.List2->count(), 2);
    EXPECT_EQ(form.List2->currentRow(), 0);
    EXPECT_TRUE(form.List2->item(0)->isSelected());
    EXPECT_TRUE(form.Timer3->isActive());
    EXPECT_TRUE(engine.url.isEmpty());

    form.timer3Tick();
    EXPECT_EQ(engine.url, QStringLiteral("/music/one.mp3"));
    EXPECT_EQ(form.Text1->text(), QStringLiteral("/music/one.mp3"));
    EXPECT_FALSE(form.Timer3->isActive());
}

TEST_F(Form1Startup, Timer3FiresOnItsOwnWithinTheEventLoop) {
    writePlaylist("1\r\n/music/one.mp3\r\n");
    start();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !engine.url.isEmpty(); }));
    testsupport::runEventLoopFor(50);
    EXPECT_EQ(engine.url, QStringLiteral("/music/one.mp3"));
    EXPECT_EQ(engine.calls.filter(QStringLiteral("URL=")).size(), 1);
}

class Form1Close : public ::testing::Test, public Form1Fixture {};

TEST_F(Form1Close, WritesThePlaylistRefusesTheCloseAndStartsTheFade) {
    writePlaylist("1\r\n/music/one.mp3\r\n");
    Form1& form = start();
    form.List2->addItem(QStringLiteral("/music/玫瑰.mp3"));
    form.show();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")),
              "2\r\n/music/one.mp3\r\n" + QStringLiteral("/music/玫瑰.mp3").toUtf8() + "\r\n");
    EXPECT_TRUE(form.Timer4->isActive());
    EXPECT_TRUE(form.Timer5->isActive());
}

TEST_F(Form1Close, NoPlaylistFileIsCreatedAsEmpty) {
    Form1& form = start();
    form.close();
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")), QByteArray("0\r\n\r\n"));
}

TEST_F(Form1Close, UnwritablePlaylistStillFadesOut) {
    QDir(programFolder.path()).mkdir(QStringLiteral("data.dat"));
    Form1& form = start();
    EXPECT_EQ(form.List2->count(), 0);
    form.close();
    EXPECT_TRUE(form.Timer4->isActive());
}

struct FadeCase {
    int startVolume;
    int ticksToEnd;
    int finalVolume;
    int finalLevel;
};

class Form1ExitFade : public ::testing::TestWithParam<FadeCase>, public Form1Fixture {};

TEST_P(Form1ExitFade, EndsOnTheExpectedTickAfterShuttingTheEngineDown) {
    Form1& form = start();
    form.close();
    engine.setVolume(GetParam().startVolume);
    for (int tick = 1; tick < GetParam().ticksToEnd; ++tick) {
        form.timer4Tick();
        ASSERT_EQ(processEnds, 0) << "ended early, on tick " << tick;
    }
    EXPECT_EQ(engine.volume(), GetParam().finalVolume);
    EXPECT_EQ(form.Label10->text(), QString::number(GetParam().finalLevel));
    form.timer4Tick();
    EXPECT_EQ(processEnds, 1);
    EXPECT_EQ(engine.calls.last(), QStringLiteral("shutdown"));
    EXPECT_FALSE(form.Timer4->isActive());
    EXPECT_FALSE(form.Timer1->isActive());
}

INSTANTIATE_TEST_SUITE_P(Form1, Form1ExitFade,
                         ::testing::Values(FadeCase{100, 13, 40, 15}, FadeCase{50, 11, 0, 55},
                                           FadeCase{3, 2, 0, 235}));

// Run by the event loop, the fade shows the window at every step of it.
TEST_F(Form1Close, TheFadeCanBeSeenStepByStep) {
    Form1& form = start();
    form.show();
    std::set<double> opacities;
    QObject::connect(form.Timer5, &QTimer::timeout,
                     [&] { opacities.insert(form.windowOpacity()); });
    form.close();
    ASSERT_TRUE(testsupport::waitUntil([&] { return processEnds == 1; }));
    EXPECT_GE(opacities.size(), 10u);
}

TEST_F(Form1Close, APoliteTerminationSavesThePlaylistAndEnds) {
    ProcessSignals processSignals;
    Form1& form = start();
    QObject::connect(&processSignals, &ProcessSignals::terminationRequested, &form,
                     &QWidget::close);
    form.show();
    dialogs.fileAnswers = {QStringLiteral("/music/added.mp3")};
    Q_EMIT form.Image3->clicked();
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return processEnds == 1; }));
    EXPECT_EQ(programFolder.read(QStringLiteral("data.dat")), "1\r\n/music/added.mp3\r\n");
}

TEST_F(Form1Close, Timer5FollowsTheFadeLevelAsOpacity) {
    Form1& form = start();
    form.show();
    form.close();
    form.timer4Tick();
    form.timer4Tick();
    form.timer5Tick();
    EXPECT_NEAR(form.windowOpacity(), 215.0 / 255.0, 0.01);
}

} // namespace
