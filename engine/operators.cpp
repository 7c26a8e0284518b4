#include "engine/operators.h"

#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/readout.h"

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

    // The pending operation on FirstOperand and the readout saved by this press. A failure leaves
    // FirstOperand as it was.
    bool completeOperation(CalculatorState &state, Host &host)
    {
        state.SecondOperand = state.SavedReadout;
        const std::string &op = state.PendingOperator;
        if (op == "=") {
            const auto second = OperandToNumber(state.SecondOperand);
            if (!second)
                return false;
            state.FirstOperand = *second;
        } else if (op == "/" || op == "+" || op == "-" || op == "X" || op == "%") {
            // The divisor is tested before the dividend is even read.
            const auto second = OperandToNumber(state.SecondOperand);
            if (!second)
                return false;
            if (op == "/" && *second == 0) {
                host.showMessage(DivisionByZeroMessage);
            } else {
                const auto first = OperandToNumber(state.FirstOperand);
                if (!first)
                    return false;
                const double result = *arithmetic(op, *first, *second);
                if (!std::isfinite(result))
                    return false;
                state.FirstOperand = result;
            }
        }
        state.readout = OperandToText(state.FirstOperand);
        state.OperandCount = 1;
        return true;
    }

    bool applyOperator(CalculatorState &state, Host &host, const std::string &caption)
    {
        if (state.InputState == input_state::Nums && !countOperand(state))
            return false;
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
