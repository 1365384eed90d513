// An X clipboard owner for the clipboard tests. It offers image/png and answers every
// request for it with an INCR transfer:
//   clipboard_owner honest N   announces N bytes and sends them (byte i = i % 251) in 64 KiB parts
//   clipboard_owner huge       announces 2 GB
//   clipboard_owner endless    announces 1 KiB, then sends 1 MiB parts for ever
//   clipboard_owner stall      announces 1 KiB and never sends a part
// It prints "owner" once it owns the clipboard, and runs until it is killed.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <xcb/xcb.h>

namespace {

xcb_connection_t* c = nullptr;

xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* answer =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = answer ? answer->atom : 0;
    std::free(answer);
    return value;
}

void notify(const xcb_selection_request_event_t& request, xcb_atom_t property) {
    xcb_selection_notify_event_t answer{};
    answer.response_type = XCB_SELECTION_NOTIFY;
    answer.time = request.time;
    answer.requestor = request.requestor;
    answer.selection = request.selection;
    answer.target = request.target;
    answer.property = property;
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&answer));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::uint64_t total = mode == "honest" && argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 0;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), incr = atom("INCR"),
                     png = atom("image/png");
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    std::free(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
    std::printf("owner\n");
    std::fflush(stdout);

    xcb_window_t requestor = 0;
    xcb_atom_t property = 0;
    std::uint64_t sent = 0;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const int type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_REQUEST) {
            const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
            if (request.target == targets) {
                const xcb_atom_t offered[] = {targets, png};
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, XCB_ATOM_ATOM, 32, 2,
                                    offered);
                notify(request, request.property);
            } else if (request.target == png) {
                const std::uint32_t announced = mode == "honest" ? static_cast<std::uint32_t>(total)
                                                : mode == "huge" ? 2000000000u
                                                                 : 1024u;
                const std::uint32_t listen = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &listen);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, incr, 32, 1,
                                    &announced);
                notify(request, request.property);
                requestor = request.requestor;
                property = request.property;
                sent = 0;
            } else {
                notify(request, XCB_ATOM_NONE);
            }
        } else if (type == XCB_PROPERTY_NOTIFY && mode != "stall") {
            // The requestor deleted the last part: the next one, an empty one at the end.
            const auto& change = *reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (change.window == requestor && change.atom == property && change.state == XCB_PROPERTY_DELETE) {
                const std::uint64_t size = mode == "honest" ? std::min<std::uint64_t>(65536, total - sent) : 1u << 20;
                std::vector<std::uint8_t> part(size);
                for (std::uint64_t i = 0; i < size; ++i) part[i] = static_cast<std::uint8_t>((sent + i) % 251);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, png, 8,
                                    static_cast<std::uint32_t>(size), part.data());
                sent += size;
                if (size == 0) requestor = 0;
            }
        }
        std::free(event);
        xcb_flush(c);
    }
    return 0;
}
