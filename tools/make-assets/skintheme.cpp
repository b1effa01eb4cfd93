#include "skintheme.h"

namespace kivaro {

namespace {

QGradientStops stops(std::initializer_list<std::pair<double, QRgb>> points)
{
    QGradientStops result;
    for (const auto &[at, colour] : points)
        result.append({ at, QColor::fromRgb(colour) });
    return result;
}

// Pearl: silver and white above, a slate band below for the white labels; blue light, a
// capsule-round outline.
SkinTheme pearl()
{
    SkinTheme t;
    t.name = QStringLiteral("pearl");
    t.PanelRadius = 30;
    t.Body = stops({ { 0, qRgb(250, 251, 253) },
                     { 0.40, qRgb(214, 221, 232) },
                     { 0.47, qRgb(150, 162, 182) },
                     { 0.53, qRgb(88, 102, 124) },
                     { 1, qRgb(58, 68, 86) } });
    t.ShellEdge = qRgb(74, 84, 102);
    t.ShellBevelTop = qRgb(255, 255, 255);
    t.ShellBevelBottom = qRgb(120, 132, 152);
    t.GlossAlphaTop = 90;
    t.GlossAlphaBottom = 10;
    t.WellShadow = qRgb(60, 72, 92);
    t.WellHighlight = qRgb(170, 182, 200);
    t.TickerFaceTop = qRgb(20, 30, 46);
    t.TickerFaceBottom = qRgb(34, 50, 74);
    t.TickerGlow = qRgb(120, 190, 255);
    t.Accent = qRgb(40, 130, 230);
    t.AccentBright = qRgb(150, 205, 255);
    t.AccentDeep = qRgb(16, 76, 160);
    t.RingTrack = qRgb(200, 208, 220);
    t.RingTrackEdge = qRgb(164, 176, 194);
    t.PodOuter = qRgb(168, 180, 198);
    t.PodInner = qRgb(236, 240, 246);
    t.SearchFaceLight = qRgb(255, 255, 255);
    t.SearchFaceMiddle = qRgb(214, 224, 238);
    t.SearchFaceDark = qRgb(150, 166, 190);
    t.SearchHoverLight = qRgb(220, 240, 255);
    t.SearchHoverMiddle = qRgb(120, 186, 250);
    t.SearchHoverDark = qRgb(40, 120, 210);
    t.SearchPressedLight = qRgb(170, 184, 204);
    t.SearchPressedDark = qRgb(110, 126, 150);
    t.SearchGlyph = qRgb(34, 60, 104);
    t.SearchGlyphPressed = qRgb(24, 44, 80);
    t.PlateTop = qRgb(132, 146, 168);
    t.PlateBottom = qRgb(92, 106, 128);
    t.PlateHoverTop = qRgb(110, 170, 240);
    t.PlateHoverBottom = qRgb(40, 110, 200);
    t.PlatePressedTop = qRgb(40, 50, 66);
    t.PlatePressedBottom = qRgb(70, 84, 106);
    t.PlateBorder = qRgb(52, 62, 80);
    t.PlateGlyph = qRgb(240, 244, 250);
    t.PlateGlyphHover = qRgb(255, 255, 255);
    t.BrandText = qRgb(30, 46, 76);
    t.BrandSubtle = qRgb(96, 110, 134);
    return t;
}

// Midnight: near-black with amber light and a sharp-cornered outline.
SkinTheme midnight()
{
    SkinTheme t;
    t.name = QStringLiteral("midnight");
    t.PanelRadius = 5;
    t.TabRadius = 4;
    t.Body = stops({ { 0, qRgb(46, 46, 52) }, { 0.45, qRgb(24, 24, 28) }, { 1, qRgb(10, 10, 12) } });
    t.ShellEdge = qRgb(0, 0, 0);
    t.ShellBevelTop = qRgb(92, 88, 80);
    t.ShellBevelBottom = qRgb(22, 22, 24);
    t.GlossAlphaTop = 24;
    t.GlossAlphaBottom = 2;
    t.WellShadow = qRgb(0, 0, 0);
    t.WellHighlight = qRgb(70, 66, 60);
    t.TickerFaceTop = qRgb(14, 10, 4);
    t.TickerFaceBottom = qRgb(30, 20, 6);
    t.TickerGlow = qRgb(255, 170, 40);
    t.TitleStripTop = qRgb(250, 236, 206);
    t.TitleStripBottom = qRgb(226, 206, 168);
    t.Accent = qRgb(255, 170, 30);
    t.AccentBright = qRgb(255, 220, 140);
    t.AccentDeep = qRgb(190, 110, 0);
    t.RingTrack = qRgb(34, 32, 30);
    t.RingTrackEdge = qRgb(56, 52, 46);
    t.PodOuter = qRgb(12, 12, 14);
    t.PodInner = qRgb(40, 40, 44);
    t.SearchFaceLight = qRgb(255, 214, 120);
    t.SearchFaceMiddle = qRgb(236, 150, 20);
    t.SearchFaceDark = qRgb(150, 84, 0);
    t.SearchHoverLight = qRgb(255, 236, 170);
    t.SearchHoverMiddle = qRgb(255, 184, 50);
    t.SearchHoverDark = qRgb(190, 110, 0);
    t.SearchPressedLight = qRgb(200, 120, 10);
    t.SearchPressedDark = qRgb(110, 60, 0);
    t.SearchGlyph = qRgb(36, 24, 8);
    t.SearchGlyphPressed = qRgb(30, 20, 6);
    t.PlateTop = qRgb(58, 58, 64);
    t.PlateBottom = qRgb(28, 28, 32);
    t.PlateHoverTop = qRgb(80, 70, 52);
    t.PlateHoverBottom = qRgb(44, 36, 24);
    t.PlatePressedTop = qRgb(10, 10, 12);
    t.PlatePressedBottom = qRgb(34, 30, 26);
    t.PlateBorder = qRgb(0, 0, 0);
    t.PlateGlyph = qRgb(200, 196, 188);
    t.PlateGlyphHover = qRgb(255, 214, 130);
    t.BrandText = qRgb(250, 244, 232);
    t.BrandSubtle = qRgb(150, 140, 124);
    return t;
}

// Carnival: violet to teal with a hot pink button and a yellow ring; a round, large-cornered outline.
SkinTheme carnival()
{
    SkinTheme t;
    t.name = QStringLiteral("carnival");
    t.PanelRadius = 22;
    t.TabRadius = 11;
    t.Body = stops({ { 0, qRgb(150, 60, 200) }, { 0.5, qRgb(92, 34, 150) }, { 1, qRgb(44, 16, 92) } });
    t.ShellEdge = qRgb(30, 8, 60);
    t.ShellBevelTop = qRgb(230, 170, 255);
    t.ShellBevelBottom = qRgb(60, 20, 110);
    t.GlossAlphaTop = 60;
    t.GlossAlphaBottom = 6;
    t.WellShadow = qRgb(26, 6, 52);
    t.WellHighlight = qRgb(200, 140, 250);
    t.TickerFaceTop = qRgb(10, 40, 50);
    t.TickerFaceBottom = qRgb(0, 56, 70);
    t.TickerGlow = qRgb(0, 170, 190);
    t.TitleStripTop = qRgb(255, 246, 200);
    t.TitleStripBottom = qRgb(255, 226, 140);
    t.Accent = qRgb(255, 220, 0);
    t.AccentBright = qRgb(255, 250, 170);
    t.AccentDeep = qRgb(220, 160, 0);
    t.RingTrack = qRgb(60, 24, 110);
    t.RingTrackEdge = qRgb(96, 50, 150);
    t.PodOuter = qRgb(40, 130, 150);
    t.PodInner = qRgb(0, 180, 190);
    t.SearchFaceLight = qRgb(255, 160, 220);
    t.SearchFaceMiddle = qRgb(236, 60, 160);
    t.SearchFaceDark = qRgb(140, 20, 110);
    t.SearchHoverLight = qRgb(255, 200, 240);
    t.SearchHoverMiddle = qRgb(250, 100, 200);
    t.SearchHoverDark = qRgb(170, 30, 140);
    t.SearchPressedLight = qRgb(200, 50, 150);
    t.SearchPressedDark = qRgb(100, 10, 80);
    t.SearchGlyph = qRgb(255, 255, 255);
    t.SearchGlyphPressed = qRgb(250, 220, 240);
    t.PlateTop = qRgb(0, 190, 190);
    t.PlateBottom = qRgb(0, 120, 140);
    t.PlateHoverTop = qRgb(90, 240, 230);
    t.PlateHoverBottom = qRgb(0, 160, 170);
    t.PlatePressedTop = qRgb(0, 70, 84);
    t.PlatePressedBottom = qRgb(0, 120, 130);
    t.PlateBorder = qRgb(20, 20, 70);
    t.PlateGlyph = qRgb(255, 255, 255);
    t.PlateGlyphHover = qRgb(255, 255, 200);
    t.ExitGlyphHover = qRgb(255, 240, 120);
    t.ExitRimHover = qRgb(255, 220, 0);
    t.BrandText = qRgb(255, 255, 255);
    t.BrandSubtle = qRgb(255, 220, 120);
    return t;
}

} // namespace

QList<SkinTheme> SkinTheme::bundled()
{
    return { pearl(), midnight(), carnival() };
}

} // namespace kivaro
