#pragma once

#include <QString>

// Path of a file in the program's folder. A folder that already ends in a separator
// (a root such as "/" or "C:\") gets none added, so the separator is never doubled.
QString programFilePath(const QString& programFolder, const QString& relativePath);
