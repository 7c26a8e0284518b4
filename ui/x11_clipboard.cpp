// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/x11_clipboard.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <poll.h>
#include <string_view>
#include <xcb/xcb.h>

namespace korvex {

namespace {

    using namespace std::chrono_literals;

    constexpr std::array<std::string_view, 5> textTargets{
        "text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING", "TEXT"};

    // How often the caller's window gets to paint while we wait or read.
    constexpr std::chrono::milliseconds idleSlice = 20ms;
    // A megabyte a reply: a large text is never asked for in one reply the size of the text.
    constexpr std::uint32_t pieceLongs = 1 << 18;

    struct Disconnect
    {
        void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
    };
    using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

    template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

    template <typename Reply> Owned<Reply> own(Reply *reply)
    {
        return Owned<Reply>(reply, &std::free);
    }

    // All names asked for at once: one round trip to the server, not one per name.
    template <std::size_t N>
    std::array<xcb_atom_t, N> internAll(
        xcb_connection_t *connection, const std::array<std::string_view, N> &names)
    {
        std::array<xcb_intern_atom_cookie_t, N> cookies{};
        for (std::size_t i = 0; i < N; ++i)
            cookies[i] = xcb_intern_atom(
                connection, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
        std::array<xcb_atom_t, N> atoms{};
        for (std::size_t i = 0; i < N; ++i) {
            const auto reply = own(xcb_intern_atom_reply(connection, cookies[i], nullptr));
            atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        }
        return atoms;
    }

    // Our own connection, the clipboard's owner, and a window of ours the owner writes to.
    struct Session
    {
        Connection connection;
        xcb_connection_t *c = nullptr;
        xcb_atom_t clipboard = XCB_ATOM_NONE;
        xcb_window_t owner = XCB_WINDOW_NONE;
        xcb_window_t window = XCB_WINDOW_NONE;
        const std::function<void()> *idle = nullptr;
        std::chrono::steady_clock::time_point idleAt{};
    };

    // Nothing without an X server; a session without a window when nobody owns the clipboard.
    std::optional<Session> openSession(const std::function<void()> *idle)
    {
        int screenNumber = 0;
        Session s{Connection(xcb_connect(nullptr, &screenNumber))};
        s.c = s.connection.get();
        s.idle = idle;
        if (xcb_connection_has_error(s.c) != 0)
            return std::nullopt;
        s.clipboard = internAll(s.c, std::array<std::string_view, 1>{"CLIPBOARD"})[0];
        const auto owner = own(
            xcb_get_selection_owner_reply(s.c, xcb_get_selection_owner(s.c, s.clipboard), nullptr));
        if (!owner || owner->owner == XCB_WINDOW_NONE)
            return s;
        s.owner = owner->owner;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(s.c));
        for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
            xcb_screen_next(&screens);
        s.window = xcb_generate_id(s.c);
        const std::uint32_t ours = XCB_EVENT_MASK_PROPERTY_CHANGE; // the pieces of a large text
        xcb_create_window(s.c, XCB_COPY_FROM_PARENT, s.window, screens.data->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &ours);
        // An owner that exits while we wait is noticed at once rather than at the deadline.
        const std::uint32_t theirs = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(s.c, s.owner, XCB_CW_EVENT_MASK, &theirs);
        return s;
    }

    void runIdle(Session &s)
    {
        const auto now = std::chrono::steady_clock::now();
        if (s.idle == nullptr || now - s.idleAt < idleSlice)
            return;
        s.idleAt = now;
        (*s.idle)();
    }

    // The first event `wanted` accepts; nothing when `wait` passes first, the owner's window is
    // destroyed or the connection breaks. Waits in short slices, running the idle work between.
    template <typename Wanted>
    Owned<xcb_generic_event_t> awaitEvent(Session &s, std::chrono::milliseconds wait, Wanted wanted)
    {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        for (;;) {
            while (auto event = own(xcb_poll_for_event(s.c))) {
                const auto *destroyed = reinterpret_cast<xcb_destroy_notify_event_t *>(event.get());
                if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY
                    && destroyed->window == s.owner)
                    return own<xcb_generic_event_t>(nullptr);
                if (wanted(*event))
                    return event;
            }
            runIdle(s);
            const auto now = std::chrono::steady_clock::now();
            if (xcb_connection_has_error(s.c) != 0 || now >= deadline)
                return own<xcb_generic_event_t>(nullptr);
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
            pollfd descriptor{xcb_get_file_descriptor(s.c), POLLIN, 0};
            ::poll(&descriptor, 1, static_cast<int>(std::min(left + 1ms, idleSlice).count()));
        }
    }

    // The property the owner wrote its answer to, None for a refusal; nothing when the deadline
    // passed first or the owner is gone.
    std::optional<xcb_atom_t> convert(
        Session &s, xcb_atom_t target, xcb_atom_t property, std::chrono::milliseconds wait)
    {
        xcb_convert_selection(s.c, s.window, s.clipboard, target, property, XCB_CURRENT_TIME);
        xcb_flush(s.c);
        const auto event = awaitEvent(s, wait, [](const xcb_generic_event_t &e) {
            return (e.response_type & 0x7F) == XCB_SELECTION_NOTIFY;
        });
        if (!event)
            return std::nullopt;
        return reinterpret_cast<xcb_selection_notify_event_t *>(event.get())->property;
    }

