#include "assetcatalogue.h"
#include "kivaroassets.h"
#include "platform/devicepicture.h"
#include "skinlayout.h"
#include "skintheme.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace kivaro;
using namespace kivaro::skinlayout;

namespace {

constexpr QRgb Cut = qRgb(255, 0, 0);
// Closer than this to pure red a pixel could pass for the see-through colour by eye, and would
// fringe the outline.
constexpr double NearRed = 60;
// Normal text wants at least 4.5 : 1 against its ground to be read easily.
constexpr double ReadableContrast = 4.5;
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Navy = qRgb(3, 16, 103);
// Four pixels of a twin averaged are the picture's pixel when no channel is further off than this
// (the finer drawing moves antialiased edges and gradient steps a little).
constexpr int SameColour = 24;
// What a small picture (a title-bar button's corner, the history glyph's antialiased edge) may differ
// by besides.
constexpr int FewPixels = 8;

// Where a picture is kept: built in under ":/", or, for the bundled skins, a file in assets/.
QString location(const QString &path)
{
    return path.startsWith(QLatin1String("skins/")) ? QStringLiteral(KIVARO_SOURCE_DIR "/assets/") + path
                                                    : QStringLiteral(":/") + path;
}

QImage resource(const QString &path)
{
    return QImage(location(path)).convertToFormat(QImage::Format_ARGB32);
}

// Opaque pictures are stored without an alpha channel, so the window's colour key alone decides
// what is see-through.
bool storedOpaque(const QString &path)
{
    return !QImage(location(path)).hasAlphaChannel();
}

// A picture of the program's own skin (skinName empty) or of a bundled skin, by its design name;
// at scale 2 its "@2x" twin.
QImage skin(const QString &skinName, const QString &designName, int scale = 1)
{
    const QString path = skinName.isEmpty() ? AssetCatalogue::skinPath(designName)
                                            : QStringLiteral("skins/") + skinName + QLatin1Char('/')
            + AssetCatalogue::skinKey(designName) + QStringLiteral(".png");
    return resource(scale == 1 ? path : AssetCatalogue::twinPath(path));
}

// The program's own skin and every bundled one.
QStringList allSkins()
{
    QStringList names{QString()};
    for (const SkinTheme &theme : SkinTheme::bundled())
        names << theme.name;
    return names;
}

QString rowName(const QString &skinName, const QString &what)
{
    return (skinName.isEmpty() ? QStringLiteral("own") : skinName) + QLatin1Char(' ') + what;
}

bool isCut(QRgb pixel)
{
    return qAlpha(pixel) == 255 && (pixel & RGB_MASK) == (Cut & RGB_MASK);
}

double distanceToRed(QRgb pixel)
{
    return std::hypot(255 - qRed(pixel), qGreen(pixel), qBlue(pixel));
}

double luminance(QRgb pixel)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) + 0.0722 * linear(qBlue(pixel));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<QPoint> border(const QRect &rect)
{
    QList<QPoint> points;
    for (int x = rect.left(); x <= rect.right(); ++x)
        points << QPoint(x, rect.top()) << QPoint(x, rect.bottom());
    for (int y = rect.top() + 1; y < rect.bottom(); ++y)
        points << QPoint(rect.left(), y) << QPoint(rect.right(), y);
    return points;
}

int differingPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AssetCatalogue> m_catalogue;

    void addPictureRows(bool opaqueOnly)
    {
        QTest::addColumn<QString>("path");
        for (const AssetCatalogue::Entry &entry : m_catalogue->entries()) {
            if (!opaqueOnly || entry.opaque)
                QTest::newRow(qPrintable(entry.path)) << entry.path;
        }
    }

    void addLookRows(bool bothScales = false)
    {
        QTest::addColumn<QString>("skinName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<int>("scale");
        const QList<std::pair<QStringList, QRect>> looks = {
            {{QStringLiteral("En"), QStringLiteral("Eo"), QStringLiteral("Ed")}, MenuButton},
            {{QStringLiteral("Dn"), QStringLiteral("Doo"), QStringLiteral("Dd")}, MinimiseButton},
            {{QStringLiteral("Xn"), QStringLiteral("Xo"), QStringLiteral("Xd")}, ExitButton}};
        for (const int scale : bothScales ? QList<int> { 1, 2 } : QList<int> { 1 }) {
            const QString at = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            for (const QString &skinName : allSkins()) {
                for (const auto &[names, place] : looks)
                    for (const QString &name : names)
                        QTest::newRow(qPrintable(rowName(skinName, name + at)))
                            << skinName << name << place << scale;
                for (int frame = 0; frame < ProgressFrameCount; ++frame)
                    QTest::newRow(qPrintable(rowName(skinName, QStringLiteral("P%1").arg(frame) + at)))
                        << skinName << QStringLiteral("P%1").arg(frame) << SearchButton << scale;
            }
        }
    }

    // One row per skin, with a column of names.
    static void addSkinRows(const char *column, const QList<std::pair<const char *, QString>> &rows)
    {
        QTest::addColumn<QString>("skinName");
        QTest::addColumn<QString>(column); // kept by pointer: a literal
        for (const QString &skinName : allSkins())
            for (const auto &[row, value] : rows)
                QTest::newRow(qPrintable(rowName(skinName, QLatin1String(row)))) << skinName << value;
    }

private Q_SLOTS:
    void initTestCase()
    {
        initAssets();
        m_catalogue = std::make_unique<AssetCatalogue>();
        QVERIFY2(m_catalogue->isReady(), qPrintable(m_catalogue->error()));
    }

    void resourceHasItsSize_data() { addPictureRows(false); }
    void resourceHasItsSize()
    {
        QFETCH(QString, path);
        const QImage image = resource(path);
        QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(" is not among the resources")));
        const AssetCatalogue::Entry *entry = nullptr;
        for (const AssetCatalogue::Entry &candidate : m_catalogue->entries())
            entry = candidate.path == path ? &candidate : entry;
        QVERIFY(entry);
        QCOMPARE(image.size(), entry->size);
        QCOMPARE(storedOpaque(path), entry->opaque);
    }

    void designSizes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("background") << QStringLiteral("skin/IMn.png") << QSize(391, 103);
        QTest::newRow("pressed background") << QStringLiteral("skin/IMd.png") << QSize(391, 103);
        QTest::newRow("hover background") << QStringLiteral("skin/ImGo.png") << QSize(391, 103);
        QTest::newRow("menu") << QStringLiteral("skin/Eo.png") << QSize(36, 29);
        QTest::newRow("minimise") << QStringLiteral("skin/Doo.png") << QSize(36, 29);
        QTest::newRow("exit") << QStringLiteral("skin/Xd.png") << QSize(37, 30);
        QTest::newRow("progress") << QStringLiteral("skin/P5.png") << QSize(68, 70);
        QTest::newRow("history") << QStringLiteral("skin/history.png") << QSize(13, 12);
        QTest::newRow("cursor") << QStringLiteral("cursors/pointing-hand-hotspot-5-0.png") << QSize(32, 32);
        QTest::newRow("splash") << QStringLiteral("splash.png") << QSize(500, 300);
        QTest::newRow("small icon") << QStringLiteral("icons/kivaro-64.png") << QSize(64, 64);
        QTest::newRow("large icon") << QStringLiteral("icons/kivaro-256.png") << QSize(256, 256);
    }
    void designSizes()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QCOMPARE(resource(path).size(), size);
    }

    // The committed pictures are what the generator draws today, pixel for pixel: a change to the
    // drawing code without remaking the files fails here.
    void resourceMatchesGenerator_data() { addPictureRows(false); }
    void resourceMatchesGenerator()
    {
        QFETCH(QString, path);
        const QImage drawn = m_catalogue->paint(path);
        const QImage stored = resource(path);
        QCOMPARE(drawn.size(), stored.size());
        const int differing = differingPixels(drawn, stored);
        QVERIFY2(differing == 0,
                 qPrintable(QStringLiteral("%1 pixels differ; remake the pictures with kivaro-make-assets assets/")
                                .arg(differing)));
    }

    void resourceListIsCurrent()
    {
        QFile committed(QStringLiteral(KIVARO_SOURCE_DIR "/assets/kivaro.qrc"));
        QVERIFY(committed.open(QIODevice::ReadOnly));
        QCOMPARE(committed.readAll(), m_catalogue->resourceList());

        QSet<QString> built;
        for (const QString &folder : {QStringLiteral(":/skin"), QStringLiteral(":/cursors"), QStringLiteral(":/icons")}) {
            QDirIterator it(folder, QDirIterator::Subdirectories);
            while (it.hasNext())
                built.insert(it.next().mid(2));
        }
        if (QFile::exists(QStringLiteral(":/splash.png")))
            built.insert(QStringLiteral("splash.png"));
        QSet<QString> listed;
        for (const AssetCatalogue::Entry &entry : m_catalogue->entries()) {
            if (entry.resource)
                listed.insert(entry.path);
        }
        QCOMPARE(built, listed);
    }

    // Each bundled skin is a marker and a folder of exactly the twenty pictures a skin can hold.
    void bundledSkinsAreComplete_data()
    {
        QTest::addColumn<QString>("skinName");
        for (const SkinTheme &theme : SkinTheme::bundled())
            QTest::newRow(qPrintable(theme.name)) << theme.name;
        QCOMPARE(SkinTheme::bundled().size(), 3);
    }
    void bundledSkinsAreComplete()
    {
        QFETCH(QString, skinName);
        const QDir skins(QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins"));
        QVERIFY(QFileInfo(skins.filePath(skinName + QStringLiteral(".skn"))).isFile());
        // Each with its "@2x" twin; "." sorts before "@".
        QCOMPARE(QDir(skins.filePath(skinName)).entryList(QDir::Files, QDir::Name),
                 QString::fromLatin1("DD DN DOO ED EN EO IMD IMN IMO P0 P1 P2 P3 P4 P5 P6 P7 XD XN XO")
                     .split(QLatin1Char(' '))
                     .replaceInStrings(QRegularExpression(QStringLiteral("^(.+)$")),
                                       QStringLiteral("\\1.png \\1@2x.png"))
                     .join(QLatin1Char(' '))
                     .split(QLatin1Char(' ')));
        // Skins differ from the program's own pictures and from one another.
        for (const QString &other : allSkins()) {
            if (other != skinName)
                QVERIFY(skin(skinName, QStringLiteral("IMn")) != skin(other, QStringLiteral("IMn")));
        }
    }

    // Pure red is the window's see-through colour; anything close to it would be a visible fringe
    // (or look like a hole that does not take the click through).
    void noPixelNearRed_data() { addPictureRows(false); }
    void noPixelNearRed()
    {
        QFETCH(QString, path);
        const QImage image = resource(path);
        const bool opaque = storedOpaque(path);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0 || (opaque && isCut(pixel)))
                    continue;
                const double distance = distanceToRed(qUnpremultiply(pixel));
                if (distance <= NearRed)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 (%3) is %4 from pure red")
                                         .arg(x)
                                         .arg(y)
                                         .arg(QString::number(pixel, 16))
                                         .arg(distance)));
            }
        }
    }

    void backgroundCutsTheOutline_data()
    {
        addSkinRows("name", {{"normal", QStringLiteral("IMn")},
                                             {"pressed", QStringLiteral("IMd")},
                                             {"hover", QStringLiteral("ImGo")}});
    }
    void backgroundCutsTheOutline()
    {
        QFETCH(QString, skinName);
        QFETCH(QString, name);
        const QImage image = skin(skinName, name);
        const QRect all = image.rect();
        for (const QPoint corner : {all.topLeft(), all.topRight(), all.bottomLeft(), all.bottomRight()})
            QVERIFY2(isCut(image.pixel(corner)), qPrintable(QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y())));

        // Nothing the window puts on the background may fall into a see-through part.
        const QRect elements[] = {SearchBox, HistoryFrame, QRect(NowPlayingLabel, QSize(64, 13)),
                                  QRect(TitleLink, QSize(200, 13)), QRect(Ticker.topLeft(), QSize(190, 12)),
                                  MenuButton.adjusted(PlateInset, PlateInset, -PlateInset, -PlateInset),
                                  MinimiseButton.adjusted(PlateInset, PlateInset, -PlateInset, -PlateInset),
                                  ExitButton.adjusted(PlateInset, PlateInset, -PlateInset, -PlateInset)};
        for (const QRect &element : elements)
            for (int y = element.top(); y <= element.bottom(); ++y)
                for (int x = element.left(); x <= element.right(); ++x)
                    QVERIFY2(!isCut(image.pixel(x, y)), qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));

        // The round search button itself is solid.
        for (int y = SearchButton.top(); y <= SearchButton.bottom(); ++y)
            for (int x = SearchButton.left(); x <= SearchButton.right(); ++x)
                if (std::hypot(x + 0.5 - SearchCentre.x(), y + 0.5 - SearchCentre.y()) < RingOuterRadius)
                    QVERIFY(!isCut(image.pixel(x, y)));
    }

    // A look is shown on top of the background; its outermost pixels equal the background there,
    // so no seam shows and the outline stays cut where it was.
    void looksFitTheBackground_data() { addLookRows(true); }
    void looksFitTheBackground()
    {
        QFETCH(QString, skinName);
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(int, scale);
        const QImage look = skin(skinName, name, scale);
        const QImage background = skin(skinName, QStringLiteral("IMn"), scale);
        QCOMPARE(look.size(), place.size() * scale);
        for (const QPoint &p : border(look.rect()))
            QVERIFY2(look.pixel(p) == background.pixel(p + place.topLeft() * scale),
                     qPrintable(QStringLiteral("edge pixel %1,%2").arg(p.x()).arg(p.y())));
        const QPoint middle = look.rect().center();
        QVERIFY(!isCut(look.pixel(middle)));
    }

    void looksAreDistinct_data()
    {
        addSkinRows("names", {{"menu", QStringLiteral("En Eo Ed")},
                                              {"minimise", QStringLiteral("Dn Doo Dd")},
                                              {"exit", QStringLiteral("Xn Xo Xd")},
                                              {"search button", QStringLiteral("IMn ImGo IMd")}});
    }
    void looksAreDistinct()
    {
        QFETCH(QString, skinName);
        QFETCH(QString, names);
        const QStringList looks = names.split(QLatin1Char(' '));
        for (int i = 0; i < looks.size(); ++i)
            for (int j = i + 1; j < looks.size(); ++j)
                QVERIFY2(skin(skinName, looks.at(i)) != skin(skinName, looks.at(j)),
                         qPrintable(looks.at(i) + QStringLiteral(" looks like ") + looks.at(j)));
    }

    // The normal background is also what shows under the title-bar buttons, so it carries their
    // normal looks.
    void backgroundShowsNormalButtons_data() { addLookRows(); }
    void backgroundShowsNormalButtons()
    {
        QFETCH(QString, skinName);
        QFETCH(QString, name);
        QFETCH(QRect, place);
        const QImage background = skin(skinName, QStringLiteral("IMn"));
        const bool normal = name == QLatin1String("En") || name == QLatin1String("Dn") || name == QLatin1String("Xn");
        QCOMPARE(skin(skinName, name) == background.copy(place), normal);
    }

    // The pressed and lit backgrounds change the search button only.
    void backgroundsDifferOnlyAtTheSearchButton_data()
    {
        addSkinRows("name", {{"pressed", QStringLiteral("IMd")}, {"hover", QStringLiteral("ImGo")}});
    }
    void backgroundsDifferOnlyAtTheSearchButton()
    {
        QFETCH(QString, skinName);
        QFETCH(QString, name);
        const QImage normal = skin(skinName, QStringLiteral("IMn"));
        const QImage other = skin(skinName, name);
        int inside = 0;
        for (int y = 0; y < normal.height(); ++y) {
            for (int x = 0; x < normal.width(); ++x) {
                if (normal.pixel(x, y) == other.pixel(x, y))
                    continue;
                QVERIFY2(SearchButton.adjusted(1, 1, -1, -1).contains(x, y),
                         qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
                ++inside;
            }
        }
        QVERIFY(inside > 0);
    }

    // Each progress frame lights more than the one before; the last is complete.
    void progressGrows_data() { addSkinRows("unused", {{"frames", QString()}}); }
    void progressGrows()
    {
        QFETCH(QString, skinName);
        const auto skin = [&skinName](const QString &name) { return ::skin(skinName, name); };
        const QImage empty = skin(QStringLiteral("IMn")).copy(SearchButton);
        int previous = 0;
        for (int frame = 0; frame < ProgressFrameCount; ++frame) {
            const int lit = differingPixels(skin(QStringLiteral("P%1").arg(frame)), empty);
            QVERIFY2(lit > previous, qPrintable(QStringLiteral("frame %1").arg(frame)));
            previous = lit;
        }
        // Eight equal segments: the full ring lights about eight times what the first frame does.
        const int first = differingPixels(skin(QStringLiteral("P0")), empty);
        QVERIFY(previous > 7 * first && previous < 9 * first);
    }

    void textReadsOnItsGround_data()
    {
        QTest::addColumn<QString>("skinName");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRgb>("text");
        for (const QString &skinName : allSkins()) {
            QTest::newRow(qPrintable(rowName(skinName, QStringLiteral("Now Playing"))))
                << skinName << QRect(NowPlayingLabel, QSize(63, 13)) << White;
            QTest::newRow(qPrintable(rowName(skinName, QStringLiteral("title link"))))
                << skinName << QRect(TitleLink + QPoint(1, 0), QSize(205, 13)) << Navy;
            QTest::newRow(qPrintable(rowName(skinName, QStringLiteral("ticker"))))
                << skinName << QRect(Ticker.topLeft(), QSize(190, 12)) << White;
        }
    }
    void textReadsOnItsGround()
    {
        QFETCH(QString, skinName);
        QFETCH(QRect, area);
        QFETCH(QRgb, text);
        for (const QString &name : {QStringLiteral("IMn"), QStringLiteral("IMd"), QStringLiteral("ImGo")}) {
            const QImage background = skin(skinName, name);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    QVERIFY2(contrast(background.pixel(x, y), text) >= ReadableContrast,
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(name).arg(x).arg(y)));
        }
    }

    // Every "@2x" picture is its picture drawn with twice the pixels, under the name the program
    // looks for: averaged back to one pixel in four, all but a few pixels (where the finer drawing
    // falls on the other side of an edge) are the picture's, and it is no mere enlargement.
    void twinsAreTheirPicturesSharper_data()
    {
        QTest::addColumn<QString>("path");
        QSet<QString> paths;
        for (const AssetCatalogue::Entry &entry : m_catalogue->entries())
            paths << entry.path;
        for (const AssetCatalogue::Entry &entry : m_catalogue->entries())
            if (paths.contains(twinAt2x(entry.path)))
                QTest::newRow(qPrintable(entry.path)) << entry.path;
    }
    void twinsAreTheirPicturesSharper()
    {
        QFETCH(QString, path);
        const QImage picture = resource(path);
        const QImage sharp = resource(twinAt2x(path));
        QCOMPARE(sharp.size(), picture.size() * 2);
        int differing = 0;
        bool finer = false;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb four[] = { sharp.pixel(2 * x, 2 * y), sharp.pixel(2 * x + 1, 2 * y),
                                      sharp.pixel(2 * x, 2 * y + 1), sharp.pixel(2 * x + 1, 2 * y + 1) };
                finer = finer || four[0] != four[3];
                for (const int shift : { 0, 8, 16, 24 }) { // each channel
                    int sum = 2;
                    for (const QRgb p : four)
                        sum += int(p >> shift) & 0xff;
                    if (std::abs(sum / 4 - (int(picture.pixel(x, y) >> shift) & 0xff)) > SameColour) {
                        ++differing;
                        break;
                    }
                }
            }
        }
        QVERIFY(finer);
        QVERIFY2(differing <= picture.width() * picture.height() / 20 + FewPixels,
                 qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    }

    void cursorPointsWithItsFingertip()
    {
        const QImage hand = resource(QStringLiteral("cursors/pointing-hand-hotspot-5-0.png"));
        QVERIFY(!storedOpaque(QStringLiteral("cursors/pointing-hand-hotspot-5-0.png")));
        QCOMPARE(qAlpha(hand.pixel(PointingHandHotSpot)), 255);
        // The fingertip is the hand's top, and narrow.
        int topRowCovered = 0;
        for (int x = 0; x < hand.width(); ++x)
            topRowCovered += qAlpha(hand.pixel(x, 0)) > 0;
        QVERIFY(topRowCovered > 0 && topRowCovered <= 7);
        for (int x = 0; x < hand.width(); ++x)
            if (qAlpha(hand.pixel(x, 0)) > 0)
                QVERIFY(std::abs(x - PointingHandHotSpot.x()) <= 3);
        // A white hand in a black outline: both must be there to show on any ground.
        QCOMPARE(hand.pixel(5, 5), qRgba(255, 255, 255, 255));
        QCOMPARE(qAlpha(hand.pixel(hand.width() - 1, 0)), 0);
        QCOMPARE(qAlpha(hand.pixel(hand.width() - 1, hand.height() - 1)), 0);
    }

    void iconsStandOnTransparency_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("64") << QStringLiteral("icons/kivaro-64.png");
        QTest::newRow("256") << QStringLiteral("icons/kivaro-256.png");
    }
    void iconsStandOnTransparency()
    {
        QFETCH(QString, path);
        const QImage icon = resource(path);
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(icon.width() - 1, icon.height() - 1)), 0);
        QCOMPARE(qAlpha(icon.pixel(icon.rect().center())), 255);
    }

    void historyGlyphLetsTheFrameShow()
    {
        const QImage glyph = skin(QString(), QStringLiteral("history"));
        QCOMPARE(qAlpha(glyph.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(glyph.pixel(glyph.width() - 1, glyph.height() - 1)), 0);
        // The arrow sits in the middle and points down: wider at its top than at its bottom.
        const auto width = [&glyph](int y) {
            int covered = 0;
            for (int x = 0; x < glyph.width(); ++x)
                covered += qAlpha(glyph.pixel(x, y)) >= 128;
            return covered;
        };
        QVERIFY(width(4) > width(7));
        QVERIFY(width(7) > 0);
    }
};

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
