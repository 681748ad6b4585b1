#include "lyric_sources/cover_art_cache.h"
#include "lyric_sources/media_tag_loader.h"
#include "platform/media_reader/confinement.h"
#include "platform/media_reader/taglib_media_tags.h"
#include "platform/process/media_reader_process.h"
#include "platform/process/media_sources_module.h"
#include "platform/process/program_files.h"
#include "support/crafted_tags.h"
#include "support/event_wait.h"
#include "support/generated_media.h"
#include "support/temp_folder.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/privateframe.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>
#include <thread>
#include <unistd.h>

namespace {

using testsupport::MediaContainer;

TagLib::String tl(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

TagLib::ByteVector tl(const QByteArray& bytes) {
    return TagLib::ByteVector(bytes.constData(), unsigned(bytes.size()));
}

QByteArray image(const char* format, QColor colour = Qt::red) {
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

void setCommon(TagLib::Tag* tag) {
    tag->setTitle(tl(QStringLiteral("玫瑰花的葬礼")));
    tag->setArtist("Artist");
    tag->setAlbum("Album");
}

TagLib::ID3v2::AttachedPictureFrame* picture(const QByteArray& bytes,
                                             TagLib::ID3v2::AttachedPictureFrame::Type type) {
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setMimeType("image/jpeg"); // whatever the tag says, the bytes decide
    frame->setType(type);
    frame->setPicture(tl(bytes));
    return frame;
}

TagLib::ID3v2::UnsynchronizedLyricsFrame* uslt(const QString& text) {
    auto* frame = new TagLib::ID3v2::UnsynchronizedLyricsFrame(TagLib::String::UTF8);
    frame->setText(tl(text));
    return frame;
}

TagLib::ID3v2::SynchronizedLyricsFrame*
sylt(std::initializer_list<std::pair<unsigned, const char*>> entries,
     TagLib::ID3v2::SynchronizedLyricsFrame::TimestampFormat format =
         TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMilliseconds) {
    auto* frame = new TagLib::ID3v2::SynchronizedLyricsFrame(TagLib::String::UTF8);
    frame->setTimestampFormat(format);
    frame->setType(TagLib::ID3v2::SynchronizedLyricsFrame::Lyrics);
    TagLib::ID3v2::SynchronizedLyricsFrame::SynchedTextList list;
    for (const auto& [ms, text] : entries)
        list.append({ms, tl(QString::fromUtf8(text))});
    frame->setSynchedText(list);
    return frame;
}

TagLib::FLAC::Picture* flacPicture(const QByteArray& bytes) {
    auto* p = new TagLib::FLAC::Picture;
    p->setType(TagLib::FLAC::Picture::FrontCover);
    p->setMimeType("image/png");
    p->setData(tl(bytes));
    return p;
}

class MediaTags_ : public ::testing::Test {
protected:
    QString bare(const char* name, MediaContainer container) const {
        const QString path = folder.file(QString::fromUtf8(name));
        EXPECT_TRUE(testsupport::writeBareMedia(path, container));
        return path;
    }
    static QByteArray path8(const QString& path) { return QFile::encodeName(path); }
    MediaTags read(const QString& path) const { return reader.read(path); }

    TempFolder folder;
    TagLibMediaTagReader reader;
    const QByteArray png = image("PNG");
    const QByteArray jpeg = image("JPEG", Qt::blue);
};

struct ContainerCase {
    const char* name;
    MediaContainer container;
    void (*tag)(const QString& path, const QByteArray& cover);
    qint64 durationMs;
};

class EveryContainer : public MediaTags_, public ::testing::WithParamInterface<ContainerCase> {};

const ContainerCase containerCases[] = {
    {"song.mp3", MediaContainer::Mp3,
     [](const QString& path, const QByteArray& cover) {
         TagLib::MPEG::File file(QFile::encodeName(path).constData());
         TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
         setCommon(tag);
         tag->addFrame(picture(cover, TagLib::ID3v2::AttachedPictureFrame::FrontCover));
         tag->addFrame(uslt(QStringLiteral("[00:01.00]line one\r\n[00:02.50]line two")));
         file.save();
     },
     2988},
    {"song.flac", MediaContainer::Flac,
     [](const QString& path, const QByteArray& cover) {
         TagLib::FLAC::File file(QFile::encodeName(path).constData());
         setCommon(file.xiphComment(true));
         file.xiphComment()->addField("LYRICS", "[00:01.00]line one\n[00:02.50]line two");
         file.addPicture(flacPicture(cover));
         file.save();
     },
     3000},
    {"song.ogg", MediaContainer::OggVorbis,
     [](const QString& path, const QByteArray& cover) {
         TagLib::Ogg::Vorbis::File file(QFile::encodeName(path).constData());
         setCommon(file.tag());
         file.tag()->addField("LYRICS", "[00:01.00]line one\r[00:02.50]line two");
         file.tag()->addPicture(flacPicture(cover));
         file.save();
     },
     3000},
    {"song.opus", MediaContainer::Opus,
     [](const QString& path, const QByteArray& cover) {
         TagLib::Ogg::Opus::File file(QFile::encodeName(path).constData());
         setCommon(file.tag());
         file.tag()->addField("UNSYNCEDLYRICS", "[00:01.00]line one\n[00:02.50]line two");
         file.tag()->addPicture(flacPicture(cover));
         file.save();
     },
     3000},
    {"song.m4a", MediaContainer::M4a,
     [](const QString& path, const QByteArray& cover) {
         TagLib::MP4::File file(QFile::encodeName(path).constData());
         setCommon(file.tag());
         file.tag()->setItem("\251lyr", TagLib::StringList("[00:01.00]line one\n"
                                                           "[00:02.50]line two"));
         TagLib::MP4::CoverArtList art;
         art.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::PNG, tl(cover)));
         file.tag()->setItem("covr", art);
         file.save();
     },
     3000},
    {"song.wav", MediaContainer::Wav,
     [](const QString& path, const QByteArray& cover) {
         TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
         TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
         setCommon(tag);
         tag->addFrame(picture(cover, TagLib::ID3v2::AttachedPictureFrame::FrontCover));
         tag->addFrame(sylt({{2'500, "line two"}, {1'000, "line one"}}));
         file.save();
     },
     3000},
};

TEST_P(EveryContainer, TitleArtistAlbumDurationCoverAndLyrics) {
    const QString path = bare(GetParam().name, GetParam().container);
    GetParam().tag(path, png);
    const MediaTags tags = read(path);
    EXPECT_EQ(tags.title, QStringLiteral("玫瑰花的葬礼"));
    EXPECT_EQ(tags.artist, "Artist");
    EXPECT_EQ(tags.album, "Album");
    EXPECT_EQ(tags.durationMs, GetParam().durationMs);
    EXPECT_EQ(tags.cover, (CoverImage{png, "image/png"}));
    EXPECT_EQ(tags.lyricLines, (QStringList{"[00:01.00]line one", "[00:02.50]line two"}));
}

INSTANTIATE_TEST_SUITE_P(
    MediaTags, EveryContainer, ::testing::ValuesIn(containerCases), [](const auto& caseInfo) {
        return QFileInfo(QString::fromUtf8(caseInfo.param.name)).suffix().toStdString();
    });

TEST_F(MediaTags_, Id3SynchronizedLyricsFirstThenTimedTextNeverPlainText) {
    const QString path = bare("song.mp3", MediaContainer::Mp3);
    {
        TagLib::MPEG::File file(path8(path).constData());
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        tag->addFrame(uslt(QStringLiteral("[00:05.00]unsynchronised")));
        tag->addFrame(sylt({{61'230, "synchronised"}}));
        file.save();
    }
    EXPECT_EQ(read(path).lyricLines, QStringList{"[01:01.23]synchronised"});

    {
        // Stamps in MPEG frames cannot be turned into times; a plain text is no lyric file.
        TagLib::MPEG::File file(path8(path).constData());
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        tag->removeFrames("SYLT");
        tag->removeFrames("USLT");
        tag->addFrame(
            sylt({{100, "frames"}}, TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMpegFrames));
        tag->addFrame(uslt(QStringLiteral("just words\nno times")));
        file.save();
    }
    EXPECT_TRUE(read(path).lyricLines.isEmpty());
}

// A hostile tag costs no more than the frames the player can use: frames over their
// limits are left unread, and the rest of the tag is read as ever.
TEST_F(MediaTags_, FramesOverTheirLimitsAreLeftOut) {
    const auto manyEntries = [] {
        auto* frame = sylt({});
        TagLib::ID3v2::SynchronizedLyricsFrame::SynchedTextList list;
        for (unsigned i = 0; i < 300'000; ++i)
            list.append({i, "x"});
        frame->setSynchedText(list);
        return frame;
    };
    const auto hugePrivate = [] {
        auto* frame = new TagLib::ID3v2::PrivateFrame;
        frame->setOwner("example.org");
        frame->setData(TagLib::ByteVector(25 * 1024 * 1024, 'p'));
        return frame;
    };
    const struct {
        const char* name;
        std::function<TagLib::ID3v2::Frame*()> big;
    } rows[] = {
        {"synchronised lyrics of 1.5 MB", manyEntries},
        {"unsynchronised lyrics of 2 MB",
         [] { return uslt("[00:03.00]" + QString(2 * 1024 * 1024, u'x')); }},
        {"a private frame that makes the tag 25 MB", hugePrivate},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = bare("song.mp3", MediaContainer::Mp3);
        {
            TagLib::MPEG::File file(path8(path).constData());
            TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
            tag->addFrame(row.big());
            setCommon(tag);
            tag->addFrame(uslt(QStringLiteral("[00:01.00]kept")));
            ASSERT_TRUE(file.save());
        }
        const MediaTags tags = read(path);
        EXPECT_EQ(tags.lyricLines, QStringList{"[00:01.00]kept"});
        EXPECT_EQ(tags.title, QStringLiteral("玫瑰花的葬礼"));
        EXPECT_EQ(tags.durationMs, 2988);
    }
}

TEST_F(MediaTags_, FrontCoverChosenOverOtherPicturesAndNonImagesLeftOut) {
    const QString path = bare("song.mp3", MediaContainer::Mp3);
    {
        TagLib::MPEG::File file(path8(path).constData());
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        tag->addFrame(picture(png, TagLib::ID3v2::AttachedPictureFrame::Artist));
        tag->addFrame(picture("not an image", TagLib::ID3v2::AttachedPictureFrame::FrontCover));
        tag->addFrame(picture(jpeg, TagLib::ID3v2::AttachedPictureFrame::FrontCover));
        file.save();
    }
    EXPECT_EQ(read(path).cover, (CoverImage{jpeg, "image/jpeg"}));
    {
        TagLib::MPEG::File file(path8(path).constData());
        file.ID3v2Tag()->removeFrames("APIC");
        file.ID3v2Tag()->addFrame(picture(png, TagLib::ID3v2::AttachedPictureFrame::BackCover));
        file.save();
    }
    EXPECT_EQ(read(path).cover, (CoverImage{png, "image/png"}));
}

TEST_F(MediaTags_, Id3v1AloneAndFilesNamedForAnotherKind) {
    const QString mp3 = bare("old.mp3", MediaContainer::Mp3);
    {
        TagLib::MPEG::File file(path8(mp3).constData());
        file.ID3v1Tag(true)->setTitle("Old Title");
        file.save(TagLib::MPEG::File::ID3v1);
    }
    EXPECT_EQ(read(mp3).title, "Old Title");

    // A FLAC file named .mp3 (and the other way round) is read for what it is.
    const QString flac = bare("really_flac.mp3", MediaContainer::Flac);
    {
        TagLib::FLAC::File file(path8(flac).constData());
        file.xiphComment(true)->setTitle("FLAC inside");
        file.save();
    }
    EXPECT_EQ(read(flac).title, "FLAC inside");
    EXPECT_EQ(read(flac).durationMs, 3000);
}

TEST_F(MediaTags_, FilesThatAreNoMediaGiveEmptyTagsAtOnce) {
    QFile::copy(bare("whole.flac", MediaContainer::Flac), folder.file("cut.flac"));
    QFile cut(folder.file("cut.flac"));
    cut.resize(20);
    const QString m4a = bare("whole.m4a", MediaContainer::M4a);
    QByteArray broken = folder.read("whole.m4a");
    broken.replace("moov", "free");
    folder.write("no_moov.m4a", broken);
    QDir(folder.path()).mkdir("folder.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("pipe.mp3")).constData(), 0600), 0);

    for (const char* name : {"missing.mp3", "folder.mp3", "pipe.mp3", "empty.mp3", "text.mp3",
                             "noise.ogg", "cut.flac", "no_moov.m4a", "unknown.xyz"}) {
        if (QByteArray(name) == "empty.mp3")
            folder.write(name, {});
        if (QByteArray(name) == "text.mp3")
            folder.write(name, "[00:01.00]this is a lyric file\r\n");
        if (QByteArray(name) == "noise.ogg")
            folder.write(name, "OggS" + QByteArray(5000, '\x7f'));
        if (QByteArray(name) == "unknown.xyz")
            folder.write(name, QByteArray(5000, '\xFF'));
        const MediaTags tags = read(folder.file(name));
        EXPECT_TRUE(tags.title.isEmpty() && !tags.durationMs && tags.cover.isNull() &&
                    tags.lyricLines.isEmpty())
            << name;
    }
}

// Once the program file is replaced its folder reads as empty; the working directory is
// then no place to load code from. A module of another build is turned away.
TEST(MediaSourcesModule, OnlyFromTheProgramsAbsoluteFolderAndItsOwnBuild) {
    for (const char* folder : {"", ".", "bin", "./bin", "../lib"})
        EXPECT_TRUE(ProgramFiles::candidatePaths(folder, "module.so").isEmpty()) << folder;
    for (const QString& path : ProgramFiles::candidatePaths("/opt/vellora/bin", "module.so"))
        EXPECT_TRUE(path.startsWith("/opt/vellora/")) << path.toStdString();

    using Entry = MediaSourcesModule::Entry;
    EXPECT_TRUE(
        MediaSourcesModule::isOwnBuild(Entry{.build = MediaSourcesModule::buildIdentity()}));
    EXPECT_FALSE(MediaSourcesModule::isOwnBuild(Entry{.build = "1.0-GNU-another"}));
    EXPECT_FALSE(MediaSourcesModule::isOwnBuild(Entry{}));
}

// What the program loads or runs is what it checked: a file reached without a link, in a
// folder, which like the file no one else may change; no other name is tried.
TEST(ProgramFiles, OpenedOnlyWhenNoOneElseCouldHaveChangedThem) {
    TempFolder program;
    const QString good = program.write("bin/module.so", "code");
    program.write("shared/module.so", "code");
    program.write("bin/writable.so", "code");
    ::chmod(QFile::encodeName(program.file("bin/writable.so")).constData(), 0666);
    ::chmod(QFile::encodeName(program.file("shared")).constData(), 0777);
    ::symlink(QFile::encodeName(good).constData(),
              QFile::encodeName(program.file("bin/link.so")).constData());
    program.write("bin/libgone.so", "code");
    const struct {
        const char* name;
        bool opens;
    } rows[] = {
        {"bin/module.so", true},    {"bin/link.so", false}, {"shared/module.so", false},
        {"bin/writable.so", false}, {"bin/gone.so", false}, {"bin", false},
    };
    for (const auto& row : rows) {
        const ProgramFiles::Opened opened = ProgramFiles::open(program.file(row.name));
        EXPECT_EQ(opened.fd >= 0, row.opens) << row.name << opened.refusal.toStdString();
        EXPECT_EQ(opened.refusal.isEmpty(), row.opens) << row.name;
        if (opened.fd >= 0)
            ::close(opened.fd);
    }
}

TEST(CoverArtCache, ImagesByTheirBytes) {
    EXPECT_EQ(CoverArtCache::imageMimeType(image("PNG")), "image/png");
    EXPECT_EQ(CoverArtCache::imageMimeType(image("JPEG")), "image/jpeg");
    EXPECT_EQ(CoverArtCache::imageMimeType(image("BMP")), "image/bmp");
    EXPECT_EQ(CoverArtCache::imageMimeType("GIF89a......"), "image/gif");
    EXPECT_EQ(CoverArtCache::imageMimeType(QByteArrayLiteral("RIFF\x10\0\0\0WEBPVP8 ")),
              "image/webp");
    for (const QByteArray& other :
         {QByteArray(), QByteArray("\xFF\xD8"), QByteArrayLiteral("RIFF\x10\0\0\0WAVEfmt "),
          QByteArray("<svg/>"), QByteArray("BM")})
        EXPECT_TRUE(CoverArtCache::imageMimeType(other).isEmpty()) << other.toStdString();
}

TEST(CoverArtCache, FolderFromTheEnvironment) {
    EXPECT_EQ(CoverArtCache::folder("/x/cache", "/home/u"), "/x/cache/vellora/art");
    EXPECT_EQ(CoverArtCache::folder("", "/home/u"), "/home/u/.cache/vellora/art");
    EXPECT_EQ(CoverArtCache::folder("relative", "/home/u"), "/home/u/.cache/vellora/art");
}

TEST(CoverArtCache, EachPictureWrittenOnceUnderItsHash) {
    TempFolder cache;
    const QString art = cache.file("vellora/art");
    const QByteArray png = image("PNG");
    const QString url = CoverArtCache::store(art, png);
    const QString path = QUrl(url).toLocalFile();
    EXPECT_TRUE(url.startsWith("file:///"));
    EXPECT_EQ(QFileInfo(path).dir().path(), art);
    EXPECT_TRUE(path.endsWith(".png"));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), png);
    written.close();

    // A second track with the same cover finds the file and leaves it be.
    ::chmod(QFile::encodeName(art).constData(), 0500);
    EXPECT_EQ(CoverArtCache::store(art, png), url);
    EXPECT_TRUE(CoverArtCache::store(art, image("JPEG")).isEmpty() || ::geteuid() == 0);
    ::chmod(QFile::encodeName(art).constData(), 0700);

    EXPECT_TRUE(CoverArtCache::store(art, "no image").isEmpty());
    EXPECT_EQ(QDir(art).entryList(QDir::Files).size(), ::geteuid() == 0 ? 2 : 1);
}

// A reader that stands still on one path until the test lets it go.
class GatedReader : public MediaTagReader {
public:
    MediaTags read(const QString& path) const override {
        if (path == "slow") {
            entered.release();
            gate.acquire();
        }
        MediaTags tags;
        tags.title = path;
        tags.cover = cover;
        return tags;
    }
    mutable QSemaphore entered;
    mutable QSemaphore gate;
    CoverImage cover;
};

// A picture's header may claim any size, which a desktop would unpack whole; and the
// folder keeps only the covers last used.
TEST(CoverArtCache, AbsurdSizesRefusedAndTheOldestGo) {
    TempFolder cache;
    const QString art = cache.file("art");
    const QByteArray bmp = image("BMP");
    const auto claiming = [&](qint32 width, qint32 height) {
        QByteArray header = bmp;
        std::memcpy(header.data() + 18, &width, 4); // BITMAPINFOHEADER, little-endian
        std::memcpy(header.data() + 22, &height, 4);
        return header;
    };
    const struct {
        QByteArray picture;
        bool stored;
    } rows[] = {
        {bmp, true},
        {claiming(10'000, 4'000), true},
        {claiming(100'000, 4), false},
        {claiming(4, 100'000), false},
        {claiming(8'000, 8'000), false},
        {claiming(0, 4), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(!CoverArtCache::store(art, row.picture).isEmpty(), row.stored)
            << row.picture.toHex().left(60).toStdString();

    const auto stored = [&](const QByteArray& picture) {
        return QUrl(CoverArtCache::store(art, picture)).toLocalFile();
    };
    const QString oldest = stored(bmp);
    const QString found = stored(claiming(10'000, 4'000));
    const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const QString& path : {oldest, found})
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), hourAgo, 0);
    for (int i = 2; i <= CoverArtCache::MaxFiles; ++i) {
        if (i == CoverArtCache::MaxFiles)
            stored(claiming(10'000, 4'000)); // found again before the folder is full
        ASSERT_FALSE(stored(image("PNG", QColor::fromRgb(quint32(i)))).isEmpty());
    }
    EXPECT_EQ(QDir(art).entryList(QDir::Files).size(), CoverArtCache::MaxFiles);
    EXPECT_FALSE(QFileInfo::exists(oldest));
    EXPECT_TRUE(QFileInfo::exists(found));
}

TEST(MediaTagLoader, OnlyTheLatestOpeningIsDeliveredOnTheUiThread) {
    TempFolder cache;
    GatedReader reader;
    reader.cover = {image("PNG"), "image/png"};
    MediaTagLoader loader(reader, cache.file("art"));
    QSignalSpy loaded(&loader, &MediaTagLoader::loaded);
    QList<QThread*> threads;
    QObject::connect(&loader, &MediaTagLoader::loaded,
                     [&] { threads << QThread::currentThread(); });

    const quint64 slow = loader.load("slow");
    ASSERT_TRUE(reader.entered.tryAcquire(1, 30'000));
    loader.load("queued, never read");
    const quint64 fast = loader.load("fast");
    EXPECT_EQ(loader.latestOpening(), fast);
    EXPECT_GT(fast, slow);
    reader.gate.release();

    ASSERT_TRUE(loaded.wait(30'000));
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded[0][0].value<quint64>(), fast);
    EXPECT_EQ(loaded[0][1].toString(), "fast");
    EXPECT_EQ(loaded[0][2].value<MediaTags>().title, "fast");
    EXPECT_TRUE(QFileInfo::exists(QUrl(loaded[0][3].toString()).toLocalFile()));
    EXPECT_EQ(threads, QList<QThread*>{qApp->thread()});

    // The slow opening's result, had it come, would have come before the fast one.
    QCoreApplication::processEvents();
    EXPECT_EQ(loaded.size(), 1);
}

TEST(MediaTagLoader, GoesAwayWhileAReadIsUnderWay) {
    GatedReader reader;
    QSignalSpy* spy = nullptr;
    {
        MediaTagLoader loader(reader, {});
        spy = new QSignalSpy(&loader, &MediaTagLoader::loaded);
        loader.load("slow");
        ASSERT_TRUE(reader.entered.tryAcquire(1, 30'000));
        reader.gate.release();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(spy->size(), 0);
    delete spy;
}

// The media reader process as the player runs it: the program built beside the tests, under
// its real limits.
class MediaReader : public MediaTags_ {
protected:
    static MediaReaderProcess::Options options() {
        MediaReaderProcess::Options given;
        given.program = QStringLiteral(VELLORA_MEDIA_READER_PROGRAM);
        return given;
    }
    // A tagged MP3, as a track after a hostile one would be.
    QString tagged(const char* name) {
        const QString path = bare(name, MediaContainer::Mp3);
        TagLib::MPEG::File file(path8(path).constData());
        setCommon(file.ID3v2Tag(true));
        file.ID3v2Tag()->addFrame(picture(png, TagLib::ID3v2::AttachedPictureFrame::FrontCover));
        file.ID3v2Tag()->addFrame(uslt(QStringLiteral("[00:01.00]line one")));
        file.save();
        return path;
    }
    bool readInFull(const MediaTags& tags) const {
        return tags.title == QStringLiteral("玫瑰花的葬礼") && tags.durationMs == 2988 &&
               tags.cover == CoverImage{png, "image/png"} &&
               tags.lyricLines == QStringList{"[00:01.00]line one"};
    }
    // The reader's process id: this process's one child.
    static pid_t child() {
        for (const QString& task :
             QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children("/proc/self/task/" + task + "/children");
            if (children.open(QIODevice::ReadOnly))
                if (const QByteArray listed = children.readAll().trimmed(); !listed.isEmpty())
                    return pid_t(listed.split(' ').first().toInt());
        }
        return 0;
    }
    static QByteArray status(pid_t pid, const char* field) {
        QFile file(QStringLiteral("/proc/%1/status").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(qstrlen(field)).trimmed();
        return {};
    }
};

// Everything the player shows comes back whole, and the reader is held in as it says.
TEST_F(MediaReader, ReadsThroughTheDescriptorItIsHandedInsideItsLimits) {
    MediaReaderProcess process(options());
    EXPECT_TRUE(readInFull(process.read(tagged("song.mp3"))));
    const pid_t pid = child();
    ASSERT_NE(pid, 0);
    EXPECT_EQ(status(pid, "Seccomp:"), "2");
    EXPECT_EQ(status(pid, "NoNewPrivs:"), "1");
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    ASSERT_TRUE(limits.open(QIODevice::ReadOnly));
    const QByteArray said = limits.readAll().simplified();
    for (const QByteArray& limit :
         {QByteArray("Max file size 0 0 bytes"), QByteArray("Max open files 4 4 files"),
          QByteArray("Max processes 0 0 processes"),
          "Max data size " + QByteArray::number(Confinement::DataBytes)}) {
        // A sanitized build's reader has no memory limits, and room for the sanitizer's pipe.
        if (!VELLORA_ADDRESS_SANITIZER ||
            !(limit.startsWith("Max data") || limit.startsWith("Max open"))) {
            EXPECT_TRUE(said.contains(limit)) << limit.toStdString();
        }
    }
    EXPECT_TRUE(process.read(folder.file("missing.mp3")).title.isEmpty());
}

// Each hostile file costs at most its reading: player and reader together stay under 300 MiB
// however it is shaped, and the next track's tags are read.
TEST_F(MediaReader, HostileFilesStayWithinTheBoundAndTheNextFileIsRead) {
    if (VELLORA_ADDRESS_SANITIZER)
        GTEST_SKIP() << "a sanitized reader runs without its memory limits";
    MediaReaderProcess process(options());
    const QString next = tagged("next.mp3");
    const auto peakKib = [](const QByteArray& said) {
        return said.split(' ').first().toLongLong();
    };
    for (const testsupport::CraftedFile& file : testsupport::writeCraftedFiles(folder.path())) {
        // This process's peak starts afresh; the reader's is its own, or a reaped one's.
        QFile reset("/proc/self/clear_refs");
        ASSERT_TRUE(reset.open(QIODevice::WriteOnly) && reset.write("5") == 1);
        reset.close();
        process.read(file.path);
        rusage reaped{};
        ::getrusage(RUSAGE_CHILDREN, &reaped);
        const qint64 readerPeak =
            std::max<qint64>(peakKib(status(child(), "VmHWM:")), reaped.ru_maxrss);
        EXPECT_LT(peakKib(status(::getpid(), "VmHWM:")) + readerPeak, 300 * 1024)
            << file.name.toStdString();
        EXPECT_TRUE(readInFull(process.read(next))) << file.name.toStdString();
    }
}

// A reader that never answers is ended by the watchdog, one killed in the middle of a read ends
// that read, and a file that ended a reader is not handed over again; the next file starts a
// new reader.
TEST_F(MediaReader, AReaderThatHangsOrDiesCostsOnlyItsFile) {
    MediaReaderProcess::Options given = options();
    given.answerTime = std::chrono::seconds(2);
    MediaReaderProcess process(given);
    const QString song = tagged("song.mp3");
    ASSERT_TRUE(readInFull(process.read(song)));

    ::kill(child(), SIGSTOP);
    const QString hanging = tagged("hanging.mp3");
    EXPECT_TRUE(process.read(hanging).title.isEmpty());
    EXPECT_EQ(child(), 0);
    EXPECT_TRUE(process.read(hanging).title.isEmpty());
    EXPECT_EQ(child(), 0); // not handed over again
    EXPECT_TRUE(readInFull(process.read(song)));

    // Stopped with the request waiting on its socket, then killed.
    const pid_t pid = child();
    ::kill(pid, SIGSTOP);
    MediaTags killedRead;
    const QString killed = tagged("killed.mp3");
    std::thread reading([&] { killedRead = process.read(killed); });
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
    const int socket = int(::syscall(SYS_pidfd_getfd, pidfd, STDIN_FILENO, 0));
    int waiting = 0;
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return ::ioctl(socket, FIONREAD, &waiting) == 0 && waiting > 0; }));
    ::close(socket);
    ::close(pidfd);
    ::kill(pid, SIGKILL);
    reading.join();
    EXPECT_TRUE(killedRead.title.isEmpty());
    EXPECT_TRUE(readInFull(process.read(song)));
}

} // namespace
