#include "ui/key_map.h"

#include <QtCore/qnamespace.h>
#include <array>
#include <optional>
#include <string_view>

namespace korvex {

namespace {

    constexpr int enterCode = 13;
    constexpr int backspaceCode = 8;
    constexpr int commaCode = 44;
    constexpr int escapeCode = 27;

    constexpr std::string_view operatorKeys = "0123456789.-+/*%CcEeNnVvXxIiQqPpSsOoTtFf,=";
    constexpr std::string_view numberKeys = "0123456789.-+/*%CcEeNnVvXx,";

    bool accepted(std::string_view keys, int code)
    {
        return code > 0 && code < 128
            && keys.find(static_cast<char>(code)) != std::string_view::npos;
    }

    KeyAction operatorAt(std::int16_t index)
    {
        return {KeyCommand::Operator, index};
    }

    // Every command of the full map; the digit-button map reaches a subset of it.
    KeyAction actionOf(int &keyCode)
    {
        if (keyCode >= '0' && keyCode <= '9')
            return {KeyCommand::Digit, static_cast<std::int16_t>(keyCode - '0')};
        switch (keyCode) {
        case backspaceCode:
            return {KeyCommand::Backspace};
        case enterCode:
        case '=':
            return operatorAt(4);
        case '%':
            return {KeyCommand::Percent};
        case '*':
            return operatorAt(2);
        case '+':
            return operatorAt(1);
        case '-':
            return operatorAt(3);
        case '/':
            return operatorAt(0);
        case '.':
            keyCode = commaCode;
            return {KeyCommand::Decimal};
        case 'C':
        case 'c':
            return {KeyCommand::Cancel};
        case 'E':
        case 'e':
            return {KeyCommand::CancelEntry};
        case 'F':
        case 'f':
        case 'Q':
        case 'q':
            return {KeyCommand::Quit};
        case 'I':
        case 'i':
            return {KeyCommand::Inverse};
        case 'N':
        case 'n':
            return {KeyCommand::Negate};
        case 'O':
        case 'o':
            return {KeyCommand::Cosine};
        case 'P':
        case 'p':
            return {KeyCommand::Pi};
        case 'S':
        case 's':
            return {KeyCommand::Sine};
        case 'T':
        case 't':
            return {KeyCommand::Tangent};
        case 'V':
        case 'v':
            return {KeyCommand::SquareRoot};
        case 'X':
        case 'x':
            return {KeyCommand::Square};
        }
        return {}; // the comma and cancelled keys
    }

} // namespace

KeyAction OperatorKeyMap(int &keyCode)
{
    if (!accepted(operatorKeys, keyCode) && keyCode != enterCode && keyCode != backspaceCode)
        keyCode = 0;
    return actionOf(keyCode);
}

KeyAction NumberKeyMap(int &keyCode)
{
    if (!accepted(numberKeys, keyCode) && keyCode != enterCode)
        keyCode = 0;
    return actionOf(keyCode);
}

namespace {

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

int Windows1252Code(char32_t character)
{
    // 0x80 to 0x9F are the only codes where the code page differs from Unicode.
    static constexpr std::array<char32_t, 32> upperControls{0x20AC, 0, 0x201A, 0x0192, 0x201E,
        0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018,
        0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,
        0x017E, 0x0178};
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<int>(character);
    for (std::size_t i = 0; i < upperControls.size(); ++i) {
        if (upperControls[i] != 0 && upperControls[i] == character)
            return static_cast<int>(0x80 + i);
    }
    return '?';
}

} // namespace korvex
