#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

namespace skin {

// Where the main window's invisible click areas lie inside a button strip: the faces are
// drawn inside these column ranges (left inclusive, right exclusive) and nowhere else.
struct ColumnRange {
    int left;
    int right;
};
inline constexpr int StripWidth = 328;
inline constexpr int StripShownRows = 22;
inline constexpr ColumnRange TransportAreas[] = {{8, 41},    {40, 73},   {80, 105}, {112, 153},
                                                 {160, 201}, {208, 257}, {264, 321}};
inline constexpr ColumnRange ToolAreas[] = {{8, 33},    {56, 81},   {104, 129}, {152, 177},
                                            {200, 225}, {248, 273}, {296, 321}};

QImage drawTitlePicture();   // Picture1
QImage drawTransportStrip(); // Picture4
QImage drawToolStrip();      // Picture2
QImage drawLyricStrip();     // Picture3

struct NamedPicture {
    QString name;
    QImage image;
};

// The desktop lyric toolbar's bar, opaque, with every see-through pixel exactly
// colour::Key. Its buttons are cut from the bar as it will finally be stored (after colour
// reduction), so they blend with it pixel for pixel.
QImage drawToolbarBar();
QImage drawToolbarLogo(const QImage& storedBar); // Image1
QList<NamedPicture> drawToolbarButtons(const QImage& storedBar);

// Where the toolbar's pictures sit on the bar when nothing is pointed at.
struct Placement {
    const char* picture;
    QPoint at;
};
inline constexpr Placement ToolbarLayout[] = {
    {"Image1", {2, 2}},      {"Separator", {78, 2}},  {"Separator", {272, 2}},
    {"Separator", {334, 2}}, {"Delay2Nor", {30, 10}}, {"Delay1Nor", {54, 10}},
    {"BlueNor", {94, 8}},    {"GreenNor", {128, 8}},  {"RedNor", {168, 8}},
    {"WhiteNor", {208, 8}},  {"YellowNor", {240, 8}}, {"SetNor", {280, 4}},
    {"EndNor", {366, 10}}};

// The program icon drawn at one edge length, with soft edges (alpha).
QImage drawProgramIcon(int size);

// A sheet for judging the pictures together: the main window as it lays them out, the
// toolbar in each of its button states, and the icon's images. pictures maps a picture's
// name (without extension) to the image as read back from its stored file.
QImage composePreview(const QHash<QString, QImage>& pictures, const QList<QImage>& iconImages);

} // namespace skin
