// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/calculator_state.h"

#include "engine/host.h"
#include "engine/tape.h"

namespace korvex {

void ResetCalculator(CalculatorState &state)
{
    state.DecimalEntered = false;
    state.OperandCount = 0;
    state.InputState = input_state::None;
    state.PendingOperator = " ";
    state.readout = "0,";
}

void Cancel_Click(CalculatorState &state, Host &host)
{
    state.label1.clear();
    state.readout = "0,";
    state.FirstOperand = 0.0;
    state.SecondOperand = 0.0;
    host.record(TapeSeparator);
    host.runLoadStep();
    host.moveFocusToEquals();
}

// The operation in progress survives: only the entry is cleared.
void CancelEntry_Click(CalculatorState &state, Host &host)
{
    state.label1.clear();
    state.readout = "0,";
    state.DecimalEntered = false;
    state.InputState = input_state::Cleared;
    host.moveFocusToEquals();
}

} // namespace korvex
