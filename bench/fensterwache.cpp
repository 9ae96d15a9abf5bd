// fensterwache TITLE-REGEX: waits on the X server for a top-level window whose
// name matches TITLE-REGEX (extended POSIX, searched as xdotool --name does) to
// become viewable, then prints "MONOTONIC-MS WINDOW-ID PID" and ends.
//
// It listens to the server's events instead of polling, so that the moment is
// exact and nothing competes with the program being timed. It prints "bereit"
// once it listens: whatever maps a window after that is seen. The time is
// CLOCK_MONOTONIC, the clock of Python's time.monotonic().

#include <xcb/xcb.h>

#include <regex.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct FreiGeben {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Antwort = std::unique_ptr<T, FreiGeben>;

double JetztMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Antwort<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string Eigenschaft(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t typ) {
    Antwort<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, typ, 0, 4096), nullptr));
    if (!r || r->format != 8) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(r.get())),
                       static_cast<size_t>(xcb_get_property_value_length(r.get())));
}

struct Wache {
    xcb_connection_t* c;
    xcb_atom_t netName, utf8, netPid;
    regex_t muster;

    bool Sichtbar(xcb_window_t w) const {
        Antwort<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    bool NamePasst(xcb_window_t w) const {
        // xdotool reads _NET_WM_NAME first and WM_NAME where that is missing
        std::string n = Eigenschaft(c, w, netName, utf8);
        if (n.empty()) n = Eigenschaft(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY);
        return !n.empty() && regexec(&muster, n.c_str(), 0, nullptr, 0) == 0;
    }

    long Pid(xcb_window_t w) const {
        Antwort<xcb_get_property_reply_t> r(
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, netPid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4) return 0;
        return *static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    }

    // a window is found when it is viewable and named as asked, whichever comes last
    bool Pruefen(xcb_window_t w, double zeit) const {
        if (!Sichtbar(w) || !NamePasst(w)) return false;
        std::printf("%.3f %u %ld\n", zeit, w, Pid(w));
        std::fflush(stdout);
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fensterwache TITLE-REGEX\n");
        return 2;
    }
    Wache wache{};
    if (regcomp(&wache.muster, argv[1], REG_EXTENDED | REG_ICASE | REG_NOSUB) != 0) {
        std::fprintf(stderr, "fensterwache: bad pattern %s\n", argv[1]);
        return 2;
    }
    int bildschirm = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &bildschirm);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "fensterwache: no X display\n");
        return 1;
    }
    wache.c = c;
    wache.netName = Atom(c, "_NET_WM_NAME");
    wache.utf8 = Atom(c, "UTF8_STRING");
    wache.netPid = Atom(c, "_NET_WM_PID");
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < bildschirm; ++i)
        xcb_screen_next(&it);
    const xcb_window_t wurzel = it.data->root;

    // New top-level windows are announced on the root; their names on themselves.
    const uint32_t wurzelMaske = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, wurzel, XCB_CW_EVENT_MASK, &wurzelMaske);
    // A window manager maps its frame on the root: the window's own map is
    // then seen through its structure events.
    const uint32_t fensterMaske = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    Antwort<xcb_query_tree_reply_t> baum(xcb_query_tree_reply(c, xcb_query_tree(c, wurzel), nullptr));
    if (baum) {
        const xcb_window_t* kinder = xcb_query_tree_children(baum.get());
        for (int i = 0; i < xcb_query_tree_children_length(baum.get()); ++i)
            xcb_change_window_attributes(c, kinder[i], XCB_CW_EVENT_MASK, &fensterMaske);
    }
    xcb_flush(c);
    // the masks are in force once the server has answered a request made after them
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::printf("bereit\n");
    std::fflush(stdout);

    while (xcb_generic_event_t* roh = xcb_wait_for_event(c)) {
        Antwort<xcb_generic_event_t> e(roh);
        const double zeit = JetztMs();
        switch (e->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            const auto* n = reinterpret_cast<xcb_create_notify_event_t*>(roh);
            xcb_change_window_attributes(c, n->window, XCB_CW_EVENT_MASK, &fensterMaske);
            xcb_flush(c);
            break;
        }
        case XCB_MAP_NOTIFY: {
            const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(roh)->window;
            if (wache.Pruefen(w, zeit)) return 0;
            // a window manager's frame mapped last makes the window in it viewable
            Antwort<xcb_query_tree_reply_t> r(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
            if (r) {
                const xcb_window_t* kinder = xcb_query_tree_children(r.get());
                for (int i = 0; i < xcb_query_tree_children_length(r.get()); ++i)
                    if (wache.Pruefen(kinder[i], zeit)) return 0;
            }
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto* n = reinterpret_cast<xcb_property_notify_event_t*>(roh);
            if ((n->atom == wache.netName || n->atom == XCB_ATOM_WM_NAME) && wache.Pruefen(n->window, zeit))
                return 0;
            break;
        }
        default:
            break;
        }
    }
    std::fprintf(stderr, "fensterwache: the X connection ended\n");
    return 1;
}
