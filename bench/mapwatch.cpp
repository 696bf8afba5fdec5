// Waits for a top-level window with one of the given titles to become
// viewable, and prints its id and the wall-clock time of that moment
// ("0x1e00007 1765300000.123456"). It listens to the X server's events rather
// than polling, so the measurement neither lags behind by a polling step nor
// takes the CPU away from the program being started.
//   kelvaro-mapwatch TITLE...    prints "ready" once it listens, then waits
// Ends with status 1 if the display closes first.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr),
                                     &std::free);
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 1024), nullptr),
                                      &std::free);
    if (!r || r->type == XCB_ATOM_NONE) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(r.get())), xcb_get_property_value_length(r.get()));
}

}  // namespace

int main(int argc, char** argv) {
    const std::set<std::string> titles(argv + 1, argv + argc);
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const xcb_atom_t netName = atom(c, "_NET_WM_NAME"), utf8 = atom(c, "UTF8_STRING");

    // New top-level windows are announced on the root; each is then watched
    // itself, since the window manager maps it inside its frame.
    const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(c);
    std::printf("ready\n");
    std::fflush(stdout);

    // What the events tell, kept here so that no event waits for a round trip
    // to the server: each new client's parent (its frame once the window
    // manager reparents it), which windows are mapped, which have a title asked for.
    std::map<xcb_window_t, xcb_window_t> parentOf;
    std::set<xcb_window_t> mapped, titled;
    auto checkTitle = [&](xcb_window_t w) {
        std::string title = property(c, w, netName, utf8);
        if (title.empty()) title = property(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        // A client window has a class; the window manager's frames have none.
        if (titles.count(title) && !property(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).empty())
            titled.insert(w);
        else
            titled.erase(w);
    };
    auto viewable = [&](xcb_window_t w) {
        if (!titled.count(w) || !mapped.count(w)) return false;
        const xcb_window_t parent = parentOf[w];
        return parent == root || mapped.count(parent) > 0;
    };
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        xcb_window_t changed = XCB_WINDOW_NONE;
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (e->parent == root && !e->override_redirect) {
                const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, e->window, XCB_CW_EVENT_MASK, &events);
                parentOf[e->window] = root;
                checkTitle(e->window);  // it may have been named before we listened
            }
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto* e = reinterpret_cast<xcb_reparent_notify_event_t*>(event);
            if (parentOf.count(e->window)) parentOf[e->window] = e->parent;
            break;
        }
        case XCB_MAP_NOTIFY:
            mapped.insert(changed = reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
            break;
        case XCB_UNMAP_NOTIFY:
            mapped.erase(reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window);
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* e = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (e->atom == netName || e->atom == XCB_ATOM_WM_NAME) checkTitle(changed = e->window);
            break;
        }
        default:
            break;
        }
        std::free(event);
        if (changed == XCB_WINDOW_NONE) continue;
        // The window itself, or the frame it sits in, may just have been mapped.
        for (const auto& [w, parent] : parentOf) {
            if ((w == changed || parent == changed) && viewable(w)) {
                std::printf("0x%x %lld.%06ld\n", w, static_cast<long long>(now.tv_sec), now.tv_nsec / 1000);
                xcb_disconnect(c);
                return 0;
            }
        }
    }
    xcb_disconnect(c);
    return 1;
}
