// SPDX-License-Identifier: GPL-3.0-or-later
// The one-operand function keys: square, square root, inverse, pi, and sine, cosine and tangent
// of an angle in degrees, each applied at once to the number shown.
#pragma once

#include "engine/host.h"

namespace korvex {

struct CalculatorState;

// The function keys' own text, distinct from the engine's and the conversions' overflow texts.
inline const Message FunctionOverflowMessage{"Erreur : Débordement", "Erreur", MessageIcon::Error};

void Command1_Click(CalculatorState &state, Host &host); // "x²"
void Command5_Click(CalculatorState &state, Host &host); // square root
void Command13_Click(CalculatorState &state, Host &host); // "1/x"
void Command15_Click(CalculatorState &state, Host &host); // pi
void Command16_Click(CalculatorState &state, Host &host); // "Sin", degrees
void Command17_Click(CalculatorState &state, Host &host); // "Cos", degrees
void Command18_Click(CalculatorState &state, Host &host); // "Tan", degrees

} // namespace korvex
