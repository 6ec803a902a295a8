#include "toolkit/window_placement.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace toolkit {
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

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

/// A window property as bytes, empty when it is missing.
QByteArray property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                    xcb_atom_t type)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, 1024), nullptr);
    if (!reply)
        return {};
    QByteArray value(static_cast<const char *>(xcb_get_property_value(reply)),
                     xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

/// The name the running window manager gives itself (EWMH), empty without one.
QByteArray windowManagerName(xcb_connection_t *connection, xcb_window_t root)
{
    const QByteArray check = property(
        connection, root, internAtom(connection, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.size() != sizeof(xcb_window_t))
        return {};
    xcb_window_t manager = 0;
    std::memcpy(&manager, check.constData(), sizeof manager);
    return property(connection, manager, internAtom(connection, "_NET_WM_NAME"),
                    internAtom(connection, "UTF8_STRING"));
}

} // namespace

void createSendingIconOnce(QWidget *window)
{
    if (window->testAttribute(Qt::WA_WState_Created))
        return;
    // Made while there is no application icon, the window starts with none, and the icon it shows
    // is sent once, right after. Windows already made that show the application's icon have theirs
    // sent twice more.
    const QIcon application = QGuiApplication::windowIcon();
    QGuiApplication::setWindowIcon(QIcon());
    window->winId();
    QGuiApplication::setWindowIcon(application);
}

void offerNoCaptionButtons(QWidget *window)
{
    // Only on X11 itself: other platforms (offscreen included) may answer with no connection.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb") || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t motif = internAtom(connection, "_MOTIF_WM_HINTS");
    if (motif == XCB_ATOM_NONE)
        return;
    // flags (functions, decorations), functions (move), decorations (border, title), input
    // mode, status.
    const quint32 hints[5] = {1 | 2, 4, 2 | 8, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, hints);
    // Openbox reads the Motif functions for moving and resizing only, never for its buttons: it
    // drops minimise and maximise for a toolbar window alone (its close button stays, and does
    // what "OK" does). The type is asked of openbox only; other managers would draw a toolbar
    // with no caption at all.
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen && windowManagerName(connection, screen->root) == "Openbox") {
        const xcb_atom_t types[2] = {internAtom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                     internAtom(connection, "_NET_WM_WINDOW_TYPE_DIALOG")};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                            internAtom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 2,
                            types);
    }
    xcb_flush(connection);
}

} // namespace toolkit
