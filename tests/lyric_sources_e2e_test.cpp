// Real tracks through the real engine and the real tag reader, with LRCLIB played by a
// server on this machine: lyrics from the tags and from the search reach the lyric strip and
// the desktop lyric as a lyric file's would, and land on disk.
#include "core/player_core.h"
#include "desktop_lyric/lyric_settings.h"
#include "fakes/fake_world.h"
#include "forms/form1.h"
#include "forms/lyric_menu.h"
#include "forms/lyric_notices.h"
#include "lyric_sources/lyric_finder.h"
#include "platform/media_reader/taglib_media_tags.h"
#include "platform/mpv/mpv_engine.h"
#include "support/event_wait.h"
#include "support/fake_lrclib_server.h"
#include "support/generated_audio.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <taglib/id3v2tag.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/wavfile.h>

namespace {

using testsupport::waitUntil;
using S = FakeLrclibServer;

// Long enough that no track ends, and opens again, while a test waits on it.
constexpr double TrackSeconds = 20;
constexpr int WaitMs = 30'000;
const QByteArray OwnHeader = "[re:Vellora LRCLIB]\r\n";

// One line a second, "[00:07.00]word 7".
QStringList linesOf(const QString& word) {
    QStringList lines;
    for (int second = 0; second < TrackSeconds; ++second)
        lines << QStringLiteral("[00:%1.00]%2 %3")
                     .arg(second, 2, 10, QChar(u'0'))
                     .arg(word)
                     .arg(second);
    return lines;
}

QByteArray fileOf(const QStringList& lines) {
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

TagLib::String tl(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

class LyricSourcesEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.isAvailable());
        server.answer("/api/get", FakeLrclibServer::json(FakeLrclibServer::record(
                                      1, "Song", TrackSeconds, linesOf("first").join(u'\n'))));
        server.answer(
            "/api/search",
            FakeLrclibServer::json(
                "[" +
                FakeLrclibServer::record(1, "Song", TrackSeconds, linesOf("first").join(u'\n')) +
                "," +
                FakeLrclibServer::record(2, "Song", TrackSeconds, linesOf("second").join(u'\n')) +
                "]"));
    }
    void TearDown() override { engine.shutdown(); }

    // A tone with the tags the lookup needs; edit adds more before it is saved.
    QString track(const char* name, const char* title,
                  const std::function<void(TagLib::ID3v2::Tag*)>& edit = {},
                  double seconds = TrackSeconds) {
        const QString path = music.file(QString::fromLatin1(name));
        EXPECT_TRUE(testsupport::writeToneWav(path, seconds));
        TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
        tag->setTitle(title);
        tag->setArtist("Artist");
        tag->setAlbum("Album");
        if (edit)
            edit(tag);
        EXPECT_TRUE(file.save());
        return path;
    }
    void searchOnline() {
        program.write(QStringLiteral("vellora.conf"), "search_lyrics_online=yes\n");
    }

    // The player started on these tracks, its window and the desktop lyric shown.
    void start(const QStringList& tracks) {
        QByteArray playlist = QByteArray::number(tracks.size()) + "\r\n";
        for (const QString& path : tracks)
            playlist += path.toUtf8() + "\r\n";
        program.write(QStringLiteral("data.dat"), playlist);
        core = std::make_unique<PlayerCore>(
            PlayerCoreServices{engine, world.launcher, world.fonts, world.lyricWindows(),
                               program.path(), program.path(), [] {},
                               LyricSourceServices{&tagReader,
                                                   program.file(QStringLiteral("art")),
                                                   program.file(QStringLiteral("lyrics")),
                                                   program.file(QStringLiteral("vellora.conf")),
                                                   {server.baseUrl()},
                                                   FakeLrclibServer::clients()}});
        lyricTexts = std::make_unique<QSignalSpy>(&core->status(), &PlaybackStatus::lyricChanged);
        openings = std::make_unique<QSignalSpy>(core.get(), &PlayerCore::mediaOpened);
        core->load();
        form = std::make_unique<Form1>(
            Form1Services{*core, world.dialogs, world.launcher, world.lyricWindows()});
        form->show();
        QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("Image1")), Qt::LeftButton);
    }

    QLabel* lyricStrip() const { return form->findChild<QLabel*>(QStringLiteral("Label2")); }
    // The lyric strip and the desktop lyric both show a line of these words.
    bool showing(const QString& word) {
        return waitUntil(
            [&] {
                return lyricStrip()->text().startsWith(word + u' ') &&
                       world.lyricWindows().shownText().startsWith(word + u' ');
            },
            WaitMs);
    }
    bool fileBecomes(const QString& name, const QByteArray& bytes) {
        return waitUntil([&] { return music.read(name) == bytes; }, WaitMs);
    }
    // Chooses an entry of the lyric strip's menu as a user does, with a right click at a
    // point of the screen, on whatever window lies there.
    void choose(QStringView entry, std::optional<QPoint> at = {}) {
        const QPoint point = at.value_or(lyricStrip()->mapToGlobal(lyricStrip()->rect().center()));
        QWidget* clicked = QApplication::widgetAt(point);
        ASSERT_NE(clicked, nullptr);
        QContextMenuEvent click(QContextMenuEvent::Mouse, clicked->mapFromGlobal(point), point);
        QApplication::sendEvent(clicked, &click);
        auto* menu = form->findChild<QMenu*>(QStringLiteral("LyricMenu"));
        ASSERT_TRUE(menu && menu->isVisible()) << clicked->objectName().toStdString();
        for (QAction* action : menu->actions())
            if (action->text() == entry)
                action->trigger();
        menu->hide();
    }
    // What the lyric strip ever showed never was one of the search's notices.
    void expectNoNoticeInTheCaptions() {
        QStringList notices;
        for (int n = 0; n <= int(LyricFinder::Notice::ServerError); ++n)
            notices << LyricFinder::noticeText(LyricFinder::Notice(n));
        for (const QList<QVariant>& shown : *lyricTexts)
            EXPECT_FALSE(notices.contains(shown.at(0).toString()))
                << shown.at(0).toString().toStdString();
        EXPECT_FALSE(notices.contains(world.lyricWindows().shownText()));
    }

    TempFolder music;
    TempFolder program;
    FakeLrclibServer server;
    TagLibMediaTagReader tagReader;
    MpvEngine engine;
    FakeWorld world{program.path()};
    std::unique_ptr<PlayerCore> core;
    std::unique_ptr<Form1> form;
    std::unique_ptr<QSignalSpy> lyricTexts;
    // Lines that came with a track opened again would have come from its lyric file.
    std::unique_ptr<QSignalSpy> openings;
};

