// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/typed_key.h"

#include "ui/key_map.h"

#include <QtCore/qnamespace.h>
#include <optional>

namespace korvex {

namespace {

    constexpr int backspaceCode = 8;
    constexpr int enterCode = 13;
    constexpr int escapeCode = 27;

    // Keys beyond the characters: only these three type a code of their own.
    std::optional<int> specialKeyCode(int key)
    {
        switch (key) {
        case Qt::Key_Backspace:
            return backspaceCode;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return enterCode;
        case Qt::Key_Escape:
            return escapeCode;
        }
        return std::nullopt;
    }

    // Control with a letter types that letter's control code (Ctrl+F is 6, not an F), whether the
    // platform put the code or the letter in the text, or nothing at all.
    std::optional<int> controlLetterCode(int key, std::u32string_view text)
    {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        if (key >= Qt::Key_Escape && key != Qt::Key_unknown)
            return std::nullopt; // Enter, Backspace, Tab: their codes are no letters
        if (text.size() == 1 && text[0] >= 1 && text[0] <= 26)
            return static_cast<int>(text[0]);
        return std::nullopt;
    }

    // C0 and C1 controls and Delete are no characters to type.
    bool printable(char32_t character)
    {
        return character >= 0x20 && character != 0x7F && !(character >= 0x80 && character < 0xA0);
    }

} // namespace

std::vector<int> TypedKeyCodes(int key, std::u32string_view text, bool control)
{
    if (control) {
        const auto code = controlLetterCode(key, text);
        return code ? std::vector<int>{*code} : std::vector<int>{};
    }
    if (const auto code = specialKeyCode(key))
        return {*code};
    // Keys from Qt::Key_Escape on are keys without a character: Delete, arrows, F1 to F35...
    if (key >= Qt::Key_Escape && key != Qt::Key_unknown)
        return {};
    std::vector<int> codes;
    for (const char32_t character : text) {
        if (printable(character))
            codes.push_back(Windows1252Code(character));
    }
    return codes;
}

} // namespace korvex
