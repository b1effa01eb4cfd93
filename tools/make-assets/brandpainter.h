#pragma once

#include <QImage>

class QPainter;

namespace kivaro {

class ArtworkFonts;

// The product's own pictures: the start-up splash and the program icon. Both carry the brand
// mark, the search button's progress ring filled all the way round a play triangle.
class BrandPainter
{
public:
    explicit BrandPainter(const ArtworkFonts &fonts);

    // 500 x 300, opaque.
    QImage splash() const;
    // size x size with a transparent ground, for the desktop entry.
    QImage icon(int size) const;

private:
    static void paintMark(QPainter &painter, QPointF centre, double radius);

    const ArtworkFonts &m_fonts;
};

} // namespace kivaro
