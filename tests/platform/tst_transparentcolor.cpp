// The shape of a window with a colour key: the pixels of exactly that colour are left out, whatever
// their alpha, and every other pixel is in.

#include "platform/transparentcolor.h"

#include <QImage>
#include <QRegion>
#include <QTest>

namespace {

constexpr QRgb Red = qRgb(255, 0, 0);

// An image from rows of pixels.
QImage image(QImage::Format format, const QList<QList<QRgb>> &rows)
{
    QImage picture(int(rows.constFirst().size()), int(rows.size()), format);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, rows.at(y).at(x));
    }
    return picture;
}

} // namespace

class TestTransparentColor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opaqueRegion_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QRegion>("opaque");
        const QRgb blue = qRgb(0, 0, 255);
        const QRgb nearlyRed = qRgb(254, 0, 0);
        QTest::newRow("red pixels left out")
            << image(QImage::Format_RGB32, { { Red, blue, Red }, { Red, Red, nearlyRed } })
            << (QRegion(1, 0, 1, 1) + QRegion(2, 1, 1, 1));
        QTest::newRow("only exactly red")
            << image(QImage::Format_RGB32, { { qRgb(255, 0, 1), qRgb(255, 1, 0) } }) << QRegion(0, 0, 2, 1);
        QTest::newRow("all red: nothing left")
            << image(QImage::Format_RGB32, { { Red, Red }, { Red, Red } }) << QRegion();
        QTest::newRow("no red: the whole picture")
            << image(QImage::Format_RGB32, { { blue, blue }, { blue, blue } }) << QRegion(0, 0, 2, 2);
        QTest::newRow("alpha plays no part") << image(
            QImage::Format_ARGB32, { { qRgba(255, 0, 0, 255), qRgba(255, 0, 0, 128), qRgba(0, 0, 255, 0) } })
                                             << QRegion(2, 0, 1, 1);
        QTest::newRow("picture of another format")
            << image(QImage::Format_RGB888, { { Red, blue }, { blue, Red } })
            << (QRegion(1, 0, 1, 1) + QRegion(0, 1, 1, 1));
    }

    void opaqueRegion()
    {
        QFETCH(QImage, picture);
        QFETCH(QRegion, opaque);
        QCOMPARE(kivaro::opaqueRegion(picture, Red), opaque);
    }

    // A picture of the window taken on a scaled screen, read back in logical pixels: each by the
    // device pixel under its centre.
    void opaqueRegionOfScaledPicture_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QRegion>("opaque");
        const QRgb blue = qRgb(0, 0, 255);
        QTest::newRow("twice: one in four")
            << image(QImage::Format_RGB32, { { Red, Red, blue, blue }, { Red, Red, blue, blue } }) << 2.0
            << QRegion(1, 0, 1, 1);
        // Logical pixel 0 has its centre over device pixel 0, pixel 1 over device pixel 2.
        QTest::newRow("one and a half: by the centre")
            << image(QImage::Format_RGB32, { { Red, blue, blue }, { Red, blue, blue }, { Red, blue, blue } })
            << 1.5 << QRegion(1, 0, 1, 2);
        // A hole narrower than a logical pixel cannot be cut in logical pixels (the device shape
        // has it).
        QTest::newRow("a hole between centres stays in")
            << image(QImage::Format_RGB32, { { blue, Red, blue }, { blue, Red, blue }, { blue, Red, blue } })
            << 1.5 << QRegion(0, 0, 2, 2);
        QTest::newRow("the picture's own pixel ratio is not looked at")
            << [] {
                   QImage scaled = image(QImage::Format_RGB32, { { Red, Red, blue, blue }, { Red, Red, blue, blue } });
                   scaled.setDevicePixelRatio(2);
                   return scaled;
               }()
            << 2.0 << QRegion(1, 0, 1, 1);
    }

    void opaqueRegionOfScaledPicture()
    {
        QFETCH(QImage, picture);
        QFETCH(qreal, scale);
        QFETCH(QRegion, opaque);
        QCOMPARE(kivaro::opaqueRegion(picture, Red, scale), opaque);
    }
};

QTEST_MAIN(TestTransparentColor)
#include "tst_transparentcolor.moc"
