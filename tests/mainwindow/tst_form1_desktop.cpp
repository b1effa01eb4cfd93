// The main window on a real X display (a private Xvfb; CTest runs this at scales 1, 1.5 and 2):
// whole on the screen and centred, no see-through colour on the screen, every pixel the window
// draws outside its cut parts seen on the screen and nothing inside them, the X server's shape
// of the window exactly the pictures' outline in device pixels, and the mouse going through the
// cut parts to what lies behind.

#include "form1rig.h"
#include "mainwindow/form1layout.h"
#include "mainwindow/skinloader.h"
#include "platform/transparentcolor.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <QtMath>

#include <cmath>
#include <functional>
#include <xcb/shape.h>
#include <xcb/xcb.h>

using namespace kivaro;
using namespace kivaro::test;

namespace {

constexpr QRgb Key = qRgb(255, 0, 0);
constexpr QRgb RootBlack = qRgb(0, 0, 0); // the virtual display's root window

xcb_connection_t *connection()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The window's shape as the X server has it, in device pixels.
QRegion serverShape(xcb_window_t window)
{
    QRegion shape;
    auto cookie = xcb_shape_get_rectangles(connection(), window, XCB_SHAPE_SK_BOUNDING);
    xcb_shape_get_rectangles_reply_t *reply = xcb_shape_get_rectangles_reply(connection(), cookie, nullptr);
    if (!reply)
        return shape;
    const xcb_rectangle_t *r = xcb_shape_get_rectangles_rectangles(reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply); ++i)
        shape += QRect(r[i].x, r[i].y, r[i].width, r[i].height);
    free(reply);
    return shape;
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

QRect rootRect()
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection())).data;
    return { 0, 0, screen->width_in_pixels, screen->height_in_pixels };
}

// The window's place on the root window, in device pixels.
QRect onRoot(xcb_window_t window)
{
    auto geometry = xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), window), nullptr);
    auto place = xcb_translate_coordinates_reply(
        connection(), xcb_translate_coordinates(connection(), window, root(), 0, 0), nullptr);
    QRect rect;
    if (geometry && place)
        rect = QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
    free(geometry);
    free(place);
    return rect;
}

// The top-level window the mouse is over at a point of the screen (device pixels).
xcb_window_t windowUnderPointerAt(QPoint at)
{
    xcb_warp_pointer(connection(), XCB_NONE, root(), 0, 0, 0, 0, int16_t(at.x()), int16_t(at.y()));
    auto reply = xcb_query_pointer_reply(connection(), xcb_query_pointer(connection(), root()), nullptr);
    const xcb_window_t child = reply ? reply->child : XCB_NONE;
    free(reply);
    return child;
}

using Looks = std::function<StoredLooks(const QString &folder)>;

} // namespace

Q_DECLARE_METATYPE(Looks)

