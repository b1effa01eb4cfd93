// kivaro-gallery: draws every look of the drawn controls into one PNG sheet, so a person can see
// all of them side by side, or draws one saved button into a picture.
//
//   kivaro-gallery [output.png]      (default: kivaro-gallery.png)
//   kivaro-gallery --xpbutton FORMFILE[#INSTANCE] --size WxH --state up|down|disabled
//                  [--hover] [--focus] [--default] OUT.png

#include "controls/progressbar/progressbarpainter.h"
#include "controls/progressbar/progressbarstyle.h"
#include "gallerysheet.h"
#include "platform/canvas.h"
#include "xpbuttongallery.h"

#include <QApplication>
#include <QStringList>

#include <array>
#include <cstdio>

namespace {

using namespace kivaro;

// The main window's own bar colour, and a second one to show how the looks take a colour.
constexpr ColorRef MainWindowBlue = 0x00A85E33;
constexpr std::array Percentages { 0, 37, 100 };

QImage drawBar(const ProgressBarLook &look, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    Canvas canvas(image);
    paintProgressBar(canvas, size, look);
    return image;
}

QImage checkerTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(250, 170, 40) : qRgb(120, 60, 10));
    }
    return tile;
}

QString percentLabel(int p)
{
    return QString::number(p) + QStringLiteral(" %");
}

void addProgressBarLooks(GallerySheet &sheet)
{
    const QStringList names { QStringLiteral("segmented"),      QStringLiteral("continuous"),
                              QStringLiteral("marquee blocks"), QStringLiteral("flat"),
                              QStringLiteral("etched"),         QStringLiteral("glass"),
                              QStringLiteral("dark"),           QStringLiteral("hatched"),
                              QStringLiteral("pattern"),        QStringLiteral("metal") };

    ProgressBarLook look;
    look.color = MainWindowBlue;
    look.showText = true;
    look.brushStyle = progressbar::DefaultBrushStyleStored;
    look.image = checkerTile();
    look.font = QFont(QStringLiteral("Arial"));
    look.font.setPointSizeF(progressbar::DefaultFontPointSize);

    sheet.addSection(QStringLiteral("Progress bar (UserControl1): the ten looks, 200 x 20, with text"));
    for (int scrolling = 0; scrolling < progressbar::LookCount; ++scrolling) {
        look.scrolling = scrolling;
        sheet.addRow(QStringLiteral("Scrolling %1: %2").arg(scrolling).arg(names.at(scrolling)));
        for (int p : Percentages) {
            look.percentage = p;
            sheet.addItem(percentLabel(p), drawBar(look, { 200, 20 }));
        }
    }

    sheet.addSection(QStringLiteral("Progress bar: 400 x 30 at 63 %, without and with text"));
    for (int scrolling = 0; scrolling < progressbar::LookCount; ++scrolling) {
        look.scrolling = scrolling;
        look.percentage = 63;
        sheet.addRow(QStringLiteral("Scrolling %1").arg(scrolling));
        look.showText = false;
        sheet.addItem(QStringLiteral("no text"), drawBar(look, { 400, 30 }));
        look.showText = true;
        sheet.addItem(QStringLiteral("text"), drawBar(look, { 400, 30 }));
    }

    sheet.addSection(QStringLiteral("Progress bar: vertical (Orientation 1), 24 x 120"));
    sheet.addRow(QStringLiteral("Scrolling 0, 1, 2 at 0, 37, 100 %"));
    look.showText = false;
    look.orientation = 1;
    for (int scrolling : { 0, 1, 2 }) {
        look.scrolling = scrolling;
        for (int p : Percentages) {
            look.percentage = p;
            sheet.addItem(QStringLiteral("%1: %2").arg(scrolling).arg(percentLabel(p)),
                          drawBar(look, { 24, 120 }));
        }
    }
    look.orientation = progressbar::Horizontal;

    sheet.addSection(QStringLiteral("Progress bar: hatched look, every BrushStyle at 80 %"));
    sheet.addRow(QStringLiteral("BrushStyle 0 to 5"));
    look.scrolling = progressbar::LookHatched;
    look.percentage = 80;
    for (int style = 0; style < progressbar::HatchStyleCount; ++style) {
        look.brushStyle = style;
        sheet.addItem(QStringLiteral("BrushStyle %1").arg(style), drawBar(look, { 120, 20 }));
    }

    sheet.addSection(QStringLiteral("Progress bar: pattern look without an Image, and other colours"));
    sheet.addRow(QStringLiteral("Misc"));
    look.scrolling = progressbar::LookPattern;
    look.image = QImage();
    sheet.addItem(QStringLiteral("pattern, no Image"), drawBar(look, { 200, 20 }));
    look.color = TranslateColor(SystemColorFlag | Highlight);
    look.percentage = 55;
    look.showText = true;
    for (int scrolling : { 0, 5, 9 }) {
        look.scrolling = scrolling;
        sheet.addItem(QStringLiteral("highlight colour, look %1").arg(scrolling), drawBar(look, { 200, 20 }));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // The sheet is drawn off-screen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.contains(QLatin1String("--xpbutton")))
        return renderXPButton(arguments.mid(1));
    const QString output = arguments.size() > 1 ? arguments.at(1) : QStringLiteral("kivaro-gallery.png");

    GallerySheet sheet;
    addProgressBarLooks(sheet);
    addXPButtonLooks(sheet);
    if (!sheet.render().save(output, "PNG")) {
        std::fprintf(stderr, "kivaro-gallery: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::fprintf(stdout, "%s\n", qPrintable(output));
    return 0;
}
