#include "brandpainter.h"

#include "artworkfonts.h"
#include "palette.h"
#include "shapes.h"
#include "skinlayout.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace kivaro {

namespace {

// Splash layout: the name and its lines on the left, the mark on the right.
constexpr QPointF SplashMarkCentre(385, 138);
constexpr double SplashMarkRadius = 82;
constexpr QPointF NameOrigin(38, 142);
constexpr int NameSize = 78;
constexpr QPointF TaglineOrigin(42, 180);
constexpr int TaglineSize = 17;
constexpr QPointF VersionOrigin(42, 222);
constexpr int VersionSize = 15;
constexpr double FooterTop = 262;
constexpr QPointF FooterOrigin(42, 286);
constexpr int FooterSize = 12;

// The icon is designed on a 256-pixel grid and scaled.
constexpr double IconGrid = 256;
constexpr QRectF IconTile(16, 16, 224, 224);
constexpr double IconTileRadius = 50;
constexpr double IconMarkRadius = 84;

// Proportions of the mark, relative to its outer radius.
constexpr double MarkRingInner = 0.76;
constexpr double MarkFace = 0.64;
constexpr double MarkGap = 9;

QColor withAlpha(QRgb rgb, int alpha)
{
    QColor colour = QColor::fromRgb(rgb);
    colour.setAlpha(alpha);
    return colour;
}

} // namespace

BrandPainter::BrandPainter(const ArtworkFonts &fonts)
    : m_fonts(fonts)
{
}

void BrandPainter::paintMark(QPainter &painter, QPointF centre, double radius)
{
    QRadialGradient ring(centre, radius);
    ring.setColorAt(MarkRingInner, QColor::fromRgb(palette::AccentBright));
    ring.setColorAt(0.9, QColor::fromRgb(palette::Accent));
    ring.setColorAt(1, QColor::fromRgb(palette::AccentDeep));
    for (int segment = 0; segment < skinlayout::ProgressFrameCount; ++segment)
        painter.fillPath(shapes::ringSegment(centre, radius * MarkRingInner, radius, segment,
                                             skinlayout::ProgressFrameCount, MarkGap),
                         ring);

    const double face = radius * MarkFace;
    QPainterPath facePath;
    facePath.addEllipse(centre, face, face);
    QRadialGradient faceFill(centre, face * 1.35, centre - QPointF(face * 0.3, face * 0.38));
    faceFill.setColorAt(0, QColor::fromRgb(palette::SearchFaceLight));
    faceFill.setColorAt(0.55, QColor::fromRgb(palette::SearchFaceMiddle));
    faceFill.setColorAt(1, QColor::fromRgb(palette::SearchFaceDark));
    painter.fillPath(facePath, faceFill);

    const QRectF glossBox(centre.x() - face * 0.66, centre.y() - face * 0.92, face * 1.32, face * 0.74);
    QLinearGradient gloss(0, glossBox.top(), 0, glossBox.bottom());
    gloss.setColorAt(0, withAlpha(palette::GlossTint, 150));
    gloss.setColorAt(1, withAlpha(palette::GlossTint, 0));
    QPainterPath glossPath;
    glossPath.addEllipse(glossBox);
    painter.fillPath(glossPath, gloss);

    painter.fillPath(shapes::playTriangle(centre, face), QColor::fromRgb(palette::SearchGlyph));
}