class TestForm1Desktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Rig> rig;
    qreal scale = 1;

    Form1 &form() { return rig->form(); }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !connection())
            QSKIP("needs an X display: run through on-virtual-display.sh");
        scale = qApp->devicePixelRatio();
        // Nothing on the window may change between its picture and the screen's.
        QApplication::setCursorFlashTime(0);
    }

    void init()
    {
        rig = std::make_unique<Form1Rig>();
        rig->server.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, true, true }; });
    }
    void cleanup() { rig.reset(); }

    void windowOnTheScreen_data()
    {
        QTest::addColumn<Looks>("looks");
        QTest::newRow("own pictures") << Looks([](const QString &) { return StoredLooks::defaults(); });
        QTest::newRow("a skin without @2x pictures") << Looks([](const QString &folder) {
            const QDir pearl(QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins/pearl"));
            StoredLooks looks = StoredLooks::defaults();
            SkinLoader loader(looks);
            for (const QString &name :
                 pearl.entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name)) {
                if (!name.contains(u'@') && QFile::copy(pearl.filePath(name), folder + u'/' + name))
                    loader.giveFile(folder, name);
            }
            return looks;
        });
    }

    void windowOnTheScreen()
    {
        QFETCH(Looks, looks);
        QTemporaryDir folder;
        form().setLooks(looks(folder.path()));
        form().Picture1->setPicture(form().looks().IMn);
        form().Eb->setPicture(form().looks().En);
        form().Db->setPicture(form().looks().Dn);
        form().Xb->setPicture(form().looks().Xn);
        // The pointer away from where the window comes, so no hover look changes it meanwhile.
        windowUnderPointerAt(QPoint(0, 0));
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        form().tmrStat->stop();
        const auto window = static_cast<xcb_window_t>(form().winId());

        // The shape the window's own pictures give, in device pixels, is the server's.
        QImage drawn;
        QRegion outline;
        const auto shapeArrived = [&] {
            drawn = form().grab().toImage();
            drawn.setDevicePixelRatio(1);
            outline = opaqueRegion(drawn, Key);
            return (serverShape(window) ^ outline).isEmpty(); // the same pixels, however cut in rectangles
        };
        QTRY_VERIFY2(shapeArrived(), "the server's shape is not the pictures' outline");
        QVERIFY(outline.rectCount() > 4);

        // Whole on the screen, in the middle of it.
        const QRect place = onRoot(window);
        const QSize device = (QSizeF(form1layout::Window) * scale).toSize();
        QCOMPARE(place.size(), device);
        const QRect screen = rootRect();
        QVERIFY(screen.contains(place));
        QVERIFY(std::abs(place.center().x() - screen.center().x()) <= 2 * scale + 1);
        QVERIFY(std::abs(place.center().y() - screen.center().y()) <= 2 * scale + 1);

        // What the screen shows there: the window's pixels where it draws, the root window where
        // its pictures are cut, and nowhere the see-through colour. (Asked again until the last
        // frame has reached the screen.)
        int shown = 0;
        int cut = 0;
        const auto firstDifference = [&]() -> QString {
            QImage seen = form().screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
            seen.setDevicePixelRatio(1);
            if (seen.size() != screen.size())
                return QStringLiteral("a screen of %1 x %2").arg(seen.width()).arg(seen.height());
            shown = cut = 0;
            for (int y = 0; y < seen.height(); ++y) {
                for (int x = 0; x < seen.width(); ++x) {
                    const QRgb pixel = seen.pixel(x, y) & RGB_MASK;
                    if (pixel == (Key & RGB_MASK))
                        return QStringLiteral("the see-through colour at %1,%2").arg(x).arg(y);
                    const QPoint inWindow = QPoint(x, y) - place.topLeft();
                    if (!drawn.rect().contains(inWindow))
                        continue;
                    const bool inside = outline.contains(inWindow);
                    (inside ? shown : cut) += 1;
                    const QRgb expected = inside ? drawn.pixel(inWindow) & RGB_MASK : RootBlack & RGB_MASK;
                    if (pixel != expected)
                        return QStringLiteral("%1,%2 of the window is %3, not %4")
                            .arg(inWindow.x())
                            .arg(inWindow.y())
                            .arg(pixel, 6, 16)
                            .arg(expected, 6, 16);
                }
            }
            return {};
        };
        QTRY_COMPARE(firstDifference(), QString());
        QVERIFY(shown > device.width() * device.height() / 2);
        QVERIFY(cut > 0);

        // The mouse goes through the cut parts: over the window's cut corner it is over the root.
        const QPoint cutCorner = place.topLeft() + QPoint(0, place.height() - 1);
        QVERIFY(!outline.contains(cutCorner - place.topLeft()));
        QCOMPARE(windowUnderPointerAt(cutCorner), xcb_window_t(XCB_NONE));
        QCOMPARE(windowUnderPointerAt(place.center()), window);
    }

    // Dragging by the background follows the pointer at any scale: the window moves as far as the
    // pointer does, in the screen's pixels (give or take the one a logical pixel rounds to).
    void draggingFollowsThePointer_data()
    {
        QTest::addColumn<QPoint>("by"); // device pixels
        QTest::newRow("right and down") << QPoint(60, 30);
        QTest::newRow("left and down") << QPoint(-45, 15);
    }
    void draggingFollowsThePointer()
    {
        QFETCH(QPoint, by);
        windowUnderPointerAt(QPoint(0, 0));
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        const auto window = static_cast<xcb_window_t>(form().winId());
        const QRect before = onRoot(window);
        const QPoint grab(150, 95); // on the background, clear of its cut corners
        const QPoint pointer = before.topLeft() + (QPointF(grab) * scale).toPoint();
        windowUnderPointerAt(pointer);
        QTest::mousePress(form().Picture1, Qt::LeftButton, {}, grab);
        QCOMPARE(form().Dragging, 1);
        // The pointer moves on the screen (the move read where the window was when it came).
        windowUnderPointerAt(pointer + by);
        QTest::mouseMove(form().Picture1, grab + (QPointF(by) / scale).toPoint());
        QTRY_VERIFY((onRoot(window).topLeft() - before.topLeft() - by).manhattanLength() <= 2 * qCeil(scale));
        QTest::mouseRelease(form().Picture1, Qt::LeftButton, {}, grab);
        QCOMPARE(form().Dragging, 0);
    }
};

QTEST_MAIN(TestForm1Desktop)
#include "tst_form1_desktop.moc"
