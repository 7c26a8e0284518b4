// SPDX-License-Identifier: GPL-3.0-or-later
// A program that takes the X clipboard and misbehaves on purpose, as a hung, dying or slow owner
// would. Its argument says how:
//   hang-targets  never answers
//   hang-text     answers the list of formats, never the text
//   die-on-text   answers the list, exits when asked for the text
//   incr-die      sends the text in pieces and exits after three of them
//   incr-stall    sends three pieces, then nothing more
//   incr-slow     sends forty pieces of a thousand '7's, 150 ms apart: six seconds in all
//   latin1        offers only STRING, and sends "é" in Latin-1
// It prints "ready" once it owns the clipboard, "stall <ns since the epoch>" when it starts to
// fail, "done" when a whole text is sent. It serves one text request, then ignores every request.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *c = nullptr;
std::string mode;
bool serving = true;

xcb_atom_t intern(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

void say(const char *line)
{
    std::puts(line);
    std::fflush(stdout);
}

void stall()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("stall %lld\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    std::fflush(stdout);
    serving = false;
}

void notify(const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    xcb_selection_notify_event_t answer{};
    answer.response_type = XCB_SELECTION_NOTIFY;
    answer.time = request.time;
    answer.requestor = request.requestor;
    answer.selection = request.selection;
    answer.target = request.target;
    answer.property = property;
    xcb_send_event(
        c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&answer));
    xcb_flush(c);
}

void put(
    xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format, const std::string &bytes)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type,
        static_cast<std::uint8_t>(format),
        static_cast<std::uint32_t>(bytes.size() * 8 / static_cast<std::size_t>(format)),
        bytes.data());
    xcb_flush(c);
}

} // namespace

int main(int argc, char **argv)
{
    mode = argc > 1 ? argv[1] : "hang-targets";
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
    std::free(owner);
    say("ready");

    xcb_window_t requestor = XCB_WINDOW_NONE; // the one receiving a text in pieces
    xcb_atom_t property = XCB_ATOM_NONE;
    int pieces = 0;
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const int type = event->response_type & 0x7F;
        if (type == XCB_SELECTION_CLEAR)
            return 0;
        if (type == XCB_SELECTION_REQUEST && serving) {
            const auto &request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            if (request.target == targets && mode == "hang-targets") {
                stall();
            } else if (request.target == targets) {
                const xcb_atom_t offered[] = {targets, text};
                put(request.requestor, request.property, XCB_ATOM_ATOM, 32,
                    std::string(reinterpret_cast<const char *>(offered), sizeof offered));
                notify(request, request.property);
            } else if (request.target != text) {
                notify(request, XCB_ATOM_NONE);
            } else if (mode == "hang-text") {
                stall();
            } else if (mode == "die-on-text") {
                stall();
                return 0;
            } else if (mode == "latin1") {
                put(request.requestor, request.property, XCB_ATOM_STRING, 8, "\xe9");
                notify(request, request.property);
                say("done");
                serving = false;
            } else { // the text in pieces: each sent once the requestor deleted the last one
                requestor = request.requestor;
                property = request.property;
                const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &events);
                const std::uint32_t size = 40000;
                put(requestor, property, incr, 32,
                    std::string(reinterpret_cast<const char *>(&size), sizeof size));
                notify(request, property);
                serving = false;
            }
        } else if (type == XCB_PROPERTY_NOTIFY && requestor != XCB_WINDOW_NONE) {
            const auto &changed = *reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (changed.window != requestor || changed.atom != property
                || changed.state != XCB_PROPERTY_DELETE) {
                std::free(event);
                continue;
            }
            if (pieces == 3 && mode != "incr-slow") {
                stall();
                if (mode == "incr-die")
                    return 0;
                requestor = XCB_WINDOW_NONE;
            } else if (pieces == 40) {
                put(requestor, property, utf8, 8, {}); // the empty piece that ends the text
                say("done");
                requestor = XCB_WINDOW_NONE;
            } else {
                if (mode == "incr-slow")
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                put(requestor, property, utf8, 8, std::string(1000, '7'));
                ++pieces;
            }
        }
        std::free(event);
    }
    return 0;
}
