// Which calculator command a typed character stands for, on the buttons that have key handlers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

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

// The codes a key press types, in order, for the key maps: printable characters, Backspace (8),
// Enter (13), Escape (27) and Control with a letter (1 to 26). Delete, the arrows, the function
// keys and Control with anything but a letter type nothing. `key` is the toolkit's key number,
// `text` what the platform says the press typed.
std::vector<int> TypedKeyCodes(int key, std::u32string_view text, bool control);

// The character's code in Windows-1252, the code page the key maps are written in; 63 ("?") for a
// character outside it.
int Windows1252Code(char32_t character);

} // namespace korvex
