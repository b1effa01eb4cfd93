// The main window on an X display of its own (CTest runs this on Xvfb at scales 1, 1.5 and 2):
// whole and centred on the screen, the X server's shape of it the pictures' outline to the device
// pixel, on the screen its pixels where it draws and the root window where it is cut, no
// see-through colour nor a fringe of it anywhere, the mouse going through the cut parts, and
// dragging following the pointer.

#include "form1rig.h"
#include "mainwindow/form1layout.h"
#include "mainwindow/skinloader.h"
#include "platform/transparentcolor.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <cmath>
#include <xcb/shape.h>
#include <xcb/xcb.h>

using namespace kivaro;
using namespace kivaro::test;

namespace {

constexpr QRgb Key = qRgb(255, 0, 0) & RGB_MASK;
constexpr QRgb RootBlack = 0; // Xvfb's root window, as on-virtual-display.sh starts it
constexpr double NearRed = 60; // closer to the see-through colour, a pixel reads as a fringe of it

xcb_connection_t *connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

const xcb_screen_t *screen()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data;
}

// Asks the X server; the reply is freed on the way out.
template<typename Reply> std::unique_ptr<Reply, decltype(&free)> ask(Reply *reply)
{
    return { reply, &free };
}

QRegion serverShape(xcb_window_t window)
{
    QRegion shape;
    const auto reply = ask(xcb_shape_get_rectangles_reply(
        connection(), xcb_shape_get_rectangles(connection(), window, XCB_SHAPE_SK_BOUNDING), nullptr));
    const xcb_rectangle_t *r = reply ? xcb_shape_get_rectangles_rectangles(reply.get()) : nullptr;
    for (int i = 0; r && i < xcb_shape_get_rectangles_rectangles_length(reply.get()); ++i)
        shape += QRect(r[i].x, r[i].y, r[i].width, r[i].height);
    return shape;
}

// The window's place on the screen in device pixels.
QRect onScreen(xcb_window_t window)
{
    const auto size
        = ask(xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr));
    const auto at = ask(xcb_translate_coordinates_reply(
        connection(), xcb_translate_coordinates(connection(), window, screen()->root, 0, 0), nullptr));
    return size && at ? QRect(at->dst_x, at->dst_y, size->width, size->height) : QRect();
}

// Moves the pointer there (device pixels) and tells which top-level window it is over.
xcb_window_t pointerTo(QPoint at)
{
    xcb_warp_pointer(connection(), XCB_NONE, screen()->root, 0, 0, 0, 0, int16_t(at.x()), int16_t(at.y()));
    const auto reply = ask(
        xcb_query_pointer_reply(connection(), xcb_query_pointer(connection(), screen()->root), nullptr));
    return reply ? reply->child : XCB_NONE;
}

} // namespace

