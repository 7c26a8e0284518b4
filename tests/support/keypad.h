// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator core as the main window holds it, its buttons by the one letter each has in every
// test, and the program's messages written out. Free of Qt: the fuzz harness shares it.
#pragma once

#include "conversion/currency.h"
#include "conversion/settings.h"
#include "conversion/vat.h"
#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/number_entry.h"
#include "engine/operators.h"
#include "functions/memory_register.h"
#include "functions/unary_functions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace korvex {

struct Core
{
    CalculatorState state;
    MemoryRegister memory;
    Settings settings;
};

// What a click on a button does, and the letter the tests write it with.
struct Button
{
    char letter;
    void (*click)(Core &, Host &);
};

namespace keypad {
    template <std::int16_t index> void digit(Core &core, Host &host)
    {
        Number_Click(core.state, host, index);
    }
    template <std::int16_t index> void operation(Core &core, Host &host)
    {
        Operator_Click(core.state, host, index);
    }
    // Each handler with the parts of the core it takes.
    template <auto handler> void click(Core &core, Host &host)
    {
        if constexpr (std::is_invocable_v<decltype(handler), CalculatorState &, Host &>)
            handler(core.state, host);
        else if constexpr (std::is_invocable_v<decltype(handler), MemoryRegister &, Host &>)
            handler(core.memory, host);
        else if constexpr (std::is_invocable_v<decltype(handler), CalculatorState &, Settings &,
                               Host &>)
            handler(core.state, core.settings, host);
        else
            handler(core.memory, core.state, host);
    }
} // namespace keypad

// The legend: digits; "/" "+" "X" "-" "=" as captioned; "," and "%"; C (clear), E (clear entry),
// N (+/-), < (backspace); x (x²), v (square root), i (1/x), p (pi), s o t (sine, cosine,
// tangent); c r m a (MC, MR, MS, M+); F ("Euro  > Francs"), U ("Francs > Euro"), T ("HT > TTC"),
// H ("TTC > HT"). In the order of the fuzz harness's button codes, which its corpus is written in.
inline constexpr std::array<Button, 36> Buttons{{{'0', keypad::digit<0>}, {'1', keypad::digit<1>},
    {'2', keypad::digit<2>}, {'3', keypad::digit<3>}, {'4', keypad::digit<4>},
    {'5', keypad::digit<5>}, {'6', keypad::digit<6>}, {'7', keypad::digit<7>},
    {'8', keypad::digit<8>}, {'9', keypad::digit<9>}, {'/', keypad::operation<0>},
    {'+', keypad::operation<1>}, {'X', keypad::operation<2>}, {'-', keypad::operation<3>},
    {'=', keypad::operation<4>}, {',', keypad::click<Decimal_Click>},
    {'%', keypad::click<Percent_Click>}, {'C', keypad::click<Cancel_Click>},
    {'E', keypad::click<CancelEntry_Click>}, {'N', keypad::click<Command6_Click>},
    {'<', keypad::click<Command12_Click>}, {'x', keypad::click<Command1_Click>},
    {'v', keypad::click<Command5_Click>}, {'i', keypad::click<Command13_Click>},
    {'p', keypad::click<Command15_Click>}, {'s', keypad::click<Command16_Click>},
    {'o', keypad::click<Command17_Click>}, {'t', keypad::click<Command18_Click>},
    {'c', keypad::click<Command8_Click>}, {'r', keypad::click<Command9_Click>},
    {'m', keypad::click<Command10_Click>}, {'a', keypad::click<Command11_Click>},
    {'F', keypad::click<EuroToFrancs>}, {'U', keypad::click<FrancsToEuro>},
    {'T', keypad::click<HtToTtc>}, {'H', keypad::click<TtcToHt>}}};

// Nothing for a letter that is no button.
inline const Button *buttonOf(char letter)
{
    const auto *button = std::find_if(
        Buttons.begin(), Buttons.end(), [letter](const Button &b) { return b.letter == letter; });
    return button == Buttons.end() ? nullptr : button;
}

// The program's messages as the user reads them, with the letter each has in the tests.
inline const std::array<std::pair<char, Message>, 6> Messages{{
    {'O', {"Dépacement de capacité !", "Erreur", MessageIcon::Error}}, // the engine's traps
    {'D', {"Division par zéro.", "Calculatrice", MessageIcon::Warning}},
    {'E', {"Erreur : Débordement", "Erreur", MessageIcon::Error}}, // function keys and M+
    {'V', {"Dépassement de capacité !", "Erreur", MessageIcon::Error}}, // conversions and VAT
    {'S', {"Les paramètres n'ont pas pu être enregistrés.", "Erreur", MessageIcon::Warning}},
    {'I', {"Information Systeme introuvable !", "Korvex", MessageIcon::None}},
}};

// '?' for a message that is none of them, or differs from it in its title or icon.
inline char letterOf(const Message &message)
{
    for (const auto &[letter, known] : Messages)
        if (known == message)
            return letter;
    return '?';
}

} // namespace korvex
