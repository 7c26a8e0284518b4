// SPDX-License-Identifier: GPL-3.0-or-later
// The one-character legend the core tests write button presses in.
#pragma once

#include "engine/calculator_state.h"
#include "engine/host.h"

#include <string_view>

namespace korvex {

// The digits; "," and the operators by their captions "/" "+" "X" "-" "="; "%"; C (clear),
// E (clear entry), N (+/-), < (backspace); the function keys x (x²), v (square root), i (1/x),
// p (pi), s, o, t (sine, cosine, tangent). False for a character that is no button.
bool pressButton(CalculatorState &state, Host &host, char key);

// Presses each in turn; a character that is no button fails the test.
void pressAll(CalculatorState &state, Host &host, std::string_view keys);

} // namespace korvex
