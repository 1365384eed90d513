#include "platform/clipboard_x11.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

#include "platform/xcb_reply.h"

namespace velmora::platform {
namespace {

using Clock = std::chrono::steady_clock;

// How long a wait goes without looking at the cancel request.
constexpr std::chrono::milliseconds kCancelCheck{50};
// A property is fetched in parts of this many 32-bit words, so that progress shows and
// a cancel is heard between them.
constexpr std::uint32_t kPartWords = 1u << 20;
// A list of types: 16384 of them.
constexpr std::uint64_t kMaxTypeListBytes = 64 * 1024;

enum class Wait { Arrived, Cancelled, TimedOut, Broken };

SelectionOutcome outcomeOf(Wait wait) {
    switch (wait) {
    case Wait::Cancelled: return SelectionOutcome::Cancelled;
    case Wait::TimedOut: return SelectionOutcome::TimedOut;
    default: return SelectionOutcome::Failed;
    }
}

}  // namespace

struct X11Clipboard::Connection {
    xcb_connection_t* c = nullptr;
    xcb_window_t window = 0;
    xcb_atom_t clipboard = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    xcb_atom_t incr = XCB_ATOM_NONE;

    ~Connection() { xcb_disconnect(c); }

    xcb_atom_t atom(const std::string& name) const {
        auto answer = reply(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
        return answer ? answer->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    // Takes events until `wanted` accepts one; the others are of no use here.
    template <typename Wanted>
    Wait waitFor(Wanted wanted, std::chrono::milliseconds limit, const SelectionProgress& progress) const {
        const auto deadline = Clock::now() + limit;
        while (true) {
            // Events already read from the socket are not signalled by poll().
            while (auto event = reply(xcb_poll_for_event(c))) {
                if (wanted(event.get())) return Wait::Arrived;
            }
            if (xcb_connection_has_error(c)) return Wait::Broken;
            if (progress.cancelled()) return Wait::Cancelled;
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero()) return Wait::TimedOut;
            pollfd socket{xcb_get_file_descriptor(c), POLLIN, 0};
            const auto slice = std::min<Clock::duration>(left, kCancelCheck);
            ::poll(&socket, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
        }
    }

    Reply<xcb_get_property_reply_t> getProperty(bool remove, std::uint32_t offsetWords, std::uint32_t words) const {
        return reply(xcb_get_property_reply(
            c, xcb_get_property(c, remove, window, property, XCB_GET_PROPERTY_TYPE_ANY, offsetWords, words), nullptr));
    }

    // Hands the property's value to sink and deletes it, which is how the owner of an
    // INCR transfer learns to send the next part. Its size is known before it is fetched.
    SelectionOutcome takeProperty(std::uint64_t& taken, const SelectionLimits& limits, SelectionProgress& progress,
                                  const SelectionSink& sink) const {
        for (std::uint32_t offset = 0;;) {
            if (progress.cancelled()) return SelectionOutcome::Cancelled;
            auto size = getProperty(false, offset, 0);
            if (!size) return SelectionOutcome::Failed;
            if (taken + size->bytes_after > limits.maxBytes) return SelectionOutcome::TooLarge;
            auto part = getProperty(true, offset, kPartWords);
            if (!part) return SelectionOutcome::Failed;
            const auto length = static_cast<std::size_t>(xcb_get_property_value_length(part.get()));
            // The owner may have appended in between.
            if (taken + length > limits.maxBytes) return SelectionOutcome::TooLarge;
            sink(static_cast<const std::uint8_t*>(xcb_get_property_value(part.get())), length);
            taken += length;
            progress.setReceived(taken);
            if (part->bytes_after == 0) return SelectionOutcome::Received;
            offset += static_cast<std::uint32_t>(length / 4);
        }
    }

    SelectionOutcome takeIncrements(const xcb_get_property_reply_t& start, const SelectionLimits& limits,
                                    SelectionProgress& progress, const SelectionSink& sink) const {
        // The INCR property holds a lower bound of the size.
        if (start.format == 32 && xcb_get_property_value_length(&start) >= 4) {
            std::uint32_t announced = 0;
            std::memcpy(&announced, xcb_get_property_value(&start), 4);
            progress.setAnnounced(announced);
            if (announced > limits.maxBytes) return SelectionOutcome::TooLarge;
        }
        // Deleting it asks for the first part.
        xcb_delete_property(c, window, property);
        xcb_flush(c);
        std::uint64_t taken = 0;
        while (true) {
            const Wait wait = waitFor(
                [this](const xcb_generic_event_t* event) {
                    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
                    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                    return notify->window == window && notify->atom == property &&
                           notify->state == XCB_PROPERTY_NEW_VALUE;
                },
                limits.stallTimeout, progress);
            if (wait != Wait::Arrived) return outcomeOf(wait);
            const std::uint64_t before = taken;
            const SelectionOutcome part = takeProperty(taken, limits, progress, sink);
            xcb_flush(c);
            // An empty part ends the transfer.
            if (part != SelectionOutcome::Received || taken == before) return part;
        }
    }
};

X11Clipboard::X11Clipboard(const std::string& display) {
    int screenNumber = 0;
    auto connection = std::make_unique<Connection>();
    connection->c = xcb_connect(display.empty() ? nullptr : display.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection->c)) return;
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection->c));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return;
    // A window of its own receives the answers; it tells of changes to its properties.
    connection->window = xcb_generate_id(connection->c);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection->c, XCB_COPY_FROM_PARENT, connection->window, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    connection->clipboard = connection->atom("CLIPBOARD");
    connection->property = connection->atom("VELMORA_CLIPBOARD");
    connection->incr = connection->atom("INCR");
    if (connection->clipboard && connection->property && connection->incr) connection_ = std::move(connection);
}

