#include "player/program_files.h"

QString programFilePath(const QString& programFolder, const QString& relativePath) {
    if (programFolder.endsWith(u'/') || programFolder.endsWith(u'\\'))
        return programFolder + relativePath;
    return programFolder + u'/' + relativePath;
}
