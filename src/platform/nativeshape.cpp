#include "platform/nativeshape.h"

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>

#ifdef KIVARO_HAVE_XCB_SHAPE
#include <QtGui/qguiapplication_platform.h>

#include <limits>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>
#endif

namespace kivaro {

bool setNativeShape(QWidget *window, const QRegion &devicePixels)
{
#ifdef KIVARO_HAVE_XCB_SHAPE
    if (!window || !window->isWindow() || !window->testAttribute(Qt::WA_WState_Created))
        return false;
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const xcb_query_extension_reply_t *shape = xcb_get_extension_data(connection, &xcb_shape_id);
    if (!shape || !shape->present)
        return false;
    constexpr int Largest = std::numeric_limits<int16_t>::max();
    std::vector<xcb_rectangle_t> rectangles;
    rectangles.reserve(static_cast<std::size_t>(devicePixels.rectCount()));
    for (const QRect &r : devicePixels) {
        if (r.x() > Largest || r.y() > Largest || r.width() > Largest || r.height() > Largest)
            return false; // no window is that large; leave the shape as it is
        rectangles.push_back({ static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                               static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height()) });
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    // No shape at all, as an empty mask means in Qt, rather than a window nobody can see.
    if (rectangles.empty())
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
    // The bounding shape also bounds where the window takes the mouse.
    else
        xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                             id, 0, 0, static_cast<uint32_t>(rectangles.size()), rectangles.data());
    xcb_flush(connection);
    return true;
#else
    Q_UNUSED(window);
    Q_UNUSED(devicePixels);
    return false;
#endif
}

} // namespace kivaro
