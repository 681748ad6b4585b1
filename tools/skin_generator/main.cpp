// Draws every picture of the player's skin and writes them, with the resource list that
// compiles them into the program, into src/forms/skin/.
//
//   skin_generator [OUTPUT_FOLDER] [--preview SHEET.png]
//   skin_generator --icons FOLDER   (only the icon, as FOLDER/<size>.png, for installing)
#include "artwork.h"
#include "colour_reduction.h"
#include "image_files.h"
#include "painting.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QTextStream>

namespace {

class SkinFolder {
public:
    explicit SkinFolder(const QString& path) : folder_(path) {}

    bool prepare() { return folder_.mkpath(QStringLiteral(".")); }

    // Records a written file and reads it back, so that anything Qt cannot read fails here
    // rather than in the running program.
    bool add(const QString& name, const QString& extension, bool written) {
        const QString file = name + QLatin1Char('.') + extension;
        if (!written) {
            report(QStringLiteral("could not write ") + file);
            return false;
        }
        const QImage stored(folder_.filePath(file));
        if (stored.isNull()) {
            report(QStringLiteral("Qt cannot read back ") + file);
            return false;
        }
        files_.append(file);
        stored_.insert(name, stored);
        return true;
    }

    QString path(const QString& name, const QString& extension) const {
        return folder_.filePath(name + QLatin1Char('.') + extension);
    }

    bool writeResourceList() const {
        QFile list(folder_.filePath(QStringLiteral("skin.qrc")));
        if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            return false;
        QTextStream out(&list);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n";
        for (const QString& file : files_)
            out << "    <file alias=\"" << file << "\">" << file << "</file>\n";
        out << "</qresource>\n</RCC>\n";
        return out.status() == QTextStream::Ok;
    }

    const QHash<QString, QImage>& stored() const { return stored_; }

    static void report(const QString& message) {
        QTextStream(stderr) << "skin_generator: " << message << '\n';
    }

private:
    QDir folder_;
    QStringList files_;
    QHash<QString, QImage> stored_;
};

bool sameKeyPixels(const QImage& drawn, const QImage& stored) {
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if ((drawn.pixel(x, y) == skin::colour::Key) !=
                (stored.pixel(x, y) == skin::colour::Key))
                return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the Vellora skin pictures."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("output"),
                                 QStringLiteral("Folder for the pictures (default: the "
                                                "source tree's src/forms/skin)."));
    const QCommandLineOption previewOption(QStringLiteral("preview"),
                                           QStringLiteral("Also write a preview sheet (PNG)."),
                                           QStringLiteral("file"));
    parser.addOption(previewOption);
    const QCommandLineOption iconsOption(
        QStringLiteral("icons"),
        QStringLiteral("Only write the program icon as PNGs for the desktop's icon theme."),
        QStringLiteral("folder"));
    parser.addOption(iconsOption);
    parser.process(app);
    if (parser.isSet(iconsOption)) {
        // The desktop's icon theme wants a large picture beside the three the program uses.
        const QDir folder(parser.value(iconsOption));
        bool written = folder.mkpath(QStringLiteral("."));
        for (const int size : {16, 32, 48, 256})
            written = written && skin::drawProgramIcon(size).save(
                                     folder.filePath(QStringLiteral("%1.png").arg(size)));
        if (!written)
            SkinFolder::report(QStringLiteral("could not write the icons"));
        return written ? 0 : 1;
    }
    const QStringList positional = parser.positionalArguments();
    SkinFolder skin(positional.isEmpty() ? QStringLiteral(SKIN_DEFAULT_OUTPUT)
                                         : positional.first());
    if (!skin.prepare()) {
        SkinFolder::report(QStringLiteral("cannot create the output folder"));
        return 1;
    }

    const QString bmp = QStringLiteral("bmp");
    bool ok = skin.add(QStringLiteral("Picture1"), bmp,
                       skin::writeBmp(skin.path(QStringLiteral("Picture1"), bmp),
                                      skin::drawTitlePicture(), 32)) &&
              skin.add(QStringLiteral("Picture2"), bmp,
                       skin::writeBmp(skin.path(QStringLiteral("Picture2"), bmp),
                                      skin::drawToolStrip(), 32)) &&
              skin.add(QStringLiteral("Picture3"), bmp,
                       skin::writeBmp(skin.path(QStringLiteral("Picture3"), bmp),
                                      skin::drawLyricStrip(), 24)) &&
              skin.add(QStringLiteral("Picture4"), bmp,
                       skin::writeBmp(skin.path(QStringLiteral("Picture4"), bmp),
                                      skin::drawTransportStrip(), 32));
    if (!ok)
        return 1;

    const QImage bar = skin::drawToolbarBar();
    const QImage indexedBar = skin::toIndexed(bar, 256);
    const QImage storedBar = indexedBar.convertToFormat(QImage::Format_RGB32);
    if (!sameKeyPixels(bar, storedBar)) {
        SkinFolder::report(QStringLiteral("colour reduction moved the toolbar's see-through key"));
        return 1;
    }
    ok = skin.add(QStringLiteral("Pic"), bmp,
                  skin::writeBmp(skin.path(QStringLiteral("Pic"), bmp), indexedBar, 8)) &&
         skin.add(QStringLiteral("Image1"), QStringLiteral("gif"),
                  skin::writeGif(skin.path(QStringLiteral("Image1"), QStringLiteral("gif")),
                                 skin::toIndexed(skin::drawToolbarLogo(storedBar), 256)));
    for (const auto& button : skin::drawToolbarButtons(storedBar))
        ok = ok && skin.add(button.name, bmp,
                            skin::writeBmp(skin.path(button.name, bmp), button.image, 24));
    if (!ok)
        return 1;

    QList<skin::IconEntry> icon;
    for (const int size : {48, 32, 16})
        for (const int bits : {4, 8, 32})
            icon.append({skin::drawProgramIcon(size), bits});
    const QString ico = QStringLiteral("ico");
    if (!skin.add(QStringLiteral("icon"), ico,
                  skin::writeIco(skin.path(QStringLiteral("icon"), ico), icon)))
        return 1;
    if (!skin.writeResourceList()) {
        SkinFolder::report(QStringLiteral("could not write skin.qrc"));
        return 1;
    }

    if (parser.isSet(previewOption)) {
        QImageReader reader(skin.path(QStringLiteral("icon"), ico), "ico");
        QList<QImage> iconImages;
        for (int index = 0; index < reader.imageCount() && reader.jumpToImage(index); ++index)
            iconImages.append(reader.read());
        const QImage sheet = skin::composePreview(skin.stored(), iconImages);
        if (!sheet.save(parser.value(previewOption))) {
            SkinFolder::report(QStringLiteral("could not write the preview"));
            return 1;
        }
    }
    return 0;
}
