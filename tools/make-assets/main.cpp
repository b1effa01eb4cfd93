// kivaro-make-assets: draws the program's default pictures into a folder (normally assets/), with
// the resource list kivaro.qrc, and the bundled skins under skins/; with --preview FILE it also
// writes a picture of the assembled window.

#include "assetcatalogue.h"
#include "windowpreview.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

namespace {

constexpr int PreviewScale = 2;

bool writeResourceList(const QDir &folder, const QByteArray &text)
{
    QSaveFile file(folder.filePath(QStringLiteral("kivaro.qrc")));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs no screen; the generator runs the same on a build machine without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivaro-make-assets"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws Kivaro's default pictures into FOLDER."));
    parser.addHelpOption();
    const QCommandLineOption preview(QStringLiteral("preview"),
                                     QStringLiteral("Also write a picture of the assembled window to FILE."),
                                     QStringLiteral("FILE"));
    parser.addOption(preview);
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Where the pictures go, normally assets/."));
    parser.process(app);

    QTextStream err(stderr);
    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 1) {
        err << "usage: kivaro-make-assets [--preview FILE] FOLDER\n";
        return 2;
    }
    const kivaro::AssetCatalogue catalogue;
    if (!catalogue.isReady()) {
        err << "kivaro-make-assets: " << catalogue.error() << '\n';
        return 1;
    }

    const QDir folder(folders.constFirst());
    for (const kivaro::AssetCatalogue::Entry &entry : catalogue.entries()) {
        const QString fileName = folder.filePath(entry.path);
        const QImage image = entry.paint();
        const QImage stored = entry.opaque ? image.convertToFormat(QImage::Format_RGB32) : image;
        if (!QDir().mkpath(QFileInfo(fileName).path()) || !stored.save(fileName, "PNG")) {
            err << "kivaro-make-assets: cannot write " << fileName << '\n';
            return 1;
        }
    }
    for (const QString &marker : catalogue.skinMarkers()) {
        // A marker's content is never read: an empty file names its skin.
        QSaveFile file(folder.filePath(marker));
        if (!file.open(QIODevice::WriteOnly) || !file.commit()) {
            err << "kivaro-make-assets: cannot write " << folder.filePath(marker) << '\n';
            return 1;
        }
    }
    if (!writeResourceList(folder, catalogue.resourceList())) {
        err << "kivaro-make-assets: cannot write " << folder.filePath(QStringLiteral("kivaro.qrc")) << '\n';
        return 1;
    }
    if (parser.isSet(preview)) {
        const QString fileName = parser.value(preview);
        if (!kivaro::WindowPreview(catalogue).render(PreviewScale).save(fileName, "PNG")) {
            err << "kivaro-make-assets: cannot write " << fileName << '\n';
            return 1;
        }
    }
    return 0;
}
