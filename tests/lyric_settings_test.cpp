#include "desktop_lyric/colour_schemes.h"
#include "desktop_lyric/lyric_settings.h"
#include "fakes/fake_world.h"
#include "forms/frm_set.h"
#include "forms/frm_show.h"
#include "forms/lyric_windows.h"
#include "settings/lyric_look_file.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString SettingsFile = QStringLiteral("data/system/desktoplrc.pst");

TEST(SettingsFileNumbers, SpaceOrMinusThenShortestDecimalsThenSpace) {
    const struct {
        double value;
        const char* written;
    } rows[] = {
        {50, " 50 "},
        {9.75, " 9.75 "},
        {3, " 3 "},
        {0, " 0 "},
        {-0.0, " 0 "},
        {-2.5, "-2.5 "},
        {1, " 1 "},
        {double(0.1f), " 0.1 "},
        {double(12.3f), " 12.3 "},
        {1234567, " 1234567 "},
        {double(1.0f / 3), " 0.3333333 "},
        {72.5, " 72.5 "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LyricLookFile::formatNumber(row.value), QString::fromLatin1(row.written))
            << row.value;
}

TEST(SettingsFileContent, LineBreaksInTheFontNameBecomeSpacesSoTheFileKeepsThreeLines) {
    EXPECT_EQ(LyricLookFile::content(QStringLiteral("Deja\r\nVu\rSans\nMono\n"), 50, 3),
              QByteArray("Deja Vu Sans Mono \r\n 50 \r\n 3 \r\n"));
}

class SetColorAndSaveSet : public ::testing::Test {
protected:
    LyricWindows& windows() { return world.lyricWindows(); }
    LyricSettings& settings() { return windows().settings(); }
    QByteArray file() const { return programFolder.read(SettingsFile); }

    TempFolder programFolder;
    FakeWorld world{programFolder.path()};
    FakeDialogs& dialogs = world.dialogs;
};

TEST_F(SetColorAndSaveSet, BeforeAnyFontTheFileHoldsAnEmptyNameAndSizeZero) {
    windows().frmSet().SetColor(3);
    EXPECT_EQ(file(), QByteArray("\r\n 0 \r\n 3 \r\n"));
    EXPECT_EQ(settings().colourScheme(), 3);
    EXPECT_EQ(settings().firstColour(), 0xFFFECEFCu);
    EXPECT_EQ(settings().secondColour(), 0xFFE144CDu);
    EXPECT_TRUE(windows().frmShow().picture().isNull()); // nothing to draw yet
    EXPECT_FALSE(windows().frmSet().isVisible());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(SetColorAndSaveSet, FontNameAndSizeAreWrittenAsUtf8Lines) {
    settings().setFont(QStringLiteral("华文行楷"), 50);
    windows().frmSet().SetColor(3);
    EXPECT_EQ(file(), QStringLiteral("华文行楷\r\n 50 \r\n 3 \r\n").toUtf8());
    settings().setFont(QStringLiteral("DejaVu Sans"), 9.75f);
    windows().frmSet().SetColor(5);
    EXPECT_EQ(file(), QByteArray("DejaVu Sans\r\n 9.75 \r\n 5 \r\n"));
}

TEST_F(SetColorAndSaveSet, NumbersOutsideTheSchemesWriteSchemeOneWhenNoneWasChosen) {
    for (qint16 n : {qint16(0), qint16(6)}) {
        world.restartLyricWindows();
        windows().frmSet().SetColor(n);
        EXPECT_EQ(file(), QByteArray("\r\n 0 \r\n 1 \r\n")) << n;
        EXPECT_EQ(settings().colourScheme(), 1) << n;
        EXPECT_EQ(settings().firstColour(), 0u) << n; // the number, not the colours
        EXPECT_EQ(settings().secondColour(), 0u) << n;
    }
    windows().frmSet().SetColor(2);
    for (qint16 n : {qint16(6), qint16(-1), qint16(-32768), qint16(32767)})
        windows().frmSet().SetColor(n);
    EXPECT_EQ(file(), QByteArray("\r\n 0 \r\n 2 \r\n"));
    EXPECT_EQ(settings().firstColour(), 0xFF7FF157u);
    EXPECT_EQ(settings().secondColour(), 0xFF27AD13u);
}

TEST_F(SetColorAndSaveSet, SaveSetAloneTurnsSchemeZeroIntoOne) {
    settings().setFont(QStringLiteral("Font"), 12);
    EXPECT_TRUE(windows().frmSet().SaveSet());
    EXPECT_EQ(file(), QByteArray("Font\r\n 12 \r\n 1 \r\n"));
    EXPECT_EQ(settings().colourScheme(), 1);
    windows().frmSet().SetColor(1); // the number it already holds still brings its colours
    EXPECT_EQ((ColourPair{settings().firstColour(), settings().secondColour()}),
              colourSchemeColours(1));
}

TEST_F(SetColorAndSaveSet, TwoChoicesLeaveOnlyTheSecond) {
    windows().frmSet().SetColor(1);
    windows().frmSet().SetColor(4);
    EXPECT_EQ(file(), QByteArray("\r\n 0 \r\n 4 \r\n"));
    const QDir folder(programFolder.file(QStringLiteral("data/system")));
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), QStringList{"desktoplrc.pst"});
}

