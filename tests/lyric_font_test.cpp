#include "desktop_lyric/lyric_font_choice.h"
#include "fakes/fake_desktop_services.h"
#include "platform/desktop/system_font_installation.h"
#include "player/lyric_font.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <limits>

namespace {

class LyricFontPreparation : public ::testing::Test {
protected:
    LyricFontPreparation() { fonts.folder = fontHome.file(QStringLiteral("fonts")); }

    QString prepare() { return LyricFont::prepare(fonts, launcher, workingDir.path()); }
    QString installedPath() const {
        return fonts.folder + QLatin1Char('/') + LyricFont::installedFileName();
    }

    TempFolder fontHome;
    TempFolder workingDir;
    FakeFontInstallation fonts;
    FakeDesktopLauncher launcher;
};

TEST_F(LyricFontPreparation, InstalledFontIsUsedWithoutCopyingOrLaunching) {
    QDir().mkpath(fonts.folder);
    fontHome.write(QStringLiteral("fonts/") + LyricFont::installedFileName(), "ttf");
    workingDir.write(QStringLiteral("font.ocx"), "shipped");
    EXPECT_EQ(prepare(), QStringLiteral("华文行楷"));
    EXPECT_TRUE(launcher.launches.isEmpty());
    EXPECT_TRUE(fonts.added.isEmpty());
    EXPECT_EQ(fontHome.read(QStringLiteral("fonts/") + LyricFont::installedFileName()), "ttf");
}

TEST_F(LyricFontPreparation, FamilyKnownToTheFontSystemCountsAsInstalled) {
    fonts.families << QStringLiteral("华文行楷");
    EXPECT_EQ(prepare(), QStringLiteral("华文行楷"));
    EXPECT_TRUE(launcher.launches.isEmpty());
}

TEST_F(LyricFontPreparation, ShippedFontIsInstalledAndTheFolderShown) {
    workingDir.write(QStringLiteral("font.ocx"), "shipped font bytes");
    EXPECT_EQ(prepare(), QStringLiteral("华文行楷"));
    EXPECT_EQ(fontHome.read(QStringLiteral("fonts/") + LyricFont::installedFileName()),
              "shipped font bytes");
    EXPECT_EQ(workingDir.read(QStringLiteral("font.ocx")), "shipped font bytes");
    EXPECT_FALSE(QFileInfo::exists(workingDir.file(LyricFont::installedFileName())));
    EXPECT_EQ(fonts.added, QStringList{installedPath()});
    EXPECT_EQ(launcher.launches, QStringList{QStringLiteral("open ") + fonts.folder});
}

TEST_F(LyricFontPreparation, FallbackFaceWhenNothingIsThere) {
    EXPECT_EQ(prepare(), QStringLiteral("黑体"));
    EXPECT_TRUE(launcher.launches.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(fonts.folder));
}

TEST_F(LyricFontPreparation, FontFolderThatCannotBeMadeDoesNotStopTheProgram) {
    fontHome.write(QStringLiteral("fonts"), "a file where the folder should be");
    workingDir.write(QStringLiteral("font.ocx"), "shipped");
    EXPECT_EQ(prepare(), QStringLiteral("华文行楷"));
    EXPECT_TRUE(fonts.added.isEmpty());
    EXPECT_EQ(workingDir.read(QStringLiteral("font.ocx")), "shipped");
}

// Whatever lies under the shipped name in the directory the player starts from would be
// copied into the user's fonts: only a font of believable size is.
TEST_F(LyricFontPreparation, ShippedFileThatIsNoFontOrTooLargeCountsAsAbsent) {
    workingDir.write(QStringLiteral("font.ocx"), "not a font");
    fonts.filesAreFonts = false;
    EXPECT_EQ(prepare(), QStringLiteral("黑体"));

    fonts.filesAreFonts = true;
    QFile huge(workingDir.file(QStringLiteral("font.ocx")));
    ASSERT_TRUE(huge.open(QIODevice::ReadWrite));
    ASSERT_TRUE(huge.resize(LyricFont::MaxShippedBytes + 1));
    huge.close();
    fonts.examined.clear();
    EXPECT_EQ(prepare(), QStringLiteral("黑体"));
    EXPECT_TRUE(fonts.examined.isEmpty()); // never read
    EXPECT_FALSE(QFileInfo::exists(installedPath()));
    EXPECT_TRUE(launcher.launches.isEmpty());
}

TEST(SystemFontInstallation, TakesOnlyFilesTheFontSystemCanLoad) {
    SystemFontInstallation fonts;
    TempFolder folder;
    EXPECT_FALSE(fonts.isFontFile(folder.write(QStringLiteral("fake.ttf"), "OTTO not really")));
    EXPECT_FALSE(fonts.isFontFile(QStringLiteral("/dev/zero")));
    const QString installed = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
    if (QFileInfo::exists(installed)) {
        EXPECT_TRUE(fonts.isFontFile(installed));
    }
}

TEST_F(LyricFontPreparation, DirectoryNamedLikeTheShippedFileIsIgnored) {
    QDir(workingDir.path()).mkdir(QStringLiteral("font.ocx"));
    EXPECT_EQ(prepare(), QStringLiteral("黑体"));
}

// The font dialog names a family that several foundries offer as "Family [Foundry]"; the
// lyric and the settings file take the family alone.
TEST(LyricFontChoice, TheChosenFamilyIsStoredWithoutItsFoundry) {
    const std::pair<const char*, const char*> rows[] = {
        {"Nimbus Roman [UKWN]", "Nimbus Roman"},
        {"DejaVu Serif", "DejaVu Serif"},
        {"Odd [Name] Sans", "Odd [Name] Sans"},
        {"Two [Tags] [Here]", "Two [Tags]"},
        {"Tight[Foundry]", "Tight"},
        {"[Foundry]", "[Foundry]"}, // no family before it: nothing to take
        {" [Foundry]", " [Foundry]"},
        {"Nested [[Tag]]", "Nested [[Tag]]"},
        {"", ""},
    };
    for (const auto& [chosen, stored] : rows) {
        SCOPED_TRACE(chosen);
        EXPECT_EQ(LyricFontChoice::familyWithoutFoundry(QString::fromLatin1(chosen)),
                  QString::fromLatin1(stored));
        const std::optional<QFont> font =
            LyricFontChoice::chosen(QFont(), QFont(QString::fromLatin1(chosen), 20));
        if (*stored) {
            EXPECT_EQ(font->family(), QFont(QString::fromLatin1(stored)).family());
        } else {
            EXPECT_FALSE(font);
        }
    }
    const QString huge = QString(100000, QLatin1Char('x')) + QStringLiteral(" [F]");
    EXPECT_EQ(LyricFontChoice::familyWithoutFoundry(huge), QString(100000, QLatin1Char('x')));
}

// The settings file's size is anyone's to edit: only a point size a font can take replaces
// the toolbar's own, and the lyric's font never takes the toolbar's bold or italic away.
TEST(LyricFontChoice, OnlyAUsablePointSizeFromTheSettingsReplacesTheToolbarsOwn) {
    const QFont own(QStringLiteral("Own"), 12, QFont::Bold, true);
    for (const float size : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity()})
        EXPECT_EQ(LyricFontChoice::withLyricFont(own, QString(), size), own) << size;
    const QFont lyric = LyricFontChoice::withLyricFont(own, QStringLiteral("华文行楷"), 50);
    EXPECT_EQ(lyric.family(), QStringLiteral("华文行楷"));
    EXPECT_EQ(lyric.pointSizeF(), 50.0);
    EXPECT_TRUE(lyric.bold() && lyric.italic());
}

} // namespace