    // Appends the property's whole value to `into`, a megabyte a reply, and deletes it with the
    // last reply. Its type, None when it is missing; nothing when the server did not answer.
    std::optional<xcb_atom_t> takeProperty(
        xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, std::string &into)
    {
        for (std::uint32_t offset = 0;;) {
            const auto reply = own(xcb_get_property_reply(c,
                xcb_get_property(
                    c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, offset, pieceLongs),
                nullptr));
            if (!reply)
                return std::nullopt;
            const int size = xcb_get_property_value_length(reply.get());
            into.append(static_cast<const char *>(xcb_get_property_value(reply.get())),
                static_cast<std::size_t>(size));
            if (reply->bytes_after == 0)
                return reply->type;
            offset += static_cast<std::uint32_t>(size) / 4;
        }
    }

    // A large text comes in pieces: each is a new value of the property, taken and deleted, and an
    // empty one ends the text. Only the wait for each next piece is bounded.
    std::optional<xcb_atom_t> takeIncrementally(
        Session &s, xcb_atom_t property, std::chrono::milliseconds wait, std::string &into)
    {
        // Taking the announcement deleted it, which asked for the first piece: a second delete
        // here could destroy that piece unread.
        xcb_atom_t type = XCB_ATOM_NONE;
        for (;;) {
            const auto event = awaitEvent(s, wait, [&](const xcb_generic_event_t &e) {
                const auto &changed = reinterpret_cast<const xcb_property_notify_event_t &>(e);
                return (e.response_type & 0x7F) == XCB_PROPERTY_NOTIFY && changed.atom == property
                    && changed.state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!event)
                return std::nullopt;
            const std::size_t before = into.size();
            const auto pieceType = takeProperty(s.c, s.window, property, into);
            if (!pieceType || *pieceType == XCB_ATOM_NONE)
                return std::nullopt;
            if (into.size() == before)
                return type == XCB_ATOM_NONE ? *pieceType : type;
            type = *pieceType;
            runIdle(s);
        }
    }

    std::string utf8FromLatin1(const std::string &bytes)
    {
        std::string text;
        text.reserve(bytes.size());
        for (const char byte : bytes) {
            const auto code = static_cast<unsigned char>(byte);
            if (code < 0x80) {
                text += byte;
            } else {
                text += static_cast<char>(0xC0 | (code >> 6));
                text += static_cast<char>(0x80 | (code & 0x3F));
            }
        }
        return text;
    }

    X11ClipboardText readText(const std::string &target, std::chrono::milliseconds wait,
        const std::function<void()> &idle)
    {
        auto session = openSession(&idle);
        if (!session)
            return {};
        Session &s = *session;
        X11ClipboardText result{X11ClipboardText::Answer::Unreadable, {}, s.owner};
        if (s.owner == XCB_WINDOW_NONE)
            return result; // the owner left since it offered the text
        const std::array<std::string_view, 4> names{
            target, "KORVEX_CLIPBOARD", "INCR", "UTF8_STRING"};
        const auto [wanted, property, incr, utf8] = internAll(s.c, names);
        const auto answered = convert(s, wanted, property, wait);
        if (!answered || *answered == XCB_ATOM_NONE)
            return result;
        std::string bytes;
        auto type = takeProperty(s.c, s.window, *answered, bytes);
        if (type == incr) {
            bytes.clear();
            type = takeIncrementally(s, *answered, wait, bytes);
        }
        if (!type || *type == XCB_ATOM_NONE)
            return result;
        // STRING is Latin-1 by definition; TEXT lets the owner choose, and says which by the type.
        const bool latin1 =
            *type == XCB_ATOM_STRING || (*type != utf8 && (target == "STRING" || target == "TEXT"));
        result.text = latin1 ? utf8FromLatin1(bytes) : std::move(bytes);
        result.answer = X11ClipboardText::Answer::Given;
        return result;
    }

} // namespace

X11ClipboardTargets AskClipboardTargets(std::chrono::milliseconds wait)
{
    auto session = openSession(nullptr);
    if (!session)
        return {};
    Session &s = *session;
    if (s.owner == XCB_WINDOW_NONE)
        return {X11ClipboardTargets::Answer::Given, {}, 0};
    const std::array<std::string_view, 2> names{"TARGETS", "KORVEX_TARGETS"};
    const auto [targets, property] = internAll(s.c, names);
    const auto answered = convert(s, targets, property, wait);
    if (!answered)
        return {X11ClipboardTargets::Answer::NoAnswer, {}, s.owner};

    X11ClipboardTargets result{X11ClipboardTargets::Answer::Given, {}, s.owner};
    if (*answered == XCB_ATOM_NONE)
        return result; // the owner offers no list of formats
    std::string bytes;
    if (takeProperty(s.c, s.window, *answered, bytes) != XCB_ATOM_ATOM)
        return result;
    std::vector<xcb_atom_t> offered(bytes.size() / sizeof(xcb_atom_t));
    std::copy_n(bytes.data(), offered.size() * sizeof(xcb_atom_t),
        reinterpret_cast<char *>(offered.data()));
    const auto textAtoms = internAll(s.c, textTargets);
    for (std::size_t i = 0; i < textTargets.size(); ++i) {
        if (std::find(offered.begin(), offered.end(), textAtoms[i]) != offered.end())
            result.text.emplace_back(textTargets[i]);
    }
    return result;
}

X11ClipboardText ReadClipboardText(
    const std::string &target, std::chrono::milliseconds wait, const std::function<void()> &idle)
{
    // A text too large for memory is one the clipboard cannot give us, not a reason to stop.
    try {
        return readText(target, wait, idle);
    } catch (const std::bad_alloc &) {
        return {X11ClipboardText::Answer::Unreadable, {}, 0};
    }
}

} // namespace korvex
