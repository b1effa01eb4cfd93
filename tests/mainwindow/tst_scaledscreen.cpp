// The main window and the drawn controls on a scaled screen. CTest runs this at QT_SCALE_FACTOR 1.5
// and 2: the window's elements keep their places in logical pixels and take the "@2x" pictures,
// what the window shows has no fringe of the see-through colour and cuts its outline where the
// pictures do (also for a skin without "@2x" pictures), a skin's twins are taken only when they
// are what they claim, and the controls' looks are clean scales of their pixel-exact drawings.

#include "controls/progressbar/usercontrol1.h"
#include "controls/xpbutton/xpbutton.h"
#include "form1rig.h"
#include "mainwindow/form1layout.h"
#include "mainwindow/skinloader.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

using namespace kivaro;
using namespace kivaro::test;

namespace {

constexpr QRgb Key = qRgb(255, 0, 0);
// Closer than this to the see-through colour a pixel would read as a red fringe.
constexpr double NearRed = 60;

bool isKey(QRgb pixel)
{
    return (pixel & RGB_MASK) == (Key & RGB_MASK);
}

double distanceToRed(QRgb pixel)
{
    return std::hypot(255 - qRed(pixel), qGreen(pixel), qBlue(pixel));
}

// The window's background as one logical pixel each: the picture from the top-left corner, the
// see-through colour beyond it.
QImage backgroundAtOneToOne(const QImage &picture)
{
    QImage window(form1layout::Window, QImage::Format_RGB32);
    window.fill(Key);
    QImage plain = picture;
    plain.setDevicePixelRatio(1);
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            window.setPixel(x, y, plain.pixel(x, y));
    return window;
}

// A folder with a copy of a bundled skin's pictures, without their "@2x" twins.
bool copySkinWithoutTwins(const QString &skin, const QString &to)
{
    const QDir from(QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins/") + skin);
    for (const QString &name : from.entryList({ QStringLiteral("*.png") }, QDir::Files)) {
        if (!name.contains(QLatin1Char('@'))
            && !QFile::copy(from.filePath(name), to + QLatin1Char('/') + name))
            return false;
    }
    return true;
}

using Looks = std::function<StoredLooks(const QString &folder)>;

// A picture file with a header claiming a size larger than any skin's.
QByteArray bmpClaiming(int side)
{
    QByteArray bmp(54, '\0');
    const auto put = [&bmp](int at, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + i] = char((value >> (8 * i)) & 0xff);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, 54, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, quint32(side), 4);
    put(22, quint32(side), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    return bmp;
}

} // namespace

Q_DECLARE_METATYPE(Looks)

class TestScaledScreen : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Rig> rig;
    qreal scale = 1;

    Form1 &form() { return rig->form(); }

private Q_SLOTS:
    void initTestCase()
    {
        scale = qApp->devicePixelRatio();
        if (scale <= 1)
            QSKIP("for a scaled screen: run with QT_SCALE_FACTOR=1.5 or 2");
    }