QImage BrandPainter::splash() const
{
    QImage image(skinlayout::Splash, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient ground(0, 0, image.width() * 0.4, image.height());
    ground.setColorAt(0, QColor::fromRgb(palette::ShellBodyTop));
    ground.setColorAt(0.5, QColor::fromRgb(palette::ShellBodyMiddle));
    ground.setColorAt(1, QColor::fromRgb(palette::ShellBodyBottom));
    painter.fillRect(image.rect(), ground);

    QRadialGradient halo(SplashMarkCentre, SplashMarkRadius * 1.9);
    halo.setColorAt(0, withAlpha(palette::Accent, 90));
    halo.setColorAt(1, withAlpha(palette::Accent, 0));
    painter.fillRect(image.rect(), halo);

    // Echoes of the ring spreading outwards, like sound.
    for (int echo = 1; echo <= 3; ++echo) {
        painter.setPen(QPen(withAlpha(palette::AccentBright, 70 - 18 * echo), 1.5));
        const double r = SplashMarkRadius + 16.0 * echo;
        painter.drawEllipse(SplashMarkCentre, r, r);
    }
    painter.setPen(Qt::NoPen);
    paintMark(painter, SplashMarkCentre, SplashMarkRadius);

    QLinearGradient nameFill(0, NameOrigin.y() - NameSize * 0.75, 0, NameOrigin.y());
    nameFill.setColorAt(0, QColor::fromRgb(palette::BrandText));
    nameFill.setColorAt(1, QColor::fromRgb(palette::AccentBright));
    painter.fillPath(ArtworkFonts::outline(m_fonts.bold(NameSize), NameOrigin, QStringLiteral("Kivaro")), nameFill);
    painter.fillPath(ArtworkFonts::outline(m_fonts.regular(TaglineSize), TaglineOrigin,
                                           QStringLiteral("Type an artist or a song. Hear it.")),
                     QColor::fromRgb(palette::BrandSubtle));
    painter.fillPath(ArtworkFonts::outline(m_fonts.bold(VersionSize), VersionOrigin, QStringLiteral("Version 3")),
                     QColor::fromRgb(palette::Accent));

    // A darker band along the bottom with a quiet line of light on its top edge.
    painter.fillRect(QRectF(0, FooterTop, image.width(), image.height() - FooterTop), withAlpha(palette::ShellEdge, 150));
    QLinearGradient rule(0, 0, image.width(), 0);
    rule.setColorAt(0, withAlpha(palette::Accent, 0));
    rule.setColorAt(0.3, withAlpha(palette::Accent, 150));
    rule.setColorAt(1, withAlpha(palette::Accent, 0));
    painter.fillRect(QRectF(0, FooterTop, image.width(), 1), rule);
    painter.fillPath(ArtworkFonts::outline(m_fonts.regular(FooterSize), FooterOrigin,
                                           QStringLiteral("Search \u00b7 Stream \u00b7 Listen")),
                     QColor::fromRgb(palette::BrandSubtle));
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage BrandPainter::icon(int size) const
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / IconGrid, size / IconGrid);

    QPainterPath tile;
    tile.addRoundedRect(IconTile, IconTileRadius, IconTileRadius);
    painter.fillPath(tile, QColor::fromRgb(palette::ShellEdge));
    QLinearGradient bevel(0, IconTile.top(), 0, IconTile.bottom());
    bevel.setColorAt(0, QColor::fromRgb(palette::ShellBevelTop));
    bevel.setColorAt(1, QColor::fromRgb(palette::ShellBevelBottom));
    QPainterPath bevelPath;
    bevelPath.addRoundedRect(IconTile.adjusted(4, 4, -4, -4), IconTileRadius - 4, IconTileRadius - 4);
    painter.fillPath(bevelPath, bevel);
    QLinearGradient body(0, IconTile.top(), 0, IconTile.bottom());
    body.setColorAt(0, QColor::fromRgb(palette::ShellBodyTop));
    body.setColorAt(0.5, QColor::fromRgb(palette::ShellBodyMiddle));
    body.setColorAt(1, QColor::fromRgb(palette::ShellBodyBottom));
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(IconTile.adjusted(9, 9, -9, -9), IconTileRadius - 9, IconTileRadius - 9);
    painter.fillPath(bodyPath, body);

    const QPointF centre = IconTile.center();
    QRadialGradient halo(centre, IconMarkRadius * 1.3);
    halo.setColorAt(0.6, withAlpha(palette::Accent, 70));
    halo.setColorAt(1, withAlpha(palette::Accent, 0));
    painter.fillPath(bodyPath, halo);
    paintMark(painter, centre, IconMarkRadius);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace kivaro
