// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/key_map.h"

#include <array>
#include <string_view>

namespace korvex {

namespace {

    constexpr int enterCode = 13;
    constexpr int backspaceCode = 8;
    constexpr int commaCode = 44;

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