class TestForm1Desktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Rig> rig;
    qreal scale = 1;

    Form1 &form() { return rig->form(); }
    xcb_window_t window() { return static_cast<xcb_window_t>(form().winId()); }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !connection())
            QSKIP("needs an X display: run through on-virtual-display.sh");
        scale = qApp->devicePixelRatio();
        QApplication::setCursorFlashTime(0); // no blinking between a picture of the window and the screen
    }

    void init()
    {
        rig = std::make_unique<Form1Rig>();
        rig->server.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, true, true }; });
        pointerTo(QPoint(0, 0)); // away from the window: no hover look changes it meanwhile
    }
    void cleanup() { rig.reset(); }

    void windowOnTheScreen_data()
    {
        QTest::addColumn<bool>("ownPictures"); // else a bundled skin without its @2x pictures
        QTest::newRow("own pictures") << true;
        QTest::newRow("a skin without @2x pictures") << false;
    }
    void windowOnTheScreen()
    {
        QFETCH(bool, ownPictures);
        QTemporaryDir skin;
        if (!ownPictures) {
            const QDir pearl(QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins/pearl"));
            SkinLoader loader(form().looks());
            for (const QString &name : pearl.entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name))
                if (!name.contains(u'@') && QFile::copy(pearl.filePath(name), skin.filePath(name)))
                    QCOMPARE(loader.giveFile(skin.path(), name), SkinLoader::Outcome::Given);
            form().Picture1->setPicture(form().looks().IMn);
            for (PictureBox *button : { form().Eb, form().Db, form().Xb })
                button->setPicture(QPixmap()); // the background carries their normal looks
        }
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        form().tmrStat->stop();

        QImage drawn;
        QRegion outline;
        const auto shapeArrived = [&] {
            drawn = form().grab().toImage();
            drawn.setDevicePixelRatio(1);
            outline = opaqueRegion(drawn, Key);
            return (serverShape(window()) ^ outline).isEmpty(); // the same pixels, however cut up
        };
        QTRY_VERIFY2(shapeArrived(), "the X server's shape is not the pictures' outline");

        const QRect place = onScreen(window());
        const QRect screenRect(0, 0, screen()->width_in_pixels, screen()->height_in_pixels);
        QCOMPARE(place.size(), (QSizeF(form1layout::Window) * scale).toSize());
        QVERIFY(screenRect.contains(place));
        QVERIFY((place.center() - screenRect.center()).manhattanLength() <= 4 * scale + 2);

        int cut = 0;
        const auto firstDifference = [&]() -> QString {
            QImage seen = form().screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
            seen.setDevicePixelRatio(1);
            cut = 0;
            for (int y = 0; y < seen.height(); ++y) {
                for (int x = 0; x < seen.width(); ++x) {
                    const QRgb pixel = seen.pixel(x, y) & RGB_MASK;
                    const QPoint at = QPoint(x, y) - place.topLeft();
                    const bool shown = outline.contains(at);
                    cut += drawn.rect().contains(at) && !shown;
                    const QRgb expected = !drawn.rect().contains(at) ? pixel
                        : shown                                      ? drawn.pixel(at) & RGB_MASK
                                                                     : RootBlack;
                    if (pixel == Key || (pixel != expected)
                        || std::hypot(255 - qRed(pixel), qGreen(pixel), qBlue(pixel)) <= NearRed)
                        return QStringLiteral("%1,%2 is %3").arg(x).arg(y).arg(pixel, 6, 16);
                }
            }
            return {};
        };
        QTRY_COMPARE(firstDifference(), QString()); // once the last frame has reached the screen
        QVERIFY(cut > 0);

        // The mouse goes through the cut corner to the root window; it is over the window inside.
        QCOMPARE(pointerTo(place.bottomLeft()), xcb_window_t(XCB_NONE));
        QCOMPARE(pointerTo(place.center()), window());
    }

    // Dragged by the background, the window moves as far as the pointer, in the screen's pixels
    // (give or take the pixel a logical pixel rounds to).
    void draggingFollowsThePointer_data()
    {
        QTest::addColumn<QPoint>("by");
        QTest::newRow("right and down") << QPoint(60, 30);
        QTest::newRow("left and up") << QPoint(-45, -15);
    }
    void draggingFollowsThePointer()
    {
        QFETCH(QPoint, by);
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        const QRect before = onScreen(window());
        const QPoint grab(150, 95); // on the background, clear of its cut corners
        const QPoint pointer = before.topLeft() + (QPointF(grab) * scale).toPoint();
        pointerTo(pointer);
        QTest::mousePress(form().Picture1, Qt::LeftButton, {}, grab);
        pointerTo(pointer + by);
        QTest::mouseMove(form().Picture1, grab + (QPointF(by) / scale).toPoint());
        QTRY_VERIFY((onScreen(window()).topLeft() - before.topLeft() - by).manhattanLength()
                    <= 2 * std::ceil(scale));
        QTest::mouseRelease(form().Picture1, Qt::LeftButton, {}, grab);
    }
};

QTEST_MAIN(TestForm1Desktop)
#include "tst_form1_desktop.moc"
