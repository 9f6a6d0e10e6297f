#include "dialogs/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace telvara {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect desktop = screen->geometry();
    window.move(desktop.left() + (desktop.width() - window.width()) / 2,
                desktop.top() + (desktop.height() - window.height()) / 2);
}

void centreOnScreenOnce(QWidget& window) {
    static const char* const kPlaced = "telvaraPlaced";
    if (window.property(kPlaced).toBool())
        return;
    window.setProperty(kPlaced, true);
    centreOnScreen(window);
}

} // namespace telvara
