#pragma once

#include <QByteArrayView>
#include <QString>

// Every file the program writes goes through here. The new content is written to a new file
// beside the old one, each write checked, flushed to the disk, and only then renamed over the
// old file, whose folder is flushed after it. Whatever stops the write half-way (a full disk,
// a quota or a file-size limit, a crash, a kill, a power cut), the file afterwards is the
// complete old one or the complete new one, and nothing of the attempt is left behind.
//
// A symbolic link is written through, to the file it names, and stays a link. A directory,
// pipe or device in the file's place is left alone and the write fails. False when the
// content could not be put in place; the old file is then untouched.
bool replaceFileContents(const QString& path, QByteArrayView contents);
