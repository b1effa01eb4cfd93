// Pictures on the device's own pixels: which picture pixels make up each device pixel at whole and
// fractional scales, wherever the picture falls, with holes of the see-through colour kept exact.
// The expected pixels are worked out by hand from the areas and distances involved.

#include "platform/devicepicture.h"

#include <QPainter>
#include <QTest>

#include <optional>

using namespace kivaro;

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Ochre = qRgb(200, 100, 50);
constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb Clear = qRgba(0, 0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);

using Rows = QList<QList<QRgb>>;

QImage picture(const Rows &rows, qreal pixelRatio = 1, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(int(rows.constFirst().size()), int(rows.size()), format);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rows.at(y).at(x));
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

// The pixels as stored (premultiplied where the image is).
Rows pixelsOf(const QImage &image)
{
    Rows rows;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        rows.append(QList<QRgb>(line, line + image.width()));
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Resampling)
Q_DECLARE_METATYPE(std::optional<QRgb>)

class TestDevicePicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resample_data()
    {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QPointF>("origin");
        QTest::addColumn<Resampling>("how");
        QTest::addColumn<std::optional<QRgb>>("key");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<Rows>("expected");
        const std::optional<QRgb> noKey;
        const QRgb half = qRgb(100, 50, 25); // Black and Ochre, one half each

        QTest::newRow("one to one: unchanged")
            << picture({{Black, Ochre}}) << 1.0 << QPointF(3, 1) << Resampling::Sharp << noKey << QPoint(3, 1)
            << Rows{{Black, Ochre}};
        QTest::newRow("twice: each pixel a square of four")
            << picture({{Black, Ochre}}) << 2.0 << QPointF(0, 0) << Resampling::Sharp << noKey << QPoint(0, 0)
            << Rows{{Black, Black, Ochre, Ochre}, {Black, Black, Ochre, Ochre}};
        // Device pixel 1 covers [2/3, 4/3) of the picture: as much on one side of the seam as on
        // the other.
        QTest::newRow("one and a half: the seam's pixel shared")
            << picture({{Black, Ochre}}) << 1.5 << QPointF(0, 0) << Resampling::Sharp << noKey << QPoint(0, 0)
            << Rows{{Black, half, Ochre}, {Black, half, Ochre}};
        // Placed at 4.5, pixel 4 takes [-1/3, 1/3) (the picture's part only), pixel 5 [1/3, 1).
        QTest::newRow("falling between device pixels")
            << picture({{Black, Ochre}}) << 1.5 << QPointF(4.5, 0) << Resampling::Sharp << noKey << QPoint(4, 0)
            << Rows{{Black, Black, Ochre, Ochre}, {Black, Black, Ochre, Ochre}};
        // Centres at 0.25, 0.75, 1.25, 1.75 of the picture: blends of 3:1 and 1:3 in between.
        QTest::newRow("smooth growth blends neighbours")
            << picture({{Black, Ochre}}) << 2.0 << QPointF(0, 0) << Resampling::Smooth << noKey << QPoint(0, 0)
            << Rows{{Black, qRgb(50, 25, 13), qRgb(150, 75, 38), Ochre},
                    {Black, qRgb(50, 25, 13), qRgb(150, 75, 38), Ochre}};
        QTest::newRow("smooth at the same scale: unchanged")
            << picture({{Black, Ochre, Blue, White}}, 2) << 2.0 << QPointF(0, 0) << Resampling::Smooth << noKey
            << QPoint(0, 0) << Rows{{Black, Ochre, Blue, White}};
        QTest::newRow("twice the pixels shown at one: averaged")
            << picture({{Black, Ochre, Ochre, Ochre}, {Ochre, Black, Ochre, Ochre}}, 2) << 1.0 << QPointF(0, 0)
            << Resampling::Smooth << noKey << QPoint(0, 0) << Rows{{half, Ochre}};
        // The blend 3:1 towards the hole is less than half covered: the hole grows to it; 1:3 is
        // the picture's own colour, with no red in it.
        QTest::newRow("key: no fringe, the hole where the picture has it")
            << picture({{Red, Blue}}) << 2.0 << QPointF(0, 0) << Resampling::Smooth << std::optional<QRgb>(Red)
            << QPoint(0, 0) << Rows{{Red, Red, Blue, Blue}, {Red, Red, Blue, Blue}};
        QTest::newRow("key: whatever the hole's alpha")
            << picture({{qRgba(255, 0, 0, 90), Blue}}) << 1.0 << QPointF(0, 0) << Resampling::Sharp
            << std::optional<QRgb>(Red) << QPoint(0, 0) << Rows{{Red, Blue}};
        // At 1.25 device pixel 1 covers [0.8, 1.6): a quarter hole, three quarters blue.
        QTest::newRow("key: mostly covered shows the picture's own colour")
            << picture({{Red, Blue}}) << 1.25 << QPointF(0, 0) << Resampling::Sharp << std::optional<QRgb>(Red)
            << QPoint(0, 0) << Rows{{Red, Blue, Blue}, {Red, Blue, Blue}};
        QTest::newRow("no key: alpha averaged, premultiplied")
            << picture({{Clear, White}}) << 2.0 << QPointF(0, 0) << Resampling::Smooth << noKey << QPoint(0, 0)
            << Rows{{Clear, qRgba(64, 64, 64, 64), qRgba(191, 191, 191, 191), White},
                    {Clear, qRgba(64, 64, 64, 64), qRgba(191, 191, 191, 191), White}};
    }

    void resample()
    {
        QFETCH(QImage, source);
        QFETCH(qreal, scale);
        QFETCH(QPointF, origin);
        QFETCH(Resampling, how);
        QFETCH(std::optional<QRgb>, key);
        QFETCH(QPoint, topLeft);
        QFETCH(Rows, expected);
        const DevicePicture device = resampleForDevice(source, scale, origin, how, key);
        QCOMPARE(device.topLeft, topLeft);
        QCOMPARE(device.image.devicePixelRatio(), 1.0);
        QCOMPARE(pixelsOf(device.image), expected);
    }

    // Whatever the painter's transformation, the picture's pixels land on the device pixels it
    // names: a scaled painter moved to a place between two device pixels draws none between two.
    void drawnOnTheDevicePixels_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QPointF>("translation");
        QTest::addColumn<bool>("pixelForPixel");
        QTest::newRow("unscaled") << 1.0 << QPointF(2, 1) << true;
        QTest::newRow("unscaled, moved half a pixel") << 1.0 << QPointF(2.5, 1) << false;
        QTest::newRow("1.5, between device pixels") << 1.5 << QPointF(3, 1) << false;
        QTest::newRow("2") << 2.0 << QPointF(1, 1) << false;
    }
    void drawnOnTheDevicePixels()
    {
        QFETCH(qreal, scale);
        QFETCH(QPointF, translation);
        QFETCH(bool, pixelForPixel);
        QImage device(12, 8, QImage::Format_RGB32);
        device.fill(Black);
        device.setDevicePixelRatio(scale);
        QPainter painter(&device);
        painter.translate(translation);
        QCOMPARE(paintsPixelForPixel(painter), pixelForPixel);
        drawDevicePicture(painter, {picture({{Blue, White}}, 1, QImage::Format_RGB32), QPoint(5, 3)});
        painter.end();
        device.setDevicePixelRatio(1);
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x)
                QCOMPARE(device.pixel(x, y), y != 3 || x < 5 || x > 6 ? Black : x == 5 ? Blue : White);
    }

    void twinNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("twin");
        QTest::newRow("skin file") << QStringLiteral("skins/blue/IMN.png") << QStringLiteral("skins/blue/IMN@2x.png");
        QTest::newRow("resource") << QStringLiteral(":/skin/P0.png") << QStringLiteral(":/skin/P0@2x.png");
        QTest::newRow("dots before the last") << QStringLiteral("a/IMN.x.gif") << QStringLiteral("a/IMN.x@2x.gif");
        QTest::newRow("no suffix, a dot in the folder")
            << QStringLiteral("my.skins/IMN") << QStringLiteral("my.skins/IMN@2x");
    }
    void twinNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, twin);
        QCOMPARE(twinAt2x(path), twin);
    }
};

QTEST_MAIN(TestDevicePicture)
#include "tst_devicepicture.moc"
