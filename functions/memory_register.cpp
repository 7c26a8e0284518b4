// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/memory_register.h"

#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/readout.h"
#include "engine/tape.h"
#include "functions/unary_functions.h"

#include <cmath>

namespace korvex {

namespace {

    // A stored text that is not a number (pasted, then stored with MS) counts as 0 everywhere,
    // so the tooltip can always be composed and the load step always runs to its end.
    double numericValue(const Operand &MemoryValue)
    {
        return OperandToNumber(MemoryValue).value_or(0.0);
    }

} // namespace

// Negative zero, left by adding "-0," to a stored "-0,", is shown as plain 0 like any zero.
std::string PointNotation(double value)
{
    std::string text = NumberToPointText(value);
    for (char &c : text) {
        if (c == 'e')
            c = 'E';
    }
    if (!text.starts_with('-'))
        text.insert(0, " ");
    return text;
}

std::string MemoryTooltip(const Operand &MemoryValue)
{
    return "Rappelle la mémoire M = " + PointNotation(numericValue(MemoryValue));
}

void ComposeMemoryTooltip(MemoryRegister &memory)
{
    memory.tooltip = MemoryTooltip(memory.MemoryValue);
}

void Command8_Click(MemoryRegister &memory, Host &host)
{
    memory.MemoryValue = 0.0;
    memory.indicator.clear();
    ComposeMemoryTooltip(memory);
    host.record("MC");
    host.moveFocusToEquals();
}

// A zero memory, empty or stored as "0,", recalls nothing, and InputState stays as it was.
void Command9_Click(const MemoryRegister &memory, CalculatorState &state, Host &host)
{
    if (numericValue(memory.MemoryValue) != 0) {
        state.readout = OperandToText(memory.MemoryValue);
        state.InputState = input_state::Nums;
    }
    host.moveFocusToEquals();
}

// The text is kept as it stands, trailing comma or grouping included, and is read only when used.
void Command10_Click(MemoryRegister &memory, const CalculatorState &state, Host &host)
{
    memory.MemoryValue = state.readout;
    memory.indicator = "M";
    ComposeMemoryTooltip(memory);
    host.record("M = " + TapeNumber(memory.MemoryValue));
    host.moveFocusToEquals();
}

// A readout that is not a number or a sum beyond the double range leaves the memory, the
// indicator and the tooltip exactly as they were.
void Command11_Click(MemoryRegister &memory, const CalculatorState &state, Host &host)
{
    const auto x = TextToNumber(state.readout);
    const double sum = x ? numericValue(memory.MemoryValue) + *x : 0;
    const std::string added = "M + " + TapeNumber(state.readout);
    if (!x || !std::isfinite(sum)) {
        host.record(FailedEntry(added, FunctionOverflowMessage));
        host.showMessage(FunctionOverflowMessage);
    } else {
        memory.MemoryValue = sum;
        memory.indicator = "M";
        ComposeMemoryTooltip(memory);
        host.record(added + " = " + NumberToText(sum));
    }
    host.moveFocusToEquals();
}

} // namespace korvex