    void init()
    {
        rig = std::make_unique<Form1Rig>();
        rig->server.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, true, true }; });
    }
    void cleanup() { rig.reset(); }

    // The design's places in logical pixels, whatever the pictures' own pixels; the window's own
    // pictures are their twins.
    void elementsKeepTheirPlaces_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("background") << QStringLiteral("Picture1") << QRect(0, 0, 393, 105);
        QTest::newRow("search box") << QStringLiteral("Text1") << QRect(16, 35, 249, 14);
        QTest::newRow("search button") << QStringLiteral("Image1") << QRect(305, 16, 68, 70);
        QTest::newRow("history glyph") << QStringLiteral("Image2") << QRect(272, 37, 13, 12);
        QTest::newRow("menu button") << QStringLiteral("Eb") << QRect(234, 74, 36, 29);
        QTest::newRow("minimise button") << QStringLiteral("Db") << QRect(269, 73, 36, 29);
        QTest::newRow("exit button") << QStringLiteral("Xb") << QRect(269, 0, 37, 30);
    }
    void elementsKeepTheirPlaces()
    {
        QFETCH(QString, element);
        QFETCH(QRect, geometry);
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        // A frame on the search button, so it has a picture too.
        form().Image1->setPicture(form().looks().P[3]);
        auto *widget = form().findChild<QWidget *>(element);
        QCOMPARE(widget->geometry(), geometry);
        if (auto *picture = qobject_cast<PictureBox *>(widget))
            QCOMPARE(picture->picture().devicePixelRatio(), 2.0);
    }

    // What the window shows has no pixel near the see-through colour but the see-through ones, and
    // those are where the background's outline puts them: a device pixel well inside a cut part
    // (its logical pixel and all around it cut) is see-through, one well inside the window is not.
    void outlineWithoutFringe_data()
    {
        QTest::addColumn<Looks>("looks");
        QTest::addColumn<QString>("background");
        QTest::newRow("own pictures, @2x") << Looks([](const QString &) { return StoredLooks::defaults(); })
                                           << QStringLiteral(":/skin/IMn.png");
        QTest::newRow("plain pictures with a cut corner")
            << Looks([](const QString &) { return plainLooks(); }) << QString();
        QTest::newRow("a bundled skin without @2x pictures") << Looks([](const QString &folder) {
            StoredLooks looks = StoredLooks::defaults();
            SkinLoader loader(looks);
            for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name))
                loader.giveFile(folder, name);
            return looks;
        }) << QStringLiteral("IMN.png");
    }
    void outlineWithoutFringe()
    {
        QFETCH(Looks, looks);
        QFETCH(QString, background);
        QTemporaryDir skin;
        QVERIFY(copySkinWithoutTwins(QStringLiteral("pearl"), skin.path()));
        form().setLooks(looks(skin.path()));
        for (PictureBox *button : { form().Eb, form().Db, form().Xb })
            button->setPicture(QPixmap()); // the normal looks are the background's own
        form().Picture1->setPicture(form().looks().IMn);
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));

        const QImage reference = backgroundAtOneToOne(
            background.isEmpty()              ? form().looks().IMn.toImage()
                : background.startsWith(u':') ? QImage(background)
                                              : QImage(skin.path() + QLatin1Char('/') + background));
        QImage shown = form().grab().toImage();
        QCOMPARE(shown.devicePixelRatio(), scale);
        shown.setDevicePixelRatio(1);
        QCOMPARE(shown.size(), (QSizeF(form1layout::Window) * scale).toSize());
        const auto cutAround = [&reference](int x, int y) {
            int cut = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    cut += !reference.rect().contains(x + dx, y + dy)
                        || isKey(reference.pixel(x + dx, y + dy));
            return cut;
        };
        int keyPixels = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb pixel = shown.pixel(x, y);
                keyPixels += isKey(pixel);
                if (!isKey(pixel) && distanceToRed(pixel) <= NearRed)
                    QFAIL(qPrintable(QStringLiteral("fringe at %1,%2: %3").arg(x).arg(y).arg(pixel, 8, 16)));
                const int cut = cutAround(int((x + 0.5) / scale), int((y + 0.5) / scale));
                if (cut == 9)
                    QVERIFY2(isKey(pixel), qPrintable(QStringLiteral("%1,%2 shown").arg(x).arg(y)));
                if (cut == 0)
                    QVERIFY2(!isKey(pixel), qPrintable(QStringLiteral("%1,%2 cut").arg(x).arg(y)));
            }
        }
        QVERIFY(keyPixels > 0);
        // The mask, in logical pixels, follows: the corner cut, the middle in.
        QTRY_VERIFY(!form().mask().isEmpty());
        QVERIFY(!form().mask().contains(QPoint(1, 103)));
        QVERIFY(form().mask().contains(QPoint(150, 50)));
    }

    // A skin's "@2x" twin is taken only when it is a picture of exactly twice the size; else the
    // picture itself, scaled. A twin's own name is no key.
    void skinTwins_data()
    {
        QTest::addColumn<QByteArray>("twin"); // "" none, "WxH" a PNG of that size, else the file's bytes
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("twice the size") << QByteArray("74x60") << 2.0 << QSize(74, 60);
        QTest::newRow("none") << QByteArray() << 1.0 << QSize(37, 30);
        QTest::newRow("another size") << QByteArray("70x60") << 1.0 << QSize(37, 30);
        QTest::newRow("the same size") << QByteArray("37x30") << 1.0 << QSize(37, 30);
        QTest::newRow("not a picture") << QByteArray("no picture at all") << 1.0 << QSize(37, 30);
        // Refused on its header's word, before a pixel is decoded.
        QTest::newRow("claiming to be huge") << bmpClaiming(100000) << 1.0 << QSize(37, 30);
    }
    void skinTwins()
    {
        QFETCH(QByteArray, twin);
        QFETCH(qreal, ratio);
        QFETCH(QSize, pixels);
        QTemporaryDir skin;
        QImage picture(37, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(skin.filePath(QStringLiteral("XN.png"))));
        if (!twin.isEmpty()) {
            QFile file(skin.filePath(QStringLiteral("XN@2x.png")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QStringList size = QString::fromLatin1(twin).split(u'x');
            if (size.size() == 2 && size.at(0).toInt() > 0) {
                QImage sharp(size.at(0).toInt(), size.at(1).toInt(), QImage::Format_RGB32);
                sharp.fill(Qt::darkMagenta);
                QVERIFY(sharp.save(&file, "PNG"));
            } else {
                file.write(twin);
            }
        }
        StoredLooks looks;
        SkinLoader loader(looks);
        QCOMPARE(loader.giveFile(skin.path(), QStringLiteral("XN.png")), SkinLoader::Outcome::Given);
        QCOMPARE(looks.Xn.devicePixelRatio(), ratio);
        QCOMPARE(looks.Xn.size(), pixels);
        QCOMPARE(looks.Xn.deviceIndependentSize(), QSizeF(37, 30));
        if (!twin.isEmpty())
            QCOMPARE(loader.giveFile(skin.path(), QStringLiteral("XN@2x.png")), SkinLoader::Outcome::Skipped);
    }

    // The controls' pixel-exact looks, scaled cleanly: at 2 each pixel a square of four; at 1.5
    // every third device pixel shared in equal parts between two picture pixels (the right third
    // of an even one, the left third of the next), the others each one picture pixel's own.
    void controlsScaledCleanly_data()
    {
        QTest::addColumn<int>("buttonType"); // 0: a progress bar
        QTest::newRow("bevelled button") << 1;
        QTest::newRow("round button") << 13;
        QTest::newRow("progress bar") << 0;
    }
    void controlsScaledCleanly()
    {
        QFETCH(int, buttonType);
        QWidget host;
        host.resize(200, 80);
        XPButton *button = nullptr;
        UserControl1 *bar = nullptr;
        QWidget *control = nullptr;
        if (buttonType) {
            control = button = new XPButton(&host);
            button->setGeometry(10, 10, 80, 30);
            button->setCaption(QStringLiteral("&Play"));
            button->setButtonType(buttonType);
        } else {
            control = bar = new UserControl1(&host);
            bar->setGeometry(10, 10, 120, 20);
            bar->setShowText(true);
            bar->setValue(37);
        }
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        const QImage drawing = button ? button->surface() : bar->picture().copy(bar->rect());
        QImage shown = control->grab().toImage();
        shown.setDevicePixelRatio(1);
        // The picture pixels a device pixel shows, along one axis, in equal parts.
        const auto sources = [this](int device) -> QList<int> {
            if (scale == 2)
                return { device / 2 };
            const int pair = 2 * (device / 3);
            return device % 3 == 0 ? QList<int> { pair }
                : device % 3 == 2  ? QList<int> { pair + 1 }
                                   : QList<int> { pair, pair + 1 };
        };
        const QRegion shape = control->mask().isEmpty() ? QRegion(control->rect()) : control->mask();
        int compared = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                int sum[3] = { 0, 0, 0 };
                int count = 0;
                bool inside = true;
                for (const int sy : sources(y)) {
                    for (const int sx : sources(x)) {
                        inside = inside && drawing.rect().contains(sx, sy) && shape.contains(QPoint(sx, sy));
                        if (!inside)
                            break;
                        const QRgb p = drawing.pixel(sx, sy);
                        sum[0] += qRed(p);
                        sum[1] += qGreen(p);
                        sum[2] += qBlue(p);
                        ++count;
                    }
                }
                if (!inside)
                    continue;
                ++compared;
                const QRgb p = shown.pixel(x, y);
                const int got[3] = { qRed(p), qGreen(p), qBlue(p) };
                for (int c = 0; c < 3; ++c)
                    QVERIFY2(std::abs(got[c] * count - sum[c]) <= count / 2 + 1,
                             qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(p, 8, 16)));
            }
        }
        QVERIFY(compared > drawing.width() * drawing.height() / 3);
    }
};

QTEST_MAIN(TestScaledScreen)
#include "tst_scaledscreen.moc"
