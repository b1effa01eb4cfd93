#include "assetcatalogue.h"

#include "brandpainter.h"
#include "cursorpainter.h"
#include "skinlayout.h"
#include "skinpainter.h"
#include "skintheme.h"

namespace kivaro {

namespace {

constexpr int SmallIcon = 64;
constexpr int LargeIcon = 256;
// The window's pictures are also drawn with twice the pixels each way, for screens that show two
// device pixels to the logical pixel (or between one and two, which take them scaled down).
constexpr int SharpScale = 2;

} // namespace

QString AssetCatalogue::skinPath(const QString &designName)
{
    return QStringLiteral("skin/") + designName + QStringLiteral(".png");
}

AssetCatalogue::AssetCatalogue()
{
    // The program's own pictures under the names the window's stored pictures go by.
    addSkin(SkinTheme::design(), [](const QString &designName) { return skinPath(designName); });
    const ArtworkFonts *fonts = &m_fonts;
    for (const int scale : { 1, SharpScale }) {
        const QString path = QStringLiteral("skin/history.png");
        m_entries.append({ scale == 1 ? path : twinPath(path), skinlayout::HistoryGlyph.size() * scale, false,
                           [fonts, scale] {
                               return SkinPainter(*fonts, SkinTheme::design(), scale).historyGlyph();
                           } });
    }
    m_entries.append(
        { QStringLiteral("cursors/pointing-hand-hotspot-5-0.png"), skinlayout::Cursor, false, [] {
             return CursorPainter::pointingHand();
         } });
    m_entries.append({ QStringLiteral("splash.png"), skinlayout::Splash, true, [fonts] {
                          return BrandPainter(*fonts).splash().convertToFormat(QImage::Format_ARGB32);
                      } });
    for (const int size : { SmallIcon, LargeIcon })
        m_entries.append(
            { QStringLiteral("icons/kivaro-%1.png").arg(size), QSize(size, size), false, [fonts, size] {
                 return BrandPainter(*fonts).icon(size);
             } });

    // The bundled skins: files beside the program, not built in.
    for (const SkinTheme &theme : SkinTheme::bundled()) {
        m_skinMarkers.append(QStringLiteral("skins/") + theme.name + QStringLiteral(".skn"));
        addSkin(
            theme,
            [folder = QString(QStringLiteral("skins/") + theme.name)](const QString &designName) -> QString {
                return folder + QLatin1Char('/') + skinKey(designName) + QStringLiteral(".png");
            });
    }
    for (Entry &entry : m_entries)
        entry.resource = !entry.path.startsWith(QLatin1String("skins/"));
}

QString AssetCatalogue::twinPath(const QString &path)
{
    QString twin = path;
    return twin.insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
}

void AssetCatalogue::addSkin(const SkinTheme &theme, const std::function<QString(const QString &)> &pathOf)
{
    for (const int scale : { 1, SharpScale }) {
        addSkin(
            theme,
            [&pathOf, scale](const QString &designName) {
                return scale == 1 ? pathOf(designName) : twinPath(pathOf(designName));
            },
            scale);
    }
}

void AssetCatalogue::addSkin(const SkinTheme &theme, const std::function<QString(const QString &)> &pathOf,
                             int scale)
{
    using Look = SkinPainter::Look;
    using Button = SkinPainter::TitleButton;
    // The painters are cheap to make; each entry makes its own so entries stay independent.
    const ArtworkFonts *fonts = &m_fonts;
    const auto skin = [fonts, theme, scale] {
        return SkinPainter(*fonts, theme, scale);
    };

    const auto addBackground = [&](const QString &name, Look look) {
        m_entries.append({ pathOf(name), skinlayout::Background * scale, true, [skin, look] {
                              return skin().background(look).convertToFormat(QImage::Format_ARGB32);
                          } });
    };
    addBackground(QStringLiteral("IMn"), Look::Normal);
    addBackground(QStringLiteral("IMd"), Look::Pressed);
    addBackground(QStringLiteral("ImGo"), Look::Hover);

    // The names the window's stored pictures go by: normal, under the mouse, pressed.
    const struct
    {
        Button button;
        const char *normal;
        const char *hover;
        const char *pressed;
    } buttons[] = { { Button::Menu, "En", "Eo", "Ed" },
                    { Button::Minimise, "Dn", "Doo", "Dd" },
                    { Button::Exit, "Xn", "Xo", "Xd" } };
    for (const auto &button : buttons) {
        const QSize size = SkinPainter::titleButtonRect(button.button).size() * scale;
        const std::pair<const char *, Look> looks[] = { { button.normal, Look::Normal },
                                                        { button.hover, Look::Hover },
                                                        { button.pressed, Look::Pressed } };
        for (const auto &[name, look] : looks) {
            const Button which = button.button;
            const Look how = look;
            m_entries.append(
                { pathOf(QLatin1String(name)), size, true, [skin, which, how] {
                     return skin().titleButton(which, how).convertToFormat(QImage::Format_ARGB32);
                 } });
        }
    }

    for (int frame = 0; frame < skinlayout::ProgressFrameCount; ++frame)
        m_entries.append({ pathOf(QStringLiteral("P") + QString::number(frame)),
                           skinlayout::ProgressFrame * scale, true, [skin, frame] {
                               return skin().progressFrame(frame).convertToFormat(QImage::Format_ARGB32);
                           } });
}

QString AssetCatalogue::skinKey(const QString &designName)
{
    // A skin folder's file names its stored picture by key: the name in capitals, but "IMO" for
    // the lit background ImGo.
    return designName == QLatin1String("ImGo") ? QStringLiteral("IMO") : designName.toUpper();
}

QImage AssetCatalogue::paint(const QString &path) const
{
    for (const Entry &entry : m_entries) {
        if (entry.path == path)
            return entry.paint();
    }
    return {};
}

QByteArray AssetCatalogue::resourceList() const
{
    QByteArray text = "<!DOCTYPE RCC>\n"
                      "<!-- Written by kivaro-make-assets; remake it with the pictures. -->\n"
                      "<RCC version=\"1.0\">\n"
                      "  <qresource prefix=\"/\">\n";
    for (const Entry &entry : m_entries) {
        if (!entry.resource)
            continue;
        text += "    <file>" + entry.path.toUtf8() + "</file>\n";
    }
    text += "  </qresource>\n"
            "</RCC>\n";
    return text;
}

} // namespace kivaro
