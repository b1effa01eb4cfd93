#include "skinpainter.h"

#include "artworkfonts.h"
#include "palette.h"
#include "shapes.h"
#include "skinlayout.h"
#include "skintheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace kivaro {

using namespace skinlayout;

namespace {

// Pure red: the main window's see-through colour.
constexpr QRgb Cut = qRgb(255, 0, 0);
// A pixel belongs to the window when the outline covers at least half of it.
constexpr int InsideCoverage = 128;

// The outline is the union of four rounded parts: the long panel, the round pod of the search
// button, a tab above the panel for the exit button and one below it for the menu and minimise
// buttons. The panel and the radii are the theme's.
constexpr QRectF ExitTab(269, 0, 37, 30);
constexpr QRectF LowerTab(234, 70, 71, 33);

// The shell is drawn in three layers, each inset from the outline: a dark edge, a bevel lit from
// above, and the body.
constexpr double BevelInset = 1.0;
constexpr double BodyInset = 2.5;
// The gloss covers the top of the body down to a gentle curve.
constexpr QRectF GlossEllipse(-80, -150, 560, 196);

// Recessed wells around the search box, the history frame and the ticker, and the light strip the
// title link is written on. Its light face begins at x = 80, where the link does: "Now Playing:"
// ends just before, and its colon must stay on the dark body.
constexpr QRectF SearchWell(13, 32, 255, 20);
constexpr QRectF HistoryWell(270, 34, 17, 17);
constexpr QRectF TitleStrip(78.5, 53, 210.5, 18);
constexpr QRectF TickerWell(36, 75, 195, 16);
constexpr double WellRadius = 4;

// Brand line at the top left.
constexpr QPointF BrandMarkCentre(23, 20.5);
constexpr double BrandMarkRadius = 6.5;
constexpr QPointF WordmarkOrigin(34, 26);
constexpr int WordmarkSize = 16;
constexpr int TaglineSize = 10;
constexpr double TaglineGap = 9;

constexpr double PlateRadius = 5;
constexpr double SegmentGap = 8;

// The search button's glyph: a magnifier, lens up-left of the centre.
constexpr QPointF LensOffset(-3, -3);
constexpr double LensRadius = 7.5;
constexpr double LensStroke = 3;
constexpr double HandleStroke = 4.2;
constexpr QPointF HandleEnd(9.5, 9.5);

QColor withAlpha(QRgb rgb, int alpha)
{
    QColor colour = QColor::fromRgb(rgb);
    colour.setAlpha(alpha);
    return colour;
}

QPainterPath roundedRect(const QRectF &rect, double radius, double inset)
{
    QPainterPath path;
    path.addRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius - inset, radius - inset);
    return path;
}

QPainterPath circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A recessed well: a highlight one pixel lower shows along the bottom edge under a dark rim.
void paintWell(QPainter &painter, const SkinTheme &theme, const QRectF &rect, const QBrush &face)
{
    painter.fillPath(roundedRect(rect.translated(0, 1), WellRadius, 0), withAlpha(theme.WellHighlight, 150));
    painter.fillPath(roundedRect(rect, WellRadius, 0), QColor::fromRgb(theme.WellShadow));
    painter.fillPath(roundedRect(rect, WellRadius, 1.5), face);
}

} // namespace

SkinPainter::SkinPainter(const ArtworkFonts &fonts, SkinTheme theme, int scale)
    : m_fonts(fonts)
    , m_theme(std::move(theme))
    , m_scale(scale)
{
}

QRect SkinPainter::scaled(const QRect &windowPixels) const
{
    return { windowPixels.topLeft() * m_scale, windowPixels.size() * m_scale };
}

QRect SkinPainter::titleButtonRect(TitleButton button)
{
    switch (button) {
    case TitleButton::Menu:
        return MenuButton;
    case TitleButton::Minimise:
        return MinimiseButton;
    case TitleButton::Exit:
        break;
    }
    return ExitButton;
}

QPainterPath SkinPainter::outline(double inset) const
{
    QPainterPath path = roundedRect(m_theme.Panel, m_theme.PanelRadius, inset);
    path = path.united(circle(SearchCentre, m_theme.PodRadius - inset));
    path = path.united(roundedRect(ExitTab, m_theme.TabRadius, inset));
    path = path.united(roundedRect(LowerTab, m_theme.TabRadius, inset));
    return path.simplified();
}

