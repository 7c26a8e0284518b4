// SPDX-License-Identifier: GPL-3.0-or-later
// Which key presses type a character, and which codes they hand to the key maps.
#pragma once

#include <string_view>
#include <vector>

namespace korvex {

// The codes a key press types, in order, for the key maps: printable characters, Backspace (8),
// Enter (13), Escape (27) and Control with a letter (1 to 26). Delete, the arrows, the function
// keys and Control with anything but a letter type nothing. `key` is the toolkit's key number,
// `text` what the platform says the press typed.
std::vector<int> TypedKeyCodes(int key, std::u32string_view text, bool control);

} // namespace korvex
