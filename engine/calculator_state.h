// SPDX-License-Identifier: GPL-3.0-or-later
// The running calculation of the main window, and the clear buttons C and CE.
#pragma once

#include "engine/operand.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korvex {

class Host;

// The exact tags of InputState; only "NUMS" and "NEG" are ever tested.
namespace input_state {
    inline constexpr std::string_view None = "NONE";
    inline constexpr std::string_view Nums = "NUMS";
    inline constexpr std::string_view Neg = "NEG";
    inline constexpr std::string_view Ops = "OPS";
    inline constexpr std::string_view Percent = "Ops"; // percent's own tag, lower case on purpose
    inline constexpr std::string_view Cleared = "CE";
} // namespace input_state

struct CalculatorState
{
    std::string readout = "0,"; // with the decimal comma; a number being typed ends with ","
    std::string label1; // the status label beside the readout
    Operand FirstOperand;
    Operand SecondOperand;
    bool DecimalEntered = false;
    std::int16_t OperandCount = 0;
    std::string InputState; // tags of input_state; empty until the first load step
    std::string PendingOperator; // " " for none, an operator's caption, "=" or "%"
    std::string SavedReadout;
};

void ResetCalculator(CalculatorState &state);
void Cancel_Click(CalculatorState &state, Host &host);
void CancelEntry_Click(CalculatorState &state, Host &host);

} // namespace korvex