QImage SkinPainter::background(Look searchLook) const
{
    State state;
    state.search = searchLook;
    return window(state);
}

QImage SkinPainter::titleButton(TitleButton button, Look look) const
{
    State state;
    state.buttons.at(static_cast<std::size_t>(button)) = look;
    return window(state).copy(scaled(titleButtonRect(button)));
}

QImage SkinPainter::progressFrame(int frame) const
{
    State state;
    state.litSegments = qBound(0, frame, ProgressFrameCount - 1) + 1;
    return window(state).copy(scaled(SearchButton));
}

QImage SkinPainter::historyGlyph() const
{
    QImage image(HistoryGlyph.size() * m_scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_scale, m_scale);
    // A small down arrow in the title link's navy, centred in the 13 x 12 box.
    QPainterPath arrow;
    arrow.moveTo(2.5, 4);
    arrow.lineTo(10.5, 4);
    arrow.lineTo(6.5, 8.5);
    arrow.closeSubpath();
    painter.fillPath(arrow, QColor::fromRgb(palette::HistoryArrow));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage SkinPainter::window(const State &state) const
{
    QImage content(Background * m_scale, QImage::Format_ARGB32_Premultiplied);
    content.fill(m_theme.ShellEdge);
    QPainter painter(&content);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_scale, m_scale);
    paintShell(painter);
    paintBrand(painter);
    paintWells(painter);
    paintNote(painter);
    paintPod(painter);
    paintRing(painter, state.litSegments);
    paintSearchFace(painter, state.search);
    for (const TitleButton button : {TitleButton::Menu, TitleButton::Minimise, TitleButton::Exit})
        paintPlate(painter, button, state.buttons.at(static_cast<std::size_t>(button)));
    painter.end();
    return cutOutline(content);
}

QImage SkinPainter::cutOutline(const QImage &content) const
{
    QImage coverage(content.size(), QImage::Format_Alpha8);
    coverage.fill(0);
    QPainter painter(&coverage);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_scale, m_scale);
    painter.fillPath(outline(), Qt::black);
    painter.end();

    // Edge pixels are blended with the shell's dark edge colour, never with the red around the
    // window: a blend with red would be a near-red pixel the colour key does not cut.
    QImage result(content.size(), QImage::Format_RGB32);
    const int edge[3] = {qRed(m_theme.ShellEdge), qGreen(m_theme.ShellEdge), qBlue(m_theme.ShellEdge)};
    for (int y = 0; y < content.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(content.constScanLine(y));
        const uchar *cover = coverage.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < content.width(); ++x) {
            const int a = cover[x];
            if (a < InsideCoverage) {
                out[x] = Cut;
                continue;
            }
            const auto mix = [a](int inner, int outer) { return (inner * a + outer * (255 - a) + 127) / 255; };
            out[x] = qRgb(mix(qRed(in[x]), edge[0]), mix(qGreen(in[x]), edge[1]), mix(qBlue(in[x]), edge[2]));
        }
    }
    return result;
}

void SkinPainter::paintShell(QPainter &painter) const
{
    QLinearGradient bevel(0, 0, 0, Background.height());
    bevel.setColorAt(0, QColor::fromRgb(m_theme.ShellBevelTop));
    bevel.setColorAt(1, QColor::fromRgb(m_theme.ShellBevelBottom));
    painter.fillPath(outline(BevelInset), bevel);

    QLinearGradient body(0, 0, 0, Background.height());
    body.setStops(m_theme.Body);
    const QPainterPath bodyPath = outline(BodyInset);
    painter.fillPath(bodyPath, body);

    QPainterPath glossArea;
    glossArea.addEllipse(GlossEllipse);
    QLinearGradient gloss(0, 0, 0, GlossEllipse.bottom());
    gloss.setColorAt(0, withAlpha(m_theme.GlossTint, m_theme.GlossAlphaTop));
    gloss.setColorAt(1, withAlpha(m_theme.GlossTint, m_theme.GlossAlphaBottom));
    painter.fillPath(bodyPath.intersected(glossArea), gloss);
}