TEST_F(SetColorAndSaveSet, RedrawsTheCurrentLineInTheNewColours) {
    settings().setFont(QStringLiteral("DejaVu Sans"), 50);
    windows().frmSet().SetColor(3);
    windows().frmShow().DrawText(QStringLiteral("line"));
    const QImage red = windows().frmShow().picture();
    windows().frmSet().SetColor(3); // the same again: the same picture
    EXPECT_EQ(windows().frmShow().picture(), red);
    windows().frmSet().SetColor(2);
    EXPECT_EQ(
        windows().frmShow().picture(),
        LyricRenderer::render(QStringLiteral("line"),
                              LyricStyle{QStringLiteral("DejaVu Sans"), 50, 0xFF7FF157, 0xFF27AD13},
                              QSize(1920, 111), 1920));
}

// Whoever changes the look, the file records it and the line on screen shows it, without
// anyone asking: several changes of one action make one write, once the action is done.
TEST_F(SetColorAndSaveSet, AChangedLookIsSavedAndShownWithoutBeingAsked) {
    windows().frmShow().DrawText(QStringLiteral("line"));
    const QImage before = windows().frmShow().picture();
    QSignalSpy restyled(&settings(), &LyricSettings::styleChanged);
    settings().setFont(QStringLiteral("DejaVu Sans"), 40);
    settings().chooseColourScheme(5);
    EXPECT_EQ(restyled.size(), 2);
    EXPECT_TRUE(file().isEmpty()); // not yet: the action may change more
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(file(), QByteArray("DejaVu Sans\r\n 40 \r\n 5 \r\n"));
    EXPECT_NE(windows().frmShow().picture(), before);

    // Nothing changed, nothing written: a file removed meanwhile is not made again.
    QFile::remove(programFolder.file(SettingsFile));
    settings().setFont(QStringLiteral("DejaVu Sans"), 40);
    settings().chooseColourScheme(5);
    windows().frmShow().DrawText(QStringLiteral("other line"));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(file().isEmpty());
    EXPECT_EQ(restyled.size(), 2);
}

TEST_F(SetColorAndSaveSet, MissingDataFolderIsCreated) {
    ASSERT_FALSE(QDir(programFolder.file(QStringLiteral("data"))).exists());
    windows().frmSet().SetColor(3);
    EXPECT_EQ(file(), QByteArray("\r\n 0 \r\n 3 \r\n"));
}

// A failed write keeps the previous file and the chosen colours, and says nothing.
void expectFailedChoiceKeepsFileAndColours(LyricWindows& windows, const TempFolder& folder,
                                           const FakeDialogs& dialogs) {
    EXPECT_FALSE(windows.frmSet().SaveSet());
    windows.frmSet().SetColor(4);
    EXPECT_EQ(folder.read(SettingsFile), QByteArray("previous\r\n 50 \r\n 3 \r\n"));
    EXPECT_EQ(
        QDir(folder.file(QStringLiteral("data/system"))).entryList(QDir::Files | QDir::Hidden),
        QStringList{"desktoplrc.pst"}); // no half-written file left beside it
    EXPECT_EQ(windows.settings().colourScheme(), 4);
    EXPECT_EQ(windows.settings().firstColour(), 0xFFFBFBFAu);
    EXPECT_EQ(
        windows.frmShow().picture(),
        LyricRenderer::render(QStringLiteral("line"),
                              LyricStyle{QStringLiteral("DejaVu Sans"), 50, 0xFFFBFBFA, 0xFFCBCBCB},
                              QSize(1920, 111), 1920));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

class FailedWrite : public SetColorAndSaveSet {
protected:
    void SetUp() override {
        QDir().mkpath(programFolder.file(QStringLiteral("data/system")));
        programFolder.write(SettingsFile, "previous\r\n 50 \r\n 3 \r\n");
        settings().setFont(QStringLiteral("DejaVu Sans"), 50);
        settings().chooseColourScheme(3);
        windows().frmShow().DrawText(QStringLiteral("line"));
    }
};

TEST_F(FailedWrite, ReadOnlyFolder) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    const QString folder = programFolder.file(QStringLiteral("data/system"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    expectFailedChoiceKeepsFileAndColours(windows(), programFolder, dialogs);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(FailedWrite, DiskRefusesTheBytes) {
    // A file size limit binds every user, the superuser too: writes past it fail as on a
    // full disk.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = previous;
    tiny.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    expectFailedChoiceKeepsFileAndColours(windows(), programFolder, dialogs);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
}

TEST_F(FailedWrite, DataIsAFileNotAFolder) {
    TempFolder other;
    other.write(QStringLiteral("data"), "not a folder");
    world.restartLyricWindows(other.path());
    settings().setFont(settings().fontName(), 50);
    EXPECT_FALSE(windows().frmSet().SaveSet());
    windows().frmSet().SetColor(2);
    EXPECT_EQ(settings().colourScheme(), 2);
    EXPECT_EQ(other.read(QStringLiteral("data")), QByteArray("not a folder"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

} // namespace
