#include "desktop_integration/desktop_identity.h"

QStringList DesktopIdentity::audioMimeTypes() {
    return {
        QStringLiteral("audio/mpeg"),       QStringLiteral("audio/flac"),
        QStringLiteral("audio/ogg"),        QStringLiteral("audio/x-vorbis+ogg"),
        QStringLiteral("audio/x-opus+ogg"), QStringLiteral("audio/x-wav"),
        QStringLiteral("audio/mp4"),        QStringLiteral("audio/aac"),
        QStringLiteral("audio/x-ms-wma"),   QStringLiteral("audio/x-ape"),
        QStringLiteral("audio/x-wavpack"),  QStringLiteral("audio/x-aiff"),
        QStringLiteral("audio/webm"),       QStringLiteral("audio/x-matroska"),
        QStringLiteral("audio/x-musepack"), QStringLiteral("audio/x-tta"),
        QStringLiteral("audio/AMR"),
    };
}
