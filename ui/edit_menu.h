// SPDX-License-Identifier: GPL-3.0-or-later
// The Edit menu's decision: what a paste does to the calculator.
#pragma once

#include <string>

namespace korvex {

struct CalculatorState;

// The text goes to the readout as it stands, and counts as a number being typed.
void PasteIntoReadout(CalculatorState &state, std::string text);

} // namespace korvex
