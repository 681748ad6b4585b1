// The desktop lyric settings file as the writer makes it from any settings: a font name of
// any UTF-16 (line breaks, NULs, lone surrogates), any float size (NaN, infinities, huge,
// negative, denormal), any scheme number. Whatever they hold, the file keeps its shape.
#include "settings/lyric_look_file.h"

#include <QList>
#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void fail(const char* what, const QByteArray& file) {
    std::fprintf(stderr, "%s in: %s\n", what, file.toPercentEncoding(" ").constData());
    std::abort();
}

// A space or a minus sign (a minus exactly when the number is below zero), the number to 7
// significant digits, a space.
void checkNumber(const QByteArray& line, double value, const QByteArray& file) {
    static const QRegularExpression number(
        QStringLiteral("^[ -](\\d+(\\.\\d+)?(e[+-]\\d+)?|nan|inf) $"));
    if (!number.match(QString::fromLatin1(line)).hasMatch())
        fail("number line out of format", file);
    if ((line.front() == '-') != (value < 0))
        fail("sign does not match the number", file);
    const double written = line.trimmed().toDouble();
    if (std::isfinite(value) && std::abs(written - value) > 1e-6 * std::abs(value))
        fail("number not kept to 7 significant digits", file);
}

} // namespace

// Four bytes of float, two of scheme number, then the font name's UTF-16 code units.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    float fontSize = 0;
    qint16 scheme = 0;
    if (size < sizeof fontSize + sizeof scheme)
        return 0;
    std::memcpy(&fontSize, data, sizeof fontSize);
    std::memcpy(&scheme, data + sizeof fontSize, sizeof scheme);
    const size_t nameStart = sizeof fontSize + sizeof scheme;
    QString name((size - nameStart) / 2, Qt::Uninitialized);
    std::memcpy(name.data(), data + nameStart, size_t(name.size()) * 2);

    const QByteArray file = LyricLookFile::content(name, fontSize, scheme);

    // Exactly three lines, each ended by CR LF, and no CR or LF anywhere else.
    if (file.count('\r') != 3 || file.count('\n') != 3 || !file.endsWith("\r\n"))
        fail("not three lines", file);
    const QList<QByteArray> lines = file.split('\n');
    for (qsizetype i = 0; i < 3; ++i)
        if (!lines[i].endsWith('\r'))
            fail("CR away from a line end", file);
    checkNumber(lines[1].chopped(1), double(fontSize), file);
    checkNumber(lines[2].chopped(1), double(scheme), file);
    return 0;
}
