#include "windowpreview.h"

#include "assetcatalogue.h"
#include "skinlayout.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

namespace kivaro {

using namespace skinlayout;

namespace {

constexpr QRgb SeeThrough = qRgb(255, 0, 0);
constexpr QColor FrameWhite(255, 255, 255);
constexpr QColor FrameBorder(0, 0, 255);
constexpr QColor FrameLightBlue(169, 230, 250);
constexpr QColor TitleNavy(3, 16, 103);
constexpr QColor TitleRed(255, 6, 6);
constexpr QColor TextWhite(255, 255, 255);
constexpr QColor SearchText(0, 0, 0);
// Arial 8.25 pt and 6.75 pt at 96 dots per inch.
constexpr int LabelPixels = 11;
constexpr int TickerPixels = 9;
constexpr int Margin = 12;

} // namespace

struct WindowPreview::Scene
{
    QString background = QStringLiteral("IMn");
    QString menu = QStringLiteral("En");
    QString minimise = QStringLiteral("Dn");
    QString exit = QStringLiteral("Xn");
    QString frame; // no progress picture when empty
    QColor historyFill = FrameWhite;
    QColor titleColour = TitleNavy;
    QString title = QStringLiteral("Red Band - Blue Song");
};

WindowPreview::WindowPreview(const AssetCatalogue &catalogue)
    : m_catalogue(catalogue)
{
}

QImage WindowPreview::window(const Scene &scene) const
{
    const auto skin = [this](const QString &name) {
        return m_catalogue.paint(AssetCatalogue::skinPath(name));
    };
    QImage image(Window, QImage::Format_RGB32);
    image.fill(SeeThrough);
    QPainter painter(&image);
    painter.drawImage(0, 0, skin(scene.background));

    painter.fillRect(SearchBox, Qt::white);
    const QFont label = m_catalogue.fonts().regular(LabelPixels);
    painter.setFont(label);
    painter.setPen(SearchText);
    painter.drawText(SearchBox.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Red Band Blue Song"));

    painter.fillRect(HistoryFrame, scene.historyFill);
    painter.setPen(FrameBorder);
    painter.drawRect(HistoryFrame.adjusted(0, 0, -1, -1));
    painter.drawImage(HistoryGlyph.topLeft(), m_catalogue.paint(QStringLiteral("skin/history.png")));

    const double ascent = QFontMetricsF(label).ascent();
    painter.setPen(TextWhite);
    painter.drawText(QPointF(NowPlayingLabel) + QPointF(0, ascent), QStringLiteral("Now Playing:"));
    QFont link = label;
    link.setUnderline(true);
    painter.setFont(link);
    painter.setPen(scene.titleColour);
    painter.drawText(QPointF(TitleLink) + QPointF(0, ascent), scene.title);

    const QFont ticker = m_catalogue.fonts().regular(TickerPixels);
    painter.setFont(ticker);
    painter.setPen(TextWhite);
    painter.setClipRect(Ticker);
    painter.drawText(QPointF(Ticker.topLeft()) + QPointF(0, QFontMetricsF(ticker).ascent()),
                     QStringLiteral("      Welcome to kivaro!                            Why download"));
    painter.setClipping(false);
    // The ticker line is wider than its well and runs under the menu and minimise buttons.
    painter.drawImage(MenuButton.topLeft(), skin(scene.menu));
    painter.drawImage(MinimiseButton.topLeft(), skin(scene.minimise));
    painter.drawImage(ExitButton.topLeft(), skin(scene.exit));
    if (!scene.frame.isEmpty())
        painter.drawImage(SearchButton.topLeft(), skin(scene.frame));

    painter.end();
    return image;
}

QImage WindowPreview::render(int scale) const
{
    QList<Scene> scenes;
    Scene playing;
    playing.frame = QStringLiteral("P7");
    scenes.append(playing);

    Scene hover;
    hover.background = QStringLiteral("ImGo");
    hover.exit = QStringLiteral("Xo");
    hover.menu = QStringLiteral("Eo");
    hover.minimise = QStringLiteral("Doo");
    hover.historyFill = FrameLightBlue;
    hover.titleColour = TitleRed;
    hover.title = QStringLiteral("Somebody With A Very Long Name -...");
    scenes.append(hover);

    Scene pressed;
    pressed.background = QStringLiteral("IMd");
    pressed.exit = QStringLiteral("Xd");
    pressed.menu = QStringLiteral("Ed");
    pressed.minimise = QStringLiteral("Dd");
    pressed.frame = QStringLiteral("P2");
    scenes.append(pressed);

    const QSize cell = Window * scale;
    QImage sheet(cell.width() + 2 * Margin, scenes.size() * (cell.height() + Margin) + Margin,
                 QImage::Format_RGB32);
    QPainter painter(&sheet);
    QLinearGradient ground(0, 0, sheet.width(), sheet.height());
    ground.setColorAt(0, QColor(40, 160, 120));
    ground.setColorAt(1, QColor(236, 170, 60));
    painter.fillRect(sheet.rect(), ground);
    const QImage backdrop = sheet.copy();

    for (int i = 0; i < scenes.size(); ++i) {
        const QPoint at(Margin, Margin + i * (cell.height() + Margin));
        QImage shown = window(scenes.at(i)).convertToFormat(QImage::Format_ARGB32);
        // Where the window is see-through the ground shows.
        for (int y = 0; y < shown.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(shown.scanLine(y));
            for (int x = 0; x < shown.width(); ++x) {
                if ((line[x] & RGB_MASK) == (SeeThrough & RGB_MASK))
                    line[x] = 0;
            }
        }
        painter.drawImage(at, shown.scaled(cell, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    painter.end();
    return sheet;
}

} // namespace kivaro
