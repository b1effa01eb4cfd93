#pragma once

#include "artworkfonts.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

namespace kivaro {

struct SkinTheme;

// Every picture the program carries, by its path inside assets/ (which is also its resource path
// under ":/"), with its size and how it is drawn. The generator writes these files and the
// resource list; the tests draw them again and compare.
class AssetCatalogue
{
public:
    struct Entry
    {
        QString path;
        QSize size;
        // Opaque pictures may use pure red for the window's see-through outline; the others have
        // an alpha channel instead.
        bool opaque = true;
        std::function<QImage()> paint;
        // Built into the program (listed in kivaro.qrc); a bundled skin's pictures are files.
        bool resource = true;
    };

    AssetCatalogue();
    // Entries draw with the catalogue's fonts, so it stays where it was made.
    Q_DISABLE_COPY_MOVE(AssetCatalogue)

    const ArtworkFonts &fonts() const { return m_fonts; }

    bool isReady() const { return m_fonts.isLoaded(); }
    QString error() const { return m_fonts.error(); }

    const QList<Entry> &entries() const { return m_entries; }
    // The drawing of one entry, as QImage::Format_ARGB32; a null image for an unknown path.
    QImage paint(const QString &path) const;
    // The resource list (kivaro.qrc) naming every entry.
    QByteArray resourceList() const;

    static QString skinPath(const QString &designName);
    // The name of a picture's twin with twice its pixels, as Qt names them: "skin/IMn@2x.png".
    static QString twinPath(const QString &path);
    // The file key of a stored picture in a skin folder (IMn: "IMN", ImGo: "IMO").
    static QString skinKey(const QString &designName);
    // The marker files of the bundled skins ("skins/<name>.skn"), each beside its folder.
    const QStringList &skinMarkers() const { return m_skinMarkers; }

private:
    // A skin's pictures at both scales.
    void addSkin(const SkinTheme &theme, const std::function<QString(const QString &)> &pathOf);
    void addSkin(const SkinTheme &theme, const std::function<QString(const QString &)> &pathOf, int scale);

    ArtworkFonts m_fonts;
    QList<Entry> m_entries;
    QStringList m_skinMarkers;
};

} // namespace kivaro
