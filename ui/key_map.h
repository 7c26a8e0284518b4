// SPDX-License-Identifier: GPL-3.0-or-later
// Which calculator command a typed character stands for, on the buttons that have key handlers.
#pragma once

#include <cstdint>

namespace korvex {

enum class KeyCommand {
    None,
    Digit,
    Decimal,
    Operator,
    Percent,
    Backspace,
    Cancel,
    CancelEntry,
    Negate,
    Square,
    SquareRoot,
    Inverse,
    Pi,
    Sine,
    Cosine,
    Tangent,
    Quit,
};

struct KeyAction
{
    KeyCommand command = KeyCommand::None;
    std::int16_t index = 0; // the digit, or the element of the operator buttons

    friend bool operator==(const KeyAction &, const KeyAction &) = default;
};

// The "=" and other operator buttons. The key code is changed in place as the map says: a refused
// character becomes 0, "." becomes the comma's 44.
KeyAction OperatorKeyMap(int &keyCode);

// The digit buttons: a smaller map, without backspace, "=", the functions and quitting.
KeyAction NumberKeyMap(int &keyCode);

// The character's code in Windows-1252, the code page the key maps are written in; 63 ("?") for a
// character outside it.
int Windows1252Code(char32_t character);

} // namespace korvex
