// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/currency.h"

#include "conversion/settings.h"
#include "engine/calculator_state.h"
#include "engine/readout.h"
#include "engine/tape.h"

#include <array>
#include <charconv>
#include <cmath>

namespace korvex {

namespace {

    // A number as the readout shows it: its 15 significant digits (the rounding of NumberToText),
    // the first of them worth ten to the power exponent.
    struct ShownDigits
    {
        bool negative = false;
        std::string digits;
        int exponent = 0;
    };

    ShownDigits shownDigits(double y)
    {
        std::array<char, 48> buffer{};
        const auto result = std::to_chars(
            buffer.data(), buffer.data() + buffer.size(), y, std::chars_format::scientific, 14);
        std::string_view text(buffer.data(), result.ptr); // "-1.23450000000000e+05"
        ShownDigits shown;
        shown.negative = text.front() == '-';
        if (shown.negative)
            text.remove_prefix(1);
        const std::size_t e = text.find('e');
        shown.digits = std::string(text.substr(0, 1)) + std::string(text.substr(2, e - 2));
        std::string_view exponent = text.substr(e + 1);
        if (exponent.front() == '+')
            exponent.remove_prefix(1); // from_chars takes no "+"
        std::from_chars(exponent.data(), exponent.data() + exponent.size(), shown.exponent);
        return shown;
    }

    // Rounding on the decimal digits, not on the binary value: 1.005 is stored a little below it,
    // yet shows as 1,005 and must round to 1,01.
    void roundToDecimals(ShownDigits &shown, int decimals)
    {
        const int keep = shown.exponent + decimals + 1;
        if (keep >= static_cast<int>(shown.digits.size()))
            return;
        if (keep < 0) {
            shown.digits.clear();
            return;
        }
        const bool up = shown.digits[static_cast<std::size_t>(keep)] >= '5';
        shown.digits.resize(static_cast<std::size_t>(keep));
        if (!up)
            return;
        for (auto digit = shown.digits.rbegin(); digit != shown.digits.rend(); ++digit) {
            if (*digit != '9') {
                ++*digit;
                return;
            }
            *digit = '0';
        }
        shown.digits.insert(0, 1, '1'); // 9,995 becomes 10,00
        ++shown.exponent;
    }

    // Digits past the fifteenth are zeros, so even 1E+300 is written out without any integer
    // type that could overflow.
    std::string groupedText(const ShownDigits &shown, int decimals)
    {
        const auto digitAt = [&shown](int power) {
            const int index = shown.exponent - power;
            return index >= 0 && index < static_cast<int>(shown.digits.size())
                ? shown.digits[static_cast<std::size_t>(index)]
                : '0';
        };
        const bool zero = shown.digits.find_first_not_of('0') == std::string::npos;
        std::string text = shown.negative && !zero ? "-" : "";
        const int top = std::max(shown.exponent, 0);
        for (int power = top; power >= 0; --power) {
            text += digitAt(power);
            if (power > 0 && power % 3 == 0)
                text += ' ';
        }
        text += ',';
        for (int power = -1; power >= -decimals; --power)
            text += digitAt(power);
        return text;
    }

    using Conversion = double (*)(double amount, double rate);

    // The tape's units: "€" for euros, "F" for francs.
    struct Units
    {
        std::string_view from;
        std::string_view to;
    };

    void convert(CalculatorState &state, const Settings &settings, Host &host,
        Conversion conversion, std::string_view label, Units units)
    {
        const auto x = TextToNumber(state.readout);
        const auto text = x
            ? FormatConversionResult(conversion(*x, settings.ConversionRate), settings.ResultFormat)
            : std::nullopt;
        // "100 F > € (6,55957)": the amount, its unit, the unit wanted and the rate used.
        const std::string attempt = TapeNumber(state.readout) + " " + std::string(units.from)
            + " > " + std::string(units.to) + " (" + NumberToText(settings.ConversionRate) + ")";
        if (text) {
            state.readout = *text;
            state.label1 = label;
            host.record(attempt + " = " + state.readout + " " + std::string(units.to));
        } else {
            host.record(FailedEntry(attempt, ConversionOverflowMessage));
            host.showMessage(ConversionOverflowMessage);
        }
        host.moveFocusToEquals();
    }

} // namespace

std::optional<std::string> FormatConversionResult(double y, std::int16_t resultFormat)
{
    if (!std::isfinite(y))
        return std::nullopt;
    if (resultFormat != 2 && resultFormat != 3 && resultFormat != 4)
        return NumberToText(y);
    ShownDigits shown = shownDigits(y);
    roundToDecimals(shown, resultFormat);
    return groupedText(shown, resultFormat);
}

void EuroToFrancs(CalculatorState &state, const Settings &settings, Host &host)
{
    convert(state, settings, host, [](double amount, double rate) { return amount * rate; },
        FrancsLabel, {"€", "F"});
}

void FrancsToEuro(CalculatorState &state, const Settings &settings, Host &host)
{
    // A rate of 0 gives an infinite or invalid quotient, which the formatting refuses.
    convert(state, settings, host, [](double amount, double rate) { return amount / rate; },
        EurosLabel, {"F", "€"});
}

} // namespace korvex
