// Bringing a window to the front on X11: the window manager decides, so it is
// asked the way a task bar asks (source "pager"), which it honours even when
// another program has the focus; Qt's own request counts as an application's
// and may be refused as focus stealing.

#include "RegistrySettings.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* AVerbindung, const char* AName) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        AVerbindung, xcb_intern_atom(AVerbindung, 0, uint16_t(strlen(AName)), AName), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

void AktivierenAlsPager(QWidget* AWindow) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || !AWindow->windowHandle()) return;
    xcb_connection_t* c = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (!screen) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = xcb_window_t(AWindow->windowHandle()->winId());
    e.type = Atom(c, "_NET_ACTIVE_WINDOW");
    e.data.data32[0] = 2; // source: pager
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

} // namespace

bool ForceForegroundWindow(QWidget* AWindow) {
    if (!AWindow) return false;
    if (AWindow->isMinimized()) AWindow->setWindowState(AWindow->windowState() & ~Qt::WindowMinimized);
    if (!AWindow->isVisible()) AWindow->show();
    // Asked even when Qt takes the window for active: Qt learns of the focus
    // going to another program only a moment later, and a window it still
    // holds active then would stay behind.
    AWindow->raise();
    AWindow->activateWindow();
    AktivierenAlsPager(AWindow);
    return AWindow->isActiveWindow();
}
