#include "player/leading_number.h"

#include <QString>

double leadingNumber(QStringView text) {
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    qsizetype end = start;
    if (end < text.size() && (text[end] == u'+' || text[end] == u'-'))
        ++end;
    bool seenDigit = false;
    bool seenPoint = false;
    for (; end < text.size(); ++end) {
        const char16_t c = text[end].unicode();
        if (c >= u'0' && c <= u'9') {
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    return seenDigit ? text.mid(start, end - start).toString().toDouble() : 0.0;
}
