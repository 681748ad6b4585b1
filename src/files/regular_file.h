#pragma once

#include <QString>

class QFile;

// Opens a file for reading only when it is a regular file (symbolic links followed). A
// named pipe would block the opener until some writer came, and a device may never end or
// act on being opened, so neither is opened at all; one swapped in between the look and the
// open is caught without blocking. False when the file cannot be opened as such.
bool openRegularFile(QFile& file, const QString& path);

// Whether path names a regular file now, without opening it.
bool isRegularFile(const QString& path);