void SkinPainter::paintBrand(QPainter &painter) const
{
    // The brand mark in small: the progress ring around a play triangle.
    for (int segment = 0; segment < ProgressFrameCount; ++segment)
        painter.fillPath(shapes::ringSegment(BrandMarkCentre, BrandMarkRadius - 2.2, BrandMarkRadius, segment,
                                             ProgressFrameCount, 14),
                         QColor::fromRgb(m_theme.Accent));
    painter.fillPath(shapes::playTriangle(BrandMarkCentre, 3.4), QColor::fromRgb(m_theme.AccentBright));

    const QFont wordFont = m_fonts.bold(WordmarkSize);
    const QString word = QStringLiteral("kivaro");
    QLinearGradient wordFill(0, WordmarkOrigin.y() - WordmarkSize * 0.75, 0, WordmarkOrigin.y());
    wordFill.setColorAt(0, QColor::fromRgb(m_theme.BrandText));
    wordFill.setColorAt(1, QColor::fromRgb(m_theme.AccentBright));
    painter.fillPath(ArtworkFonts::outline(wordFont, WordmarkOrigin, word), wordFill);

    const QPointF taglineOrigin(WordmarkOrigin.x() + ArtworkFonts::advance(wordFont, word) + TaglineGap,
                                WordmarkOrigin.y());
    painter.fillPath(ArtworkFonts::outline(m_fonts.regular(TaglineSize), taglineOrigin,
                                           QStringLiteral("type it \u00b7 hear it")),
                     QColor::fromRgb(m_theme.BrandSubtle));
}

void SkinPainter::paintWells(QPainter &painter) const
{
    paintWell(painter, m_theme, SearchWell, QColor::fromRgb(m_theme.FieldFace));
    paintWell(painter, m_theme, HistoryWell, QColor::fromRgb(m_theme.FieldFace));

    QLinearGradient strip(0, TitleStrip.top(), 0, TitleStrip.bottom());
    strip.setColorAt(0, QColor::fromRgb(m_theme.TitleStripTop));
    strip.setColorAt(1, QColor::fromRgb(m_theme.TitleStripBottom));
    paintWell(painter, m_theme, TitleStrip, strip);

    QLinearGradient ticker(0, TickerWell.top(), 0, TickerWell.bottom());
    ticker.setColorAt(0, QColor::fromRgb(m_theme.TickerFaceTop));
    ticker.setColorAt(1, QColor::fromRgb(m_theme.TickerFaceBottom));
    paintWell(painter, m_theme, TickerWell, ticker);
    // A faint line of light along the ticker's lower edge, like a lit display.
    const QRectF glow = TickerWell.adjusted(4, TickerWell.height() - 3.5, -4, -2);
    QLinearGradient line(glow.left(), 0, glow.right(), 0);
    line.setColorAt(0, withAlpha(m_theme.TickerGlow, 0));
    line.setColorAt(0.5, withAlpha(m_theme.TickerGlow, 120));
    line.setColorAt(1, withAlpha(m_theme.TickerGlow, 0));
    painter.fillRect(glow, line);
}

void SkinPainter::paintNote(QPainter &painter) const
{
    // A beamed pair of notes left of the ticker.
    const QColor colour = QColor::fromRgb(m_theme.Accent);
    QPainterPath beam;
    beam.moveTo(23.5, 79);
    beam.lineTo(31.5, 77);
    beam.lineTo(31.5, 79.2);
    beam.lineTo(23.5, 81.2);
    beam.closeSubpath();
    painter.fillPath(beam, colour);
    painter.fillRect(QRectF(23.5, 80, 1.2, 7.5), colour);
    painter.fillRect(QRectF(30.3, 78, 1.2, 7.5), colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(22.2, 87.6), 2.3, 1.8);
    painter.drawEllipse(QPointF(29.0, 85.6), 2.3, 1.8);
    painter.setBrush(Qt::NoBrush);
}

