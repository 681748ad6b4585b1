#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace testsupport {

// Media files shaped to make a tag reader take far more memory than their size, each a few
// lines of bytes as a hostile writer would put them together:
//  - an ID3v2.3 tag with a zlib-packed synchronised lyrics frame (the packing flag in the
//    frame's second flags byte) that unpacks to 16 million entries, in 100 KB;
//  - the same in ID3v2.4 with a data length indicator, behind 16 junk bytes;
//  - an ID3v2.4 tag whose first frame's size has a byte with its high bit set, which readers
//    take as plain or as synch-safe, ahead of an 18 MB lyrics frame;
//  - twenty lyrics frames each under the per-frame limit, 3 million entries in all;
//  - a WAV file whose id3 chunk holds an 18 MB lyrics frame;
//  - an MP3 whose tag says 250 MiB of padding (written sparse, so it costs no disk).
struct CraftedFile {
    QString name;
    QString path;
};
QList<CraftedFile> writeCraftedFiles(const QString& folder);

} // namespace testsupport