X11Clipboard::~X11Clipboard() = default;

SelectionOutcome X11Clipboard::read(const std::string& type, const SelectionLimits& limits,
                                    SelectionProgress& progress, const SelectionSink& sink) {
    progress.setReceived(0);
    progress.setAnnounced(0);
    if (!connection_) return SelectionOutcome::Failed;
    const Connection& x = *connection_;
    const xcb_atom_t target = x.atom(type);
    if (target == XCB_ATOM_NONE) return SelectionOutcome::Failed;
    xcb_delete_property(x.c, x.window, x.property);
    xcb_convert_selection(x.c, x.window, x.clipboard, target, x.property, XCB_CURRENT_TIME);
    xcb_flush(x.c);
    xcb_atom_t answered = XCB_ATOM_NONE;
    const Wait wait = x.waitFor(
        [&](const xcb_generic_event_t* event) {
            if ((event->response_type & 0x7F) != XCB_SELECTION_NOTIFY) return false;
            const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
            if (notify->requestor != x.window || notify->selection != x.clipboard || notify->target != target)
                return false;
            answered = notify->property;
            return true;
        },
        limits.stallTimeout, progress);
    if (wait != Wait::Arrived) return outcomeOf(wait);
    if (answered == XCB_ATOM_NONE) return SelectionOutcome::NotOffered;
    auto start = x.getProperty(false, 0, 1);
    if (!start) return SelectionOutcome::Failed;
    if (start->type == x.incr) return x.takeIncrements(*start, limits, progress, sink);
    progress.setAnnounced(xcb_get_property_value_length(start.get()) + start->bytes_after);
    std::uint64_t taken = 0;
    return x.takeProperty(taken, limits, progress, sink);
}

std::vector<std::string> X11Clipboard::offeredTypes(SelectionProgress& progress) {
    std::vector<std::uint8_t> list;
    const SelectionOutcome outcome = read("TARGETS", SelectionLimits{kMaxTypeListBytes}, progress,
                                          [&list](const std::uint8_t* data, std::size_t size) {
                                              list.insert(list.end(), data, data + size);
                                          });
    std::vector<std::string> names;
    if (outcome != SelectionOutcome::Received) return names;
    const Connection& x = *connection_;
    std::vector<xcb_get_atom_name_cookie_t> asked(list.size() / 4);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        xcb_atom_t atom = 0;
        std::memcpy(&atom, list.data() + 4 * i, 4);
        asked[i] = xcb_get_atom_name(x.c, atom);
    }
    for (const xcb_get_atom_name_cookie_t& cookie : asked) {
        if (auto name = reply(xcb_get_atom_name_reply(x.c, cookie, nullptr)))
            names.emplace_back(xcb_get_atom_name_name(name.get()), xcb_get_atom_name_name_length(name.get()));
    }
    return names;
}

}  // namespace velmora::platform
