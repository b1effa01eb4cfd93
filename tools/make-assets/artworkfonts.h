#pragma once

#include <QFont>
#include <QPainterPath>
#include <QString>

namespace kivaro {

// The fonts the pictures are lettered in. Liberation Sans is loaded from its file rather than
// picked by family name, and text is turned into outlines before it is filled, so neither the
// machine's font configuration nor its hinting or subpixel settings can change a single pixel:
// the generator and the tests must draw the very same pictures everywhere.
class ArtworkFonts
{
public:
    ArtworkFonts();

    bool isLoaded() const { return !m_family.isEmpty() && !m_boldFamily.isEmpty(); }
    QString error() const { return m_error; }

    QFont regular(int pixelSize) const;
    QFont bold(int pixelSize) const;

    // The outline of text whose baseline starts at origin.
    static QPainterPath outline(const QFont &font, QPointF origin, const QString &text);
    static double advance(const QFont &font, const QString &text);

private:
    QString load(const QString &fileName);

    QString m_family;
    QString m_boldFamily;
    QString m_error;
};

} // namespace kivaro