void SkinPainter::paintPod(QPainter &painter) const
{
    // A shallow bowl: darker at its rim, lighter towards the ring, then a dark groove the ring
    // and the button sit in.
    QRadialGradient bowl(SearchCentre, m_theme.PodRadius - BodyInset);
    bowl.setColorAt(0.6, QColor::fromRgb(m_theme.PodInner));
    bowl.setColorAt(1, QColor::fromRgb(m_theme.PodOuter));
    painter.fillPath(circle(SearchCentre, m_theme.PodRadius - BodyInset - 2), bowl);
    QLinearGradient lip(0, SearchCentre.y() - m_theme.PodRadius, 0, SearchCentre.y() + m_theme.PodRadius);
    lip.setColorAt(0, withAlpha(m_theme.WellHighlight, 0));
    lip.setColorAt(1, withAlpha(m_theme.WellHighlight, 110));
    painter.setPen(QPen(QBrush(lip), 1));
    painter.drawEllipse(SearchCentre, m_theme.PodRadius - BodyInset - 2.5, m_theme.PodRadius - BodyInset - 2.5);
    painter.setPen(Qt::NoPen);
    painter.fillPath(circle(SearchCentre, RingOuterRadius + 1.5), QColor::fromRgb(m_theme.WellShadow));
}

void SkinPainter::paintRing(QPainter &painter, int litSegments) const
{
    QRadialGradient lit(SearchCentre, RingOuterRadius);
    lit.setColorAt(RingInnerRadius / RingOuterRadius, QColor::fromRgb(m_theme.AccentBright));
    lit.setColorAt(0.93, QColor::fromRgb(m_theme.Accent));
    lit.setColorAt(1, QColor::fromRgb(m_theme.AccentDeep));
    for (int segment = 0; segment < ProgressFrameCount; ++segment) {
        const QPainterPath path = shapes::ringSegment(SearchCentre, RingInnerRadius, RingOuterRadius, segment,
                                                      ProgressFrameCount, SegmentGap);
        if (segment < litSegments) {
            painter.fillPath(path, lit);
        } else {
            painter.fillPath(path, QColor::fromRgb(m_theme.RingTrackEdge));
            painter.fillPath(shapes::ringSegment(SearchCentre, RingInnerRadius + 0.8, RingOuterRadius - 0.8,
                                                 segment, ProgressFrameCount, SegmentGap + 2),
                             QColor::fromRgb(m_theme.RingTrack));
        }
    }
}