TEST_F(LyricSourcesEndToEnd, ASearchedTrackShowsItsLyricsSavesThemAndTakesAnotherCandidate) {
    searchOnline();
    start({track("song.wav", "Song")});
    ASSERT_TRUE(showing(QStringLiteral("first")));
    EXPECT_TRUE(fileBecomes(QStringLiteral("song.lrc"), OwnHeader + fileOf(linesOf("first"))));

    choose(LyricMenu::AnotherCandidateText);
    ASSERT_TRUE(showing(QStringLiteral("second")));
    EXPECT_TRUE(fileBecomes(QStringLiteral("song.lrc"), OwnHeader + fileOf(linesOf("second"))));
    expectNoNoticeInTheCaptions();
    EXPECT_EQ(openings->size(), 1);
}

// Three timed candidates of the right length, one too long, plain text, an instrumental.
TEST_F(LyricSourcesEndToEnd, AnotherCandidateCyclesTheTimedCandidatesAndKeepsItsPlace) {
    const auto timed = [](qint64 id, double seconds, const char* word) {
        return S::record(id, "Song", seconds, linesOf(word).join(u'\n'));
    };
    server.answer("/api/get", S::trackNotFound());
    server.answer("/api/search", S::json("[" + timed(1, TrackSeconds + 1.5, "third") + "," +
                                         timed(2, TrackSeconds + 60, "long") + "," +
                                         timed(3, TrackSeconds, "first") + "," +
                                         S::record(4, "Song", TrackSeconds, {}, "plain") + "," +
                                         S::record(5, "Song", TrackSeconds, {}, {}, true) + "," +
                                         timed(6, TrackSeconds - 1, "second") + "]"));
    searchOnline();
    start({track("song.wav", "Song")});
    const QStringList turns{"first", "second", "third", "first", "second", "third"};
    for (qsizetype turn = 0; turn < turns.size(); ++turn) {
        SCOPED_TRACE(turn);
        if (turn == 5)
            core->replay(); // the repeat mode's restart
        if (turn > 0)
            choose(LyricMenu::AnotherCandidateText);
        ASSERT_TRUE(showing(turns[turn]));
        EXPECT_TRUE(fileBecomes("song.lrc", OwnHeader + fileOf(linesOf(turns[turn]))));
    }
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(LyricSourcesEndToEnd, AnInstrumentalTrackInTheRepeatModeIsAskedAboutOnce) {
    searchOnline();
    server.answer("/api/get", S::json(S::record(7, "Tune", 1, {}, {}, true)));
    start({track("tune.wav", "Tune", {}, 1)});
    core->setPlayMode(PlayMode::RepeatTrack);
    ASSERT_TRUE(waitUntil([&] { return openings->size() >= 4; }, WaitMs));
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(LyricSourcesEndToEnd, AnUntaggedFileIsLookedUpByTheArtistAndTitleInItsName) {
    searchOnline();
    const QString path = music.file(QStringLiteral("Zelvorin-玫瑰花的葬礼.wav"));
    ASSERT_TRUE(testsupport::writeToneWav(path, TrackSeconds));
    server.answer("/api/get", S::trackNotFound());
    start({path});
    ASSERT_TRUE(showing(QStringLiteral("first")));
    const QList<S::Request>& asked = server.requests();
    EXPECT_EQ(asked[0].formValue("artist_name") + u'|' + asked[0].formValue("track_name"),
              "Zelvorin|玫瑰花的葬礼");
    EXPECT_EQ(asked[1].url.path() + u'|' + asked[1].formValue("track_name"),
              "/api/search|Zelvorin-玫瑰花的葬礼");
}

// A right click on the strip's foot, then the same again: the notice of the first neither
// hides the line nor takes the second click.
TEST_F(LyricSourcesEndToEnd, ANoticeLiesBesideTheMenuPointAndTheLyricLine) {
    start({track("song.wav", "Song")});
    ASSERT_TRUE(waitUntil([&] { return core->openedTrack().hasTags(); }, WaitMs));
    const QLabel* line = lyricStrip();
    const QPoint menuPoint = form->mapToGlobal(QPoint(form->width() / 2, form->height() - 4));
    choose(LyricMenu::SearchNowText, menuPoint);
    ASSERT_TRUE(showing(QStringLiteral("first")));
    const QLabel* balloon = form->findChild<LyricNotices*>()->balloon();
    ASSERT_TRUE(waitUntil(
        [&] { return balloon->text() == LyricFinder::noticeText(LyricFinder::Notice::Found); },
        WaitMs));
    const QRect text = QFontMetrics(line->font())
                           .boundingRect(line->contentsRect(), int(line->alignment()), line->text())
                           .translated(line->mapToGlobal(QPoint()));
    EXPECT_FALSE(balloon->geometry().contains(menuPoint) || balloon->geometry().intersects(text));
    choose(LyricMenu::AnotherCandidateText, menuPoint);
    EXPECT_TRUE(showing(QStringLiteral("second")));
}

TEST_F(LyricSourcesEndToEnd, AnotherCandidateIsShownOverTheUsersFileButNeverWritesIt) {
    searchOnline();
    const QByteArray users = "[ti:mine]\r\n" + fileOf(linesOf("mine"));
    music.write(QStringLiteral("song.lrc"), users);
    start({track("song.wav", "Song")});
    ASSERT_TRUE(showing(QStringLiteral("mine")));
    ASSERT_TRUE(waitUntil([&] { return core->openedTrack().hasTags(); }, WaitMs));
    EXPECT_TRUE(server.requests().isEmpty()) << "searched although the track has lyrics";

    QSignalSpy notices(&core->openedTrack(), &OpenedTrack::notice);
    choose(LyricMenu::AnotherCandidateText);
    ASSERT_TRUE(showing(QStringLiteral("second")));
    ASSERT_TRUE(waitUntil(
        [&] {
            return !notices.isEmpty() && notices.last().at(0).value<LyricFinder::Notice>() ==
                                             LyricFinder::Notice::FoundUnsaved;
        },
        WaitMs));
    EXPECT_EQ(music.read(QStringLiteral("song.lrc")), users);
    EXPECT_FALSE(QFileInfo::exists(program.file(QStringLiteral("lyrics"))));
    EXPECT_EQ(openings->size(), 1);
}

TEST_F(LyricSourcesEndToEnd, EmbeddedSynchronisedLyricsPlayWithoutALyricFile) {
    const QString path = track("song.wav", "Song", [](TagLib::ID3v2::Tag* tag) {
        auto* frame = new TagLib::ID3v2::SynchronizedLyricsFrame(TagLib::String::UTF8);
        frame->setTimestampFormat(TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMilliseconds);
        frame->setType(TagLib::ID3v2::SynchronizedLyricsFrame::Lyrics);
        TagLib::ID3v2::SynchronizedLyricsFrame::SynchedTextList list;
        for (int second = 0; second < TrackSeconds; ++second)
            list.append({unsigned(second * 1000), tl(QStringLiteral("嵌入 %1").arg(second))});
        frame->setSynchedText(list);
        tag->addFrame(frame);
    });
    start({path});
    ASSERT_TRUE(showing(QStringLiteral("嵌入")));
    EXPECT_FALSE(QFileInfo::exists(music.file(QStringLiteral("song.lrc"))));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(LyricSourcesEndToEnd, ATrackChangeCancelsTheSearchInFlight) {
    searchOnline();
    FakeLrclibServer::Answer silence;
    silence.never = true;
    server.answer("/api/get", silence);
    start({track("one.wav", "One"), track("two.wav", "Two")});
    ASSERT_TRUE(waitUntil([&] { return server.requests().size() == 1; }, WaitMs));
    QTcpSocket* held = server.findChild<QTcpSocket*>();
    ASSERT_NE(held, nullptr);
    server.answer("/api/get", FakeLrclibServer::json(FakeLrclibServer::record(
                                  3, "Two", TrackSeconds, linesOf("two").join(u'\n'))));

    QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("Image13")), Qt::LeftButton);
    EXPECT_TRUE(
        waitUntil([&] { return held->state() == QAbstractSocket::UnconnectedState; }, WaitMs));
    ASSERT_TRUE(showing(QStringLiteral("two")));
    EXPECT_TRUE(fileBecomes(QStringLiteral("two.lrc"), OwnHeader + fileOf(linesOf("two"))));
    EXPECT_FALSE(QFileInfo::exists(music.file(QStringLiteral("one.lrc"))));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].query().queryItemValue("track_name"), "Two");
    EXPECT_EQ(openings->size(), 2);
}

} // namespace
