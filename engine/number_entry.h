// SPDX-License-Identifier: GPL-3.0-or-later
// Typing a number on the readout: digits, the decimal comma, "+/-" and backspace.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvex {

class Host;
struct CalculatorState;

// The captions of the digit buttons; a press adds its button's caption.
inline constexpr std::array<std::string_view, 10> NumberCaptions{
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

void Number_Click(CalculatorState &state, Host &host, std::int16_t index);
void Decimal_Click(CalculatorState &state, Host &host);
void Command6_Click(CalculatorState &state, Host &host); // "+/-"
void Command12_Click(CalculatorState &state, Host &host); // "<=", backspace

} // namespace korvex
