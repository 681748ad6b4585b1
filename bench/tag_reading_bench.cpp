// The tags of 2,000 tagged MP3s (a title, an artist, an album, a cover and a short lyric), read
// as the player reads them, through its media reader process, and as TagLib reads them in one
// process. Target: the reader at most 1.2 times the reads in one process.
#include "platform/media_reader/taglib_media_tags.h"
#include "platform/process/media_reader_process.h"
#include "support/generated_media.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/unsynchronizedlyricsframe.h>

namespace {

constexpr int Files = 2000;

// Made once for both benchmarks.
const QStringList& taggedFiles() {
    static QTemporaryDir folder;
    static QStringList paths;
    if (!paths.isEmpty())
        return paths;
    // A cover as music shops sell them: 500 pixels square, about 60 KB of JPEG.
    QImage picture(500, 500, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb((x * 7 + y * 3) % 256, (x * y) % 256, (x ^ y) % 256));
    QByteArray cover;
    QBuffer buffer(&cover);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 90);
    for (int i = 0; i < Files; ++i) {
        const QString path = folder.filePath(QStringLiteral("track %1.mp3").arg(i));
        testsupport::writeBareMedia(path, testsupport::MediaContainer::Mp3, 200);
        TagLib::MPEG::File file(QFile::encodeName(path).constData());
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        tag->setTitle(
            TagLib::String(QStringLiteral("标题 %1").arg(i).toStdString(), TagLib::String::UTF8));
        tag->setArtist("Artist");
        tag->setAlbum("Album");
        auto* art = new TagLib::ID3v2::AttachedPictureFrame;
        art->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        art->setPicture(TagLib::ByteVector(cover.constData(), unsigned(cover.size())));
        tag->addFrame(art);
        auto* lyrics = new TagLib::ID3v2::UnsynchronizedLyricsFrame(TagLib::String::UTF8);
        lyrics->setText("[00:01.00]one\n[00:02.00]two\n[00:03.00]three");
        tag->addFrame(lyrics);
        file.save();
        paths << path;
    }
    return paths;
}

void readAll(benchmark::State& state, const MediaTagReader& reader) {
    const QStringList& paths = taggedFiles();
    for (auto _ : state)
        for (const QString& path : paths)
            benchmark::DoNotOptimize(reader.read(path));
    state.counters["per file (us)"] = benchmark::Counter(
        double(Files), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void TagsOf2000Mp3s_InOneProcess(benchmark::State& state) {
    readAll(state, TagLibMediaTagReader());
}
BENCHMARK(TagsOf2000Mp3s_InOneProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void TagsOf2000Mp3s_ThroughTheMediaReader(benchmark::State& state) {
    MediaReaderProcess::Options options;
    options.program = QStringLiteral(VELLORA_MEDIA_READER_PROGRAM);
    const MediaReaderProcess reader(options);
    readAll(state, reader);
}
BENCHMARK(TagsOf2000Mp3s_ThroughTheMediaReader)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
