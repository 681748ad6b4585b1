#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

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

// A folder opened once, in which names are looked at and replaced without ever following a
// symbolic link. Writes beside files of other people's (a shared music folder) go through
// here: whatever is put in a name's place between the look and the write, a link cannot
// send the write anywhere else, and a link found at the name is never replaced.
class OpenedFolder {
public:
    // Refused (isOpen() false) when the path's last part is a link or no folder.
    explicit OpenedFolder(const QString& path);
    ~OpenedFolder();
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    enum class Entry { Nothing, RegularFile, Other }; // Other: a link, a folder, a device...
    Entry entryAt(const QString& name) const;
    // Up to maxBytes from the start of the regular file at the name, read through a
    // descriptor of that very file; nothing when no regular file is there.
    std::optional<QByteArray> start(const QString& name, qsizetype maxBytes) const;
    // As replaceFileContents, for the name in this folder; the new file is renamed over the
    // name itself, whatever it is by then.
    bool replace(const QString& name, QByteArrayView contents) const;

private:
    int fd_;
};