void SkinPainter::paintSearchFace(QPainter &painter, Look look) const
{
    const bool pressed = look == Look::Pressed;
    const bool hover = look == Look::Hover;
    if (hover) {
        QRadialGradient glow(SearchCentre, SearchGlowRadius);
        glow.setColorAt(SearchFaceRadius / SearchGlowRadius, withAlpha(m_theme.Accent, 200));
        glow.setColorAt(1, withAlpha(m_theme.Accent, 0));
        painter.fillPath(circle(SearchCentre, SearchGlowRadius), glow);
    }

    // Lit from the upper left; pressed, the light comes from below as if the face were sunk.
    const QPointF light = SearchCentre + (pressed ? QPointF(4, 10) : QPointF(-7, -9));
    QRadialGradient face(SearchCentre, SearchFaceRadius * 1.35, light);
    if (pressed) {
        face.setColorAt(0, QColor::fromRgb(m_theme.SearchPressedLight));
        face.setColorAt(1, QColor::fromRgb(m_theme.SearchPressedDark));
    } else {
        face.setColorAt(0, QColor::fromRgb(hover ? m_theme.SearchHoverLight : m_theme.SearchFaceLight));
        face.setColorAt(0.55, QColor::fromRgb(hover ? m_theme.SearchHoverMiddle : m_theme.SearchFaceMiddle));
        face.setColorAt(1, QColor::fromRgb(hover ? m_theme.SearchHoverDark : m_theme.SearchFaceDark));
    }
    painter.fillPath(circle(SearchCentre, SearchFaceRadius), QColor::fromRgb(m_theme.ShellEdge));
    painter.fillPath(circle(SearchCentre, SearchFaceRadius - 1), face);

    const QRectF glossBox(SearchCentre.x() - 15, SearchCentre.y() - SearchFaceRadius + 2, 30, 17);
    QLinearGradient gloss(0, glossBox.top(), 0, glossBox.bottom());
    gloss.setColorAt(0, withAlpha(m_theme.GlossTint, pressed ? 50 : 150));
    gloss.setColorAt(1, withAlpha(m_theme.GlossTint, 0));
    QPainterPath glossPath;
    glossPath.addEllipse(glossBox);
    painter.fillPath(glossPath, gloss);

    const QPointF sink = pressed ? QPointF(1, 1) : QPointF(0, 0);
    const QPointF lens = SearchCentre + LensOffset + sink;
    const QColor glyph = pressed ? QColor::fromRgb(m_theme.SearchGlyphPressed) : QColor::fromRgb(m_theme.SearchGlyph);
    // The handle starts where the lens ring ends, along the diagonal.
    const QPointF handleStart = lens + QPointF(LensRadius, LensRadius) * 0.7071;
    painter.setPen(QPen(glyph, HandleStroke, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(handleStart, SearchCentre + HandleEnd + sink);
    painter.setPen(QPen(glyph, LensStroke));
    painter.drawEllipse(lens, LensRadius, LensRadius);
    painter.setPen(Qt::NoPen);
}

void SkinPainter::paintPlate(QPainter &painter, TitleButton button, Look look) const
{
    const QRectF plate = QRectF(titleButtonRect(button)).adjusted(PlateInset, PlateInset, -PlateInset, -PlateInset);
    const bool exit = button == TitleButton::Exit;

    QRgb top = m_theme.PlateTop;
    QRgb bottom = m_theme.PlateBottom;
    QColor rim = QColor::fromRgb(m_theme.PlateBorder);
    QColor glyph = QColor::fromRgb(m_theme.PlateGlyph);
    QPointF sink(0, 0);
    switch (look) {
    case Look::Normal:
        break;
    case Look::Hover:
        top = m_theme.PlateHoverTop;
        bottom = m_theme.PlateHoverBottom;
        rim = QColor::fromRgb(exit ? m_theme.ExitRimHover : m_theme.Accent);
        glyph = QColor::fromRgb(exit ? m_theme.ExitGlyphHover : m_theme.PlateGlyphHover);
        break;
    case Look::Pressed:
        top = m_theme.PlatePressedTop;
        bottom = m_theme.PlatePressedBottom;
        rim = QColor::fromRgb(exit ? m_theme.ExitRimHover : m_theme.AccentDeep);
        glyph = QColor::fromRgb(exit ? m_theme.ExitGlyphHover : m_theme.Accent);
        sink = QPointF(1, 1);
        break;
    }

    painter.fillPath(roundedRect(plate, PlateRadius, 0), rim);
    QLinearGradient face(0, plate.top(), 0, plate.bottom());
    face.setColorAt(0, QColor::fromRgb(top));
    face.setColorAt(1, QColor::fromRgb(bottom));
    painter.fillPath(roundedRect(plate, PlateRadius, 1), face);
    if (look != Look::Pressed) {
        // A thin highlight under the top edge gives the plate its raised look.
        QLinearGradient shine(0, plate.top() + 1, 0, plate.top() + plate.height() / 2);
        shine.setColorAt(0, withAlpha(m_theme.GlossTint, 70));
        shine.setColorAt(1, withAlpha(m_theme.GlossTint, 0));
        painter.fillPath(roundedRect(plate.adjusted(0, 0, 0, -plate.height() / 2), PlateRadius, 1), shine);
    }
    paintPlateGlyph(painter, button, plate.center() + sink, glyph);
}

void SkinPainter::paintPlateGlyph(QPainter &painter, TitleButton button, QPointF centre, QColor colour) const
{
    constexpr double HalfWidth = 5.5;
    switch (button) {
    case TitleButton::Menu:
        for (const double dy : {-3.5, 0.0, 3.5})
            painter.fillRect(QRectF(centre.x() - HalfWidth, centre.y() + dy - 1, 2 * HalfWidth, 2), colour);
        break;
    case TitleButton::Minimise:
        painter.fillRect(QRectF(centre.x() - HalfWidth, centre.y() + 2, 2 * HalfWidth, 2.5), colour);
        break;
    case TitleButton::Exit: {
        constexpr double Arm = 4.2;
        painter.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + QPointF(-Arm, -Arm), centre + QPointF(Arm, Arm));
        painter.drawLine(centre + QPointF(-Arm, Arm), centre + QPointF(Arm, -Arm));
        painter.setPen(Qt::NoPen);
        break;
    }
    }
}

} // namespace kivaro
