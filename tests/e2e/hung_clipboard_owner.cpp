// SPDX-License-Identifier: GPL-3.0-or-later
// A program that takes the X clipboard and misbehaves as its argument says: hang-targets never
// answers; hang-text answers the list of formats, never the text; die-on-text exits when asked for
// the text; incr-die and incr-stall send three pieces of the text, then exit or go silent;
// incr-slow sends forty pieces of a thousand '7's 150 ms apart; latin1 offers only STRING, an "é".
// It prints "ready" once it owns the clipboard, "stall" when it starts to fail and "done" when a
// whole text is sent. It serves one text request, then ignores every request.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *c = nullptr;

xcb_atom_t intern(const std::string &name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

void put(
    xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format, const std::string &bytes)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type,
        static_cast<std::uint8_t>(format), static_cast<std::uint32_t>(bytes.size() * 8) / format,
        bytes.data());
    xcb_flush(c);
}

// Writes the answer and tells the requestor where it is.
void answer(const xcb_selection_request_event_t &request, xcb_atom_t type, int format,
    const std::string &bytes)
{
    if (type != XCB_ATOM_NONE)
        put(request.requestor, request.property, type, format, bytes);
    xcb_selection_notify_event_t notify{XCB_SELECTION_NOTIFY, 0, 0, request.time, request.requestor,
        request.selection, request.target,
        type != XCB_ATOM_NONE ? request.property : xcb_atom_t{XCB_ATOM_NONE}};
    xcb_send_event(c, 0, request.requestor, 0, reinterpret_cast<const char *>(&notify));
    xcb_flush(c);
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "hang-targets";
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each line seen at once by the script
    int screenNumber = 0;
    c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c) != 0)
        return 1;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = intern("CLIPBOARD"), targets = intern("TARGETS"),
                     incr = intern("INCR"), utf8 = intern("UTF8_STRING");
    const xcb_atom_t text = mode == "latin1" ? xcb_atom_t{XCB_ATOM_STRING} : utf8;
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (owner == nullptr || owner->owner != window)
        return 1;
    std::puts("ready");

    bool serving = true;
    xcb_selection_request_event_t piecesTo{}; // the request whose text goes in pieces
    int pieces = 0;
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const auto &request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
        const auto &changed = *reinterpret_cast<xcb_property_notify_event_t *>(event);
        const int type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_CLEAR)
            return 0;
        if (type == XCB_SELECTION_REQUEST && serving) {
            const bool list = request.target == targets;
            serving = list && mode != "hang-targets";
            const xcb_atom_t offered[] = {targets, text};
            if (serving) {
                answer(request, XCB_ATOM_ATOM, 32,
                    std::string(reinterpret_cast<const char *>(offered), sizeof offered));
            } else if (list || mode == "hang-text" || mode == "die-on-text") {
                std::puts("stall");
                if (mode == "die-on-text")
                    return 0;
            } else if (mode == "latin1") {
                answer(request, XCB_ATOM_STRING, 8, "\xe9");
                std::puts("done");
            } else {
                piecesTo = request;
                const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE, size = 40000;
                xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
                answer(request, incr, 32, std::string(reinterpret_cast<const char *>(&size), 4));
            }
        } else if (type == XCB_PROPERTY_NOTIFY && changed.window == piecesTo.requestor
            && changed.atom == piecesTo.property && changed.state == XCB_PROPERTY_DELETE) {
            // Each piece goes once the requestor has taken the one before; an empty one ends.
            if (pieces == 3 && mode != "incr-slow") {
                std::puts("stall");
                if (mode == "incr-die")
                    return 0;
                piecesTo.requestor = XCB_WINDOW_NONE;
            } else {
                if (mode == "incr-slow")
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                const bool last = pieces++ == 40;
                put(piecesTo.requestor, piecesTo.property, utf8, 8,
                    last ? std::string() : std::string(1000, '7'));
                if (last)
                    std::puts("done");
            }
        }
        std::free(event);
    }
}
