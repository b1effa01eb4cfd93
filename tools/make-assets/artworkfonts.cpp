#include "artworkfonts.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>

namespace kivaro {

namespace {

// Debian's fonts-liberation2; the same files on every machine that builds the project.
constexpr QLatin1String FontFolder("/usr/share/fonts/truetype/liberation2/");
constexpr QLatin1String RegularFile("LiberationSans-Regular.ttf");
constexpr QLatin1String BoldFile("LiberationSans-Bold.ttf");

QFont makeFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    return font;
}

} // namespace

ArtworkFonts::ArtworkFonts()
    : m_family(load(QString(FontFolder + RegularFile)))
    , m_boldFamily(load(QString(FontFolder + BoldFile)))
{
}

QString ArtworkFonts::load(const QString &fileName)
{
    if (!QFileInfo::exists(fileName)) {
        m_error = fileName + QStringLiteral(" is missing (Debian package fonts-liberation2)");
        return {};
    }
    const int id = QFontDatabase::addApplicationFont(fileName);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (id < 0 || families.isEmpty()) {
        m_error = fileName + QStringLiteral(" could not be loaded");
        return {};
    }
    return families.constFirst();
}

QFont ArtworkFonts::regular(int pixelSize) const
{
    return makeFont(m_family, pixelSize, false);
}

QFont ArtworkFonts::bold(int pixelSize) const
{
    return makeFont(m_boldFamily, pixelSize, true);
}

QPainterPath ArtworkFonts::outline(const QFont &font, QPointF origin, const QString &text)
{
    QPainterPath path;
    path.addText(origin, font, text);
    return path;
}

double ArtworkFonts::advance(const QFont &font, const QString &text)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

} // namespace kivaro
