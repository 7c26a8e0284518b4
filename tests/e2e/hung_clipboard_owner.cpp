// SPDX-License-Identifier: GPL-3.0-or-later
// A program that takes the X clipboard and never answers a request for it, as a hung one would.
// It prints "ready" once it owns the clipboard, then sleeps until it is killed.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <xcb/xcb.h>

int main()
{
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c) != 0)
        return 1;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_intern_atom_reply_t *clipboard =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 9, "CLIPBOARD"), nullptr);
    if (clipboard == nullptr)
        return 1;
    xcb_set_selection_owner(c, window, clipboard->atom, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard->atom), nullptr);
    if (owner == nullptr || owner->owner != window)
        return 1;
    std::free(owner);
    std::free(clipboard);
    std::puts("ready");
    std::fflush(stdout);
    for (;;)
        pause(); // the requests pile up, unread
}
