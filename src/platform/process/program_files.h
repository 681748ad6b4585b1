#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files the program loads or runs beside itself (its media sources module, its media
// reader). They are looked for only in the program's own folder, taken once at start, and in
// the library folder of its installation, and used only through the descriptor that was
// checked, so what is loaded or run is what was checked: no link is followed, no other name
// is tried.
namespace ProgramFiles {

// The program's folder, taken once at start while the program file is surely there. Once the
// program file has been replaced (a package upgrade while it runs) its folder reads as empty,
// and the working directory, which anyone may have chosen, is no place to load code from.
void lookIn(const QString& programFolder);

// Where a file of the program's is looked for, in order: beside the program (as in the build
// tree), then in the installation's library folder. Nothing for a folder that is not absolute.
QStringList candidatePaths(const QString& programFolder, const QString& fileName);

// A file of the program's, opened for reading: a regular file reached without a link at its
// name, in a folder, which like the file itself belongs to the superuser or to the user
// running the program and which no one else may change. The descriptor is the caller's.
struct Opened {
    int fd = -1;
    QString refusal; // why not, when fd < 0
};
Opened open(const QString& path);

// The first of the candidate paths of fileName, in the folder given to lookIn, that opens; the
// refusals of them all otherwise.
Opened find(const QString& fileName);

// A name of what a descriptor holds, for loading or running it.
QByteArray descriptorPath(int fd);

} // namespace ProgramFiles
