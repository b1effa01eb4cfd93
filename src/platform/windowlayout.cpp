#include "platform/windowlayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kivaro {

QFont designFont(int pixelSize, bool bold, bool underline)
{
    QFont font;
    font.setFamilies({ QStringLiteral("Arial"), QStringLiteral("Liberation Sans") });
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace kivaro
