#include "conversion/vat.h"

#include "conversion/currency.h"
#include "conversion/settings.h"
#include "engine/calculator_state.h"
#include "engine/readout.h"

#include <cmath>

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

    // The rate is tested before the readout is even read, and the readout's 0 before computing:
    // neither a lone "-" with a VAT of 0 nor 0 with a VAT of -100 gives a message.
    void applyVat(CalculatorState &state, const Settings &settings, Host &host,
        Computation computation, std::string_view label)
    {
        if (settings.VatRate == 0)
            return;
        const auto x = TextToNumber(state.readout);
        if (!x) {
            host.showMessage(ConversionOverflowMessage);
            return;
        }
        if (*x == 0)
            return;
        const double r = computation(*x, settings.VatRate);
        if (!std::isfinite(r)) {
            host.showMessage(ConversionOverflowMessage);
            return;
        }
        state.readout = NumberToText(r);
        state.label1 = label;
    }

} // namespace

void HtToTtc(CalculatorState &state, const Settings &settings, Host &host)
{
    applyVat(state, settings, host, withTax, TtcLabel);
    host.moveFocusToEquals();
}

void TtcToHt(CalculatorState &state, const Settings &settings, Host &host)
{
    applyVat(state, settings, host, withoutTax, HtLabel);
    host.moveFocusToEquals();
}

} // namespace korvex
