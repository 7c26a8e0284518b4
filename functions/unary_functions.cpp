// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/unary_functions.h"

#include "engine/calculator_state.h"
#include "engine/readout.h"
#include "engine/tape.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace korvex {

namespace {

    // Fifteen digits only, about 3.1E-15 short of pi: the pi key shows it and the degree
    // conversion uses it, which is why the cosine of 90 degrees is a tiny number and not 0.
    constexpr double PiConstant = 3.14159265358979;
    constexpr double HalfTurnDegrees = 180;

    // What a function makes of the displayed number: the result, or the message shown instead.
    using Outcome = std::variant<double, Message>;
    using Computation = Outcome (*)(double x);

    // Shared by every function but pi: the readout and InputState change only on success, and a
    // failure of any kind shows the same message. Nothing here looks at the pending calculation.
    // The tape writes the function's name, e.g. "sin(30) = 0,5".
    void applyFunction(CalculatorState &state, Host &host, Computation compute, bool setsNums,
        std::string_view name)
    {
        state.label1.clear();
        const auto x = TextToNumber(state.readout);
        const Outcome outcome = x ? compute(*x) : Outcome{FunctionOverflowMessage};
        const double *result = std::get_if<double>(&outcome);
        const std::string call = std::string(name) + "(" + TapeNumber(state.readout) + ")";
        if (result && std::isfinite(*result)) {
            state.readout = NumberToText(*result);
            if (setsNums)
                state.InputState = input_state::Nums;
            host.record(call + " = " + state.readout);
        } else {
            const Message &message = result ? FunctionOverflowMessage : std::get<Message>(outcome);
            host.record(FailedEntry(call, message));
            host.showMessage(message);
        }
        host.moveFocusToEquals();
    }

    // Two separate operations, multiply first: x / 180 * pi would make the sine of 30 degrees
    // 0,499999999999999, and x * (pi / 180) would not overflow where x * pi does.
    std::optional<double> radians(double degrees)
    {
        const double turned = degrees * PiConstant;
        if (!std::isfinite(turned))
            return std::nullopt;
        return turned / HalfTurnDegrees;
    }

    template <double (*Trigonometric)(double)> Outcome inDegrees(double x)
    {
        const auto r = radians(x);
        if (!r)
            return FunctionOverflowMessage;
        return Trigonometric(*r);
    }

    Outcome square(double x)
    {
        return x * x;
    }

    // Checked before taking the root, so a negative number never reaches std::sqrt.
    Outcome squareRoot(double x)
    {
        if (x < 0)
            return FunctionOverflowMessage;
        return std::sqrt(x);
    }

    // Zero is answered with its own message and is no failure.
    Outcome inverse(double x)
    {
        if (x == 0)
            return DivisionByZeroMessage;
        return 1 / x;
    }

    // The standard functions themselves may not be taken by address.
    double sine(double r)
    {
        return std::sin(r);
    }

    double cosine(double r)
    {
        return std::cos(r);
    }

    double tangent(double r)
    {
        return std::tan(r);
    }

} // namespace

void Command1_Click(CalculatorState &state, Host &host)
{
    applyFunction(state, host, square, false, "x²");
}

void Command5_Click(CalculatorState &state, Host &host)
{
    applyFunction(state, host, squareRoot, false, "√");
}

void Command13_Click(CalculatorState &state, Host &host)
{
    applyFunction(state, host, inverse, false, "1/x");
}

// The status label keeps its text, and whatever the readout held is simply replaced.
void Command15_Click(CalculatorState &state, Host &host)
{
    state.readout = NumberToText(PiConstant);
    state.InputState = input_state::Nums;
    host.moveFocusToEquals();
}

void Command16_Click(CalculatorState &state, Host &host)
{
    applyFunction(state, host, inDegrees<sine>, true, "sin");
}

void Command17_Click(CalculatorState &state, Host &host)
{
    applyFunction(state, host, inDegrees<cosine>, true, "cos");
}

void Command18_Click(CalculatorState &state, Host &host)
{
    applyFunction(state, host, inDegrees<tangent>, true, "tan");
}

} // namespace korvex
