// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/x11_clipboard.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <poll.h>
#include <string_view>
#include <xcb/xcb.h>

namespace korvex {

namespace {

    constexpr std::array<std::string_view, 5> textTargets{
        "text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING", "TEXT"};

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

    // The property the owner wrote its answer to; nothing when the deadline passed first.
    std::optional<xcb_atom_t> awaitSelectionNotify(
        xcb_connection_t *connection, std::chrono::steady_clock::time_point deadline)
    {
        for (;;) {
            while (const auto event = own(xcb_poll_for_event(connection))) {
                if ((event->response_type & 0x7F) == XCB_SELECTION_NOTIFY)
                    return reinterpret_cast<xcb_selection_notify_event_t *>(event.get())->property;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (xcb_connection_has_error(connection) != 0 || left.count() <= 0)
                return std::nullopt;
            pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
            ::poll(&descriptor, 1, static_cast<int>(left.count()) + 1);
        }
    }

    std::vector<xcb_atom_t> readAtoms(
        xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
    {
        const auto reply = own(xcb_get_property_reply(connection,
            xcb_get_property(connection, 1, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr));
        if (!reply || reply->type != XCB_ATOM_ATOM || reply->format != 32)
            return {};
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        return {atoms, atoms + xcb_get_property_value_length(reply.get()) / 4};
    }

} // namespace

X11ClipboardTargets AskClipboardTargets(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    int screenNumber = 0;
    const Connection connection(xcb_connect(nullptr, &screenNumber));
    if (xcb_connection_has_error(connection.get()) != 0)
        return {};
    xcb_connection_t *c = connection.get();
    const std::array<std::string_view, 3> names{"CLIPBOARD", "TARGETS", "KORVEX_TARGETS"};
    const auto [clipboard, targets, property] = internAll(c, names);
    const auto owner =
        own(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return {X11ClipboardTargets::Answer::Given, {}};

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_convert_selection(c, window, clipboard, targets, property, XCB_CURRENT_TIME);
    xcb_flush(c);
    const auto answered = awaitSelectionNotify(c, deadline);
    if (!answered)
        return {X11ClipboardTargets::Answer::NoAnswer, {}};

    X11ClipboardTargets result{X11ClipboardTargets::Answer::Given, {}};
    if (*answered == XCB_ATOM_NONE)
        return result; // the owner offers no list of formats
    const std::vector<xcb_atom_t> offered = readAtoms(c, window, *answered);
    const auto textAtoms = internAll(c, textTargets);
    for (std::size_t i = 0; i < textTargets.size(); ++i) {
        if (std::find(offered.begin(), offered.end(), textAtoms[i]) != offered.end())
            result.text.emplace_back(textTargets[i]);
    }
    return result;
}

} // namespace korvex
