// Pictures on a scaled device's own pixels: which picture pixels make each device pixel, wherever
// the picture falls, holes of the see-through colour kept exact. Expected pixels worked out by hand
// from the areas and distances involved.

#include "platform/devicepicture.h"

#include <QPainter>
#include <QTest>

#include <cmath>
#include <optional>

using namespace kivaro;

namespace {

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Ochre = qRgb(200, 100, 50);
constexpr QRgb Half = qRgb(100, 50, 25); // Black and Ochre in equal parts
constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb Clear = qRgba(0, 0, 0, 0);
constexpr QRgb White = qRgb(255, 255, 255);

using Row = QList<QRgb>;

// One row of pixels; pixelRatio picture pixels to the logical pixel.
QImage picture(const Row &row, qreal pixelRatio = 1)
{
    QImage image(int(row.size()), 1, QImage::Format_ARGB32);
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 0, row.at(x));
    image.setDevicePixelRatio(pixelRatio);
    return image;
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
        QTest::addColumn<qreal>("origin");
        QTest::addColumn<Resampling>("how");
        QTest::addColumn<std::optional<QRgb>>("key");
        QTest::addColumn<int>("left");
        QTest::addColumn<Row>("expected"); // the first row of device pixels, as stored
        // The device row starts at the device pixel the origin falls in.
        auto row = [](const char *name, const QImage &source, qreal scale, const Row &expected,
                      Resampling how = Resampling::Sharp, std::optional<QRgb> key = {}, qreal origin = 0) {
            QTest::newRow(name) << source << scale << origin << how << key << int(std::floor(origin))
                                << expected;
        };
        const Resampling smooth = Resampling::Smooth;
        row("one to one", picture({ Black, Ochre }), 1, { Black, Ochre }, Resampling::Sharp, {}, 3);
        row("twice: pixels doubled", picture({ Black, Ochre }), 2, { Black, Black, Ochre, Ochre });
        // Device pixel 1 covers [2/3, 4/3): as much of either side of the seam.
        row("1.5: the seam shared", picture({ Black, Ochre }), 1.5, { Black, Half, Ochre });
        // From 4.5: pixel 4 takes [-1/3, 1/3), only the picture's part counting; pixel 5 [1/3, 1).
        row("1.5, between device pixels", picture({ Black, Ochre }), 1.5, { Black, Black, Ochre, Ochre },
            Resampling::Sharp, {}, 4.5);
        // Centres at 1/4, 3/4, 5/4, 7/4 of the picture.
        row("smooth growth blends", picture({ Black, Ochre }), 2,
            { Black, qRgb(50, 25, 13), qRgb(150, 75, 38), Ochre }, smooth);
        row("@2x at 2: as it is", picture({ Black, Ochre, Blue, White }, 2), 2, { Black, Ochre, Blue, White },
            smooth);
        row("@2x at 1: averaged", picture({ Black, Ochre, Ochre, Ochre }, 2), 1, { Half, Ochre }, smooth);
        // 3:1 towards the hole is less than half covered: the hole; 1:3 is blue, with no red in it.
        row("key: no fringe", picture({ Red, Blue }), 2, { Red, Red, Blue, Blue }, smooth, Red);
        row("key: whatever its alpha", picture({ qRgba(255, 0, 0, 90), Blue }), 1, { Red, Blue },
            Resampling::Sharp, Red);
        // At 1.25 device pixel 1 covers [0.8, 1.6): a quarter hole, three quarters blue.
        row("key: mostly covered", picture({ Red, Blue }), 1.25, { Red, Blue, Blue }, Resampling::Sharp, Red);
        row("no key: alpha averaged", picture({ Clear, White }), 2,
            { Clear, qRgba(64, 64, 64, 64), qRgba(191, 191, 191, 191), White }, smooth);
    }

    void resample()
    {
        QFETCH(QImage, source);
        QFETCH(qreal, scale);
        QFETCH(qreal, origin);
        QFETCH(Resampling, how);
        QFETCH(std::optional<QRgb>, key);
        QFETCH(int, left);
        QFETCH(Row, expected);
        const DevicePicture device = resampleForDevice(source, scale, QPointF(origin, 0), how, key);
        QCOMPARE(device.topLeft, QPoint(left, 0));
        const auto *line = reinterpret_cast<const QRgb *>(device.image.constScanLine(0));
        QCOMPARE(Row(line, line + device.image.width()), expected);
        // The picture's one row makes every device row.
        QCOMPARE(device.image.copy(0, device.image.height() - 1, device.image.width(), 1),
                 device.image.copy(0, 0, device.image.width(), 1));
    }

    // Whatever the painter's transformation, the picture lands on the device pixels it names.
    void drawnOnTheDevicePixels_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QPointF>("translation");
        QTest::addColumn<bool>("pixelForPixel");
        QTest::newRow("unscaled") << 1.0 << QPointF(2, 1) << true;
        QTest::newRow("unscaled, half a pixel on") << 1.0 << QPointF(2.5, 1) << false;
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
        drawDevicePicture(painter,
                          { picture({ Blue, White }).convertToFormat(QImage::Format_RGB32), QPoint(5, 3) });
        painter.end();
        device.setDevicePixelRatio(1);
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x)
                QCOMPARE(device.pixel(x, y), y != 3 || x < 5 || x > 6 ? Black : x == 5 ? Blue : White);
    }
};

QTEST_MAIN(TestDevicePicture)
#include "tst_devicepicture.moc"
