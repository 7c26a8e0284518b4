// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/edit_menu.h"

#include "engine/calculator_state.h"

namespace korvex {

void PasteIntoReadout(CalculatorState &state, std::string text)
{
    state.readout = std::move(text);
    state.InputState = input_state::Nums;
}

} // namespace korvex
