// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the currency conversions and the VAT buttons: an amount, a rate and a format
// taken from the input's bytes, driven through the buttons' own functions on a readout. The
// results are checked for their shape and against bounds worked out here, never by recomputing
// them the way the code does.
#include "engine/readout.h"
#include "fuzz/property_check.h"
#include "tests/support/keypad.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace korvex;
using fuzz::require;

namespace {

class QuietHost : public Host
{
public:
    void showMessage(const Message &message) override
    {
        require(
            letterOf(message) == 'V', "the conversions show only their own message", message.text);
        ++messages;
    }
    void runLoadStep() override { fuzz::fail("no conversion resets the calculator"); }
    void moveFocusToEquals() override { }

    int messages = 0;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "-"?, one to three digits, groups of " " and three digits, ",", exactly decimals digits; a
// minus only before a number that is not zero.
bool hasFormatShape(std::string_view text, int decimals)
{
    const bool negative = text.starts_with('-');
    if (negative)
        text.remove_prefix(1);
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.size() - comma - 1 != std::size_t(decimals))
        return false;
    const std::string_view integer = text.substr(0, comma);
    for (std::size_t i = 0; i < integer.size(); ++i) {
        const bool separatorPlace = (integer.size() - i) % 4 == 0;
        if (separatorPlace ? integer[i] != ' ' : !isDigit(integer[i]))
            return false;
    }
    if (integer.empty() || integer.front() == ' ' || (integer.size() > 1 && integer.front() == '0'))
        return false;
    bool allZero = true;
    for (std::size_t i = comma + 1; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        allZero = allZero && text[i] == '0';
    }
    allZero = allZero && integer.find_first_not_of("0 ") == std::string_view::npos;
    return !(negative && allZero);
}

double unitOf(int decimals)
{
    return std::pow(10.0, -decimals);
}

// Fifteen significant digits leave a relative error of half a unit in 10^14; a little more for
// the binary rounding of the operations. A text below the smallest normal double reads as 0.
double digitsError(double value)
{
    return std::fabs(value) * 1e-14 + std::numeric_limits<double>::min();
}

// A minus sign before digits that are all zeros: "-0", "-0,00".
bool isMinusZero(std::string_view text)
{
    if (!text.starts_with('-'))
        return false;
    const std::string_view mantissa = text.substr(1, text.find_first_of("Ee") - 1);
    return mantissa.find_first_of("123456789") == std::string_view::npos;
}

struct Readout
{
    CalculatorState state;
    QuietHost host;

    explicit Readout(double value) { state.readout = NumberToText(value); }
    // The readout's value after the button, or nothing when the button refused.
    template <typename Button> std::optional<double> press(Button button, const Settings &settings)
    {
        const int before = host.messages;
        button(state, settings, host);
        if (host.messages != before)
            return std::nullopt;
        const auto value = TextToNumber(state.readout);
        require(value.has_value(), "the readout reads back after a conversion", state.readout);
        require(!isMinusZero(state.readout), "no minus on zero", state.readout);
        return value;
    }
};

void checkCurrency(double amount, double rate, std::int16_t format)
{
    Settings settings;
    settings.ConversionRate = rate;
    settings.ResultFormat = format;
    const bool formatted = format == 2 || format == 3 || format == 4;
    const double unit = formatted ? unitOf(format) : 0;

    Readout readout(amount);
    // The conversion takes what the readout reads: 15 digits of the amount, and near the ends of
    // the double range the largest double itself.
    const double shown = TextToNumber(readout.state.readout).value_or(amount);
    const auto francs = readout.press(EuroToFrancs, settings);
    const double exact = shown * rate;
    if (!francs) {
        require(!std::isfinite(exact), "a finite result is shown", readout.state.readout);
        return;
    }
    if (formatted)
        require(hasFormatShape(readout.state.readout, format), "the result has the format's shape",
            readout.state.readout);
    else
        require(readout.state.readout == NumberToText(*francs),
            "an unformatted result is the readout's own text", readout.state.readout);
    require(std::fabs(*francs - exact) <= unit / 2 + digitsError(exact),
        "the result is within half a unit of its last decimal", readout.state.readout);
    require(readout.state.label1 == " Francs ", "the label says Francs", readout.state.label1);

    const auto euros = readout.press(FrancsToEuro, settings);
    if (!euros || rate < 1e-3 || rate > 1e3)
        return;
    require(std::fabs(*euros - shown)
            <= unit * (1 + 1 / rate) + 4 * digitsError(shown) + 4 * digitsError(exact),
        "euros to francs and back gives the amount within the format's rounding",
        readout.state.readout);
}

void checkVat(double amount, double vatRate)
{
    Settings settings;
    settings.VatRate = vatRate;
    Readout readout(amount);
    const double shown = *TextToNumber(readout.state.readout);
    const auto ttc = readout.press(HtToTtc, settings);
    // Below the smallest normal double a value holds fewer than 15 significant digits.
    if (!ttc || std::fabs(shown) < std::numeric_limits<double>::min() || vatRate == 0)
        return;
    require(readout.state.readout == NumberToText(*ttc), "a VAT result is not formatted",
        readout.state.readout);
    const auto ht = readout.press(TtcToHt, settings);
    require(ht.has_value(), "a price with a positive VAT goes back", readout.state.readout);
    // Each way rounds to 15 significant digits: half a unit of the fifteenth digit of the larger
    // price, twice, and a little more for the binary rounding of x × (1 + q) and its quotient.
    const double larger = std::max(std::fabs(shown), std::fabs(*ttc));
    const double unit = std::pow(10.0, std::floor(std::log10(larger)) - 14);
    require(
        std::fabs(*ht - shown) <= unit * 1.05 + 4 * larger * std::numeric_limits<double>::epsilon(),
        "H.T. to T.T.C. and back gives the amount", readout.state.readout);
}

double doubleAt(const std::uint8_t *data)
{
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 17)
        return 0;
    const double amount = doubleAt(data);
    const double rate = doubleAt(data + 8);
    const auto format = static_cast<std::int16_t>(data[16] % 6); // 0 to 5: the four and others
    if (!std::isfinite(amount) || !std::isfinite(rate))
        return 0;
    // Amounts and rates a user could type; beyond them the products leave the double range.
    if (std::fabs(amount) < 1e12 && std::fabs(rate) < 1e6) {
        checkCurrency(amount, rate, format);
        checkVat(amount, std::fabs(std::fmod(rate, 200)));
    }
    checkCurrency(amount, rate, format);
    return 0;
}
