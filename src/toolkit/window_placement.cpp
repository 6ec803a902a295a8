#include "toolkit/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace platform {
namespace {

/// How far the frame's centre lies from the centre of the screen's free area.
QPoint offCentre(const QWidget *window)
{
    const QScreen *screen = window->screen();
    return screen ? window->frameGeometry().center() - screen->availableGeometry().center()
                  : QPoint();
}

} // namespace

void centreOnScreen(QWidget *window)
{
    const QPoint off = offCentre(window);
    if (!off.isNull())
        window->move(window->pos() - off);
}

void centreFramedWindow(QWidget *window)
{
    centreOnScreen(window);
    // The frame is known once the manager has reparented the window, and the manager may still
    // be carrying out a move asked before it knew the frame: for a second, a framed window found
    // off centre is centred again. Without a manager no frame comes, and the first placement
    // stands.
    auto *watch = new QTimer(window);
    watch->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(watch, &QTimer::timeout, window, [window, watch, ticks] {
        const QWindow *handle = window->windowHandle();
        const bool framed = handle && !handle->frameMargins().isNull();
        if (framed && offCentre(window).manhattanLength() > 1)
            centreOnScreen(window);
        if (++*ticks >= 100) {
            watch->stop();
            watch->deleteLater();
        }
    });
    watch->start();
}

void offerNoCaptionButtons(QWidget *window)
{
    // Only on X11 itself: other platforms (offscreen included) may answer with no connection.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb") || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    static constexpr char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    if (!reply)
        return;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    // flags (functions, decorations), functions (move), decorations (border, title), input
    // mode, status.
    const quint32 hints[5] = {1 | 2, 4, 2 | 8, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom,
                        atom, 32, 5, hints);
    xcb_flush(connection);
}

} // namespace platform
