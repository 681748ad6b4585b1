#include "artwork.h"
#include "painting.h"

namespace skin {
namespace {

constexpr QColor Desktop(0x5b, 0x66, 0x78);

void drawMainWindow(QPainter& painter, QPoint origin, const QHash<QString, QImage>& pictures) {
    constexpr int Width = StripWidth;
    constexpr int Height = 307;
    painter.save();
    painter.translate(origin);
    painter.fillRect(QRect(-1, -19, Width + 2, Height + 20), QColor(0x30, 0x34, 0x3c));
    painter.setPen(QColor(0xe0, 0xe4, 0xea));
    painter.setFont(pixelFont(QStringLiteral("DejaVu Sans"), 11));
    painter.drawText(QRect(6, -18, Width, 18), Qt::AlignVCenter, QStringLiteral("Vellora V1.0"));
    painter.setClipRect(QRect(0, 0, Width, Height));
    painter.fillRect(QRect(0, 0, Width, Height), Qt::black);
    painter.drawImage(QPoint(0, 0), pictures.value(QStringLiteral("Picture1")),
                      QRect(0, 0, Width, 96));
    painter.drawImage(QPoint(0, 96), pictures.value(QStringLiteral("Picture4")),
                      QRect(0, 0, Width, StripShownRows));
    painter.drawImage(QPoint(0, 128), pictures.value(QStringLiteral("Picture2")),
                      QRect(0, 0, Width, StripShownRows));
    // The playlist's own colours: green entries on black.
    painter.setFont(pixelFont(cjkFamily(), 12));
    const QStringList entries{QStringLiteral("E:\\Music\\top\\晨雾.mp3"),
                              QStringLiteral("E:\\Music\\top\\Harbour Lights.flac"),
                              QStringLiteral("E:\\Music\\top\\玫瑰花的葬礼.mp3")};
    for (qsizetype row = 0; row < entries.size(); ++row) {
        const QRect line(0, 150 + static_cast<int>(row) * 16, Width, 16);
        if (row == 1)
            painter.fillRect(line, QColor(0x00, 0x78, 0xd7));
        painter.setPen(row == 1 ? QColor(Qt::white) : QColor(0, 255, 0));
        painter.drawText(line.adjusted(3, 0, 0, 0), Qt::AlignVCenter, entries[row]);
    }
    painter.drawImage(QPoint(0, 260), pictures.value(QStringLiteral("Picture3")));
    QFont lyric(QStringLiteral("serif"));
    lyric.setPointSize(12);
    painter.setFont(lyric);
    painter.setPen(Qt::black);
    painter.drawText(QRect(16, 268, 297, 32), Qt::AlignCenter,
                     QStringLiteral("湖面的月光 轻轻摇晃"));
    painter.restore();
}

QImage seeThrough(const QImage& bar) {
    QImage shown = bar.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) == colour::Key)
                shown.setPixel(x, y, 0);
    return shown;
}

// The toolbar with every button in one state ("Nor", "Poi" or "Down").
void drawToolbar(QPainter& painter, QPoint origin, const QHash<QString, QImage>& pictures,
                 const QString& state) {
    painter.drawImage(origin, seeThrough(pictures.value(QStringLiteral("Pic"))));
    for (const auto& placement : ToolbarLayout) {
        QString name = QString::fromLatin1(placement.picture);
        if (name.endsWith(QStringLiteral("Nor")))
            name = name.chopped(3) + state;
        painter.drawImage(origin + placement.at, pictures.value(name));
    }
}

} // namespace

QImage composePreview(const QHash<QString, QImage>& pictures, const QList<QImage>& iconImages) {
    QImage sheet(760, 380, QImage::Format_RGB32);
    sheet.fill(Desktop);
    QPainter painter(&sheet);
    smooth(painter);
    drawMainWindow(painter, QPoint(16, 36), pictures);

    const QPoint toolbar(356, 36);
    const QStringList states{QStringLiteral("Nor"), QStringLiteral("Poi"), QStringLiteral("Down")};
    for (qsizetype row = 0; row < states.size(); ++row)
        drawToolbar(painter, toolbar + QPoint(0, static_cast<int>(row) * 44), pictures,
                    states[row]);

    // The hidden buttons, each state side by side on the bar colour.
    QPoint at = toolbar + QPoint(0, 140);
    const QImage bar = pictures.value(QStringLiteral("Pic"));
    painter.drawImage(at, seeThrough(bar));
    int x = 8;
    for (const QString& state : states) {
        for (const QString& base : {QStringLiteral("Lock"), QStringLiteral("Sel")}) {
            const QImage picture = pictures.value(base + state);
            painter.drawImage(at + QPoint(x, (30 - picture.height()) / 2), picture);
            x += picture.width() + 6;
        }
    }

    // The icon's images: rows by size, columns by colour depth (4, 8, 32 bits).
    at = toolbar + QPoint(0, 190);
    for (qsizetype index = 0; index < iconImages.size(); ++index) {
        const QImage& image = iconImages[index];
        const int column = static_cast<int>(index % 3);
        const int row = static_cast<int>(index / 3);
        painter.drawImage(at + QPoint(column * 60, row * 56), image);
    }
    return sheet;
}

} // namespace skin
