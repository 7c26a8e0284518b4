// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/operators.h"

#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/readout.h"
#include "engine/tape.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace korvex {

namespace {

    // OperandCount is a 16-bit counter: growing past its top is a failure, not a wrap.
    bool countOperand(CalculatorState &state)
    {
        if (state.OperandCount == std::numeric_limits<std::int16_t>::max())
            return false;
        ++state.OperandCount;
        return true;
    }

    std::optional<double> arithmetic(std::string_view op, double first, double second)
    {
        if (op == "+")
            return first + second;
        if (op == "-")
            return first - second;
        if (op == "X" || op == "%")
            return first * second;
        if (op == "/")
            return first / second;
        return std::nullopt;
    }

    // The operation as the tape writes it. Percent multiplies by the percentage shown, whatever
    // operator came before it, so the tape says "X" and gives the percentage back as typed.
    std::string operationText(const CalculatorState &state)
    {
        const std::string &op = state.PendingOperator;
        const std::string first = TapeNumber(state.FirstOperand);
        if (op == "=")
            return TapeNumber(state.SecondOperand);
        if (op == "%") {
            const auto share = OperandToNumber(state.SecondOperand);
            if (share && std::isfinite(*share * 100))
                return first + " X " + NumberToText(*share * 100) + " %";
        }
        return first + " " + op + " " + TapeNumber(state.SecondOperand);
    }

    bool failOperation(const CalculatorState &state, Host &host)
    {
        host.record(FailedEntry(operationText(state), OverflowMessage));
        return false;
    }

    // The pending operation on FirstOperand and the readout saved by this press. A failure leaves
    // FirstOperand as it was.
    bool completeOperation(CalculatorState &state, Host &host)
    {
        state.SecondOperand = state.SavedReadout;
        const std::string &op = state.PendingOperator;
        std::string entry; // stays empty when nothing is computed
        if (op == "=") {
            const auto second = OperandToNumber(state.SecondOperand);
            if (!second)
                return failOperation(state, host);
            state.FirstOperand = *second;
        } else if (op == "/" || op == "+" || op == "-" || op == "X" || op == "%") {
            // The divisor is tested before the dividend is even read.
            const auto second = OperandToNumber(state.SecondOperand);
            if (!second)
                return failOperation(state, host);
            entry = operationText(state);
            if (op == "/" && *second == 0) {
                host.record(FailedEntry(entry, DivisionByZeroMessage));
                entry.clear();
                host.showMessage(DivisionByZeroMessage);
            } else {
                const auto first = OperandToNumber(state.FirstOperand);
                if (!first)
                    return failOperation(state, host);
                const double result = *arithmetic(op, *first, *second);
                if (!std::isfinite(result))
                    return failOperation(state, host);
                state.FirstOperand = result;
            }
        }
        state.readout = OperandToText(state.FirstOperand);
        state.OperandCount = 1;
        if (!entry.empty())
            host.record(entry + " = " + state.readout);
        return true;
    }

    bool applyOperator(CalculatorState &state, Host &host, const std::string &caption)
    {
        if (state.InputState == input_state::Nums && !countOperand(state)) {
            host.record(FailedEntry(TapeNumber(state.readout) + " " + caption, OverflowMessage));
            return false;
        }
        const bool minus = caption == "-";
        if (state.OperandCount == 0) {
            // A minus before any operand begins a negative number.
            if (minus && state.InputState != input_state::Neg) {
                state.readout.insert(0, "-");
                state.InputState = input_state::Neg;
            }
        } else if (state.OperandCount == 1) {
            state.FirstOperand = state.readout;
            if (state.InputState != input_state::Nums && minus && state.PendingOperator != "=") {
                state.readout = "-";
                state.InputState = input_state::Neg;
            }
        } else if (state.OperandCount == 2) {
            if (!completeOperation(state, host))
                return false;
        }
        if (state.InputState != input_state::Neg) {
            state.InputState = input_state::Ops;
            state.PendingOperator = caption;
        }
        return true;
    }

} // namespace

void Operator_Click(CalculatorState &state, Host &host, std::int16_t index)
{
    if (index >= 0 && index < static_cast<std::int16_t>(OperatorCaptions.size())) {
        state.label1.clear();
        state.SavedReadout = state.readout;
        if (!applyOperator(
                state, host, std::string(OperatorCaptions[static_cast<std::size_t>(index)]))) {
            host.showMessage(OverflowMessage);
            host.record(TapeSeparator);
            host.runLoadStep();
        }
    }
    host.moveFocusToEquals();
}

void Percent_Click(CalculatorState &state, Host &host)
{
    state.label1.clear();
    const auto number = TextToNumber(state.readout);
    const double percentage = number ? *number / 100 : 0;
    if (!number || !std::isfinite(percentage)) {
        host.record(FailedEntry(TapeNumber(state.readout) + " %", OverflowMessage));
        host.showMessage(OverflowMessage);
        host.moveFocusToEquals();
        return;
    }
    state.readout = NumberToText(percentage);
    state.InputState = input_state::Percent;
    state.PendingOperator = "%";
    if (countOperand(state))
        state.DecimalEntered = true;
    else
        host.showMessage(OverflowMessage);
    host.moveFocusToEquals();
}

} // namespace korvex
