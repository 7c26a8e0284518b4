// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/vat.h"

#include "conversion/currency.h"
#include "conversion/settings.h"
#include "engine/calculator_state.h"
#include "engine/readout.h"
#include "engine/tape.h"

#include <cmath>
#include <string>

namespace korvex {

namespace {

    // Each step is its own statement: the order of the operations decides the last bit of the
    // result, and the readout shows 15 digits of it.
    double withTax(double x, double vatRate)
    {
        const double q = vatRate / 100;
        const double p = x * q;
        return x + p;
    }

    double withoutTax(double x, double vatRate)
    {
        const double q = vatRate / 100;
        const double d = 1 + q;
        return x / d;
    }

    using Computation = double (*)(double x, double vatRate);

    // How the tape writes a VAT computation: "100 H.T. + 19,6 %" and "119,6 T.T.C. - 19,6 %".
    struct VatWords
    {
        std::string_view from;
        std::string_view sign;
        std::string_view to;
    };

    void failVat(const std::string &attempt, Host &host)
    {
        host.record(FailedEntry(attempt, ConversionOverflowMessage));
        host.showMessage(ConversionOverflowMessage);
    }

    // The rate is tested before the readout is even read, and the readout's 0 before computing:
    // neither a lone "-" with a VAT of 0 nor 0 with a VAT of -100 gives a message.
    void applyVat(CalculatorState &state, const Settings &settings, Host &host,
        Computation computation, std::string_view label, VatWords words)
    {
        if (settings.VatRate == 0)
            return;
        const auto x = TextToNumber(state.readout);
        const std::string attempt = TapeNumber(state.readout) + " " + std::string(words.from) + " "
            + std::string(words.sign) + " " + NumberToText(settings.VatRate) + " %";
        if (!x)
            return failVat(attempt, host);
        if (*x == 0)
            return;
        const double r = computation(*x, settings.VatRate);
        if (!std::isfinite(r))
            return failVat(attempt, host);
        state.readout = NumberToText(r);
        state.label1 = label;
        host.record(attempt + " = " + state.readout + " " + std::string(words.to));
    }

} // namespace

void HtToTtc(CalculatorState &state, const Settings &settings, Host &host)
{
    applyVat(state, settings, host, withTax, TtcLabel, {"H.T.", "+", "T.T.C."});
    host.moveFocusToEquals();
}

void TtcToHt(CalculatorState &state, const Settings &settings, Host &host)
{
    applyVat(state, settings, host, withoutTax, HtLabel, {"T.T.C.", "-", "H.T."});
    host.moveFocusToEquals();
}

} // namespace korvex
