// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_entry.h"

#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/readout.h"
#include "engine/tape.h"

#include <optional>
#include <string>

namespace korvex {

namespace {

    struct Entry
    {
        std::string readout;
        bool decimalEntered;
    };

    // The readout after the digit, or nothing when integer mode finds no comma to insert before.
    std::optional<Entry> withDigit(const CalculatorState &state, std::string_view digit)
    {
        Entry entry{state.readout, state.DecimalEntered};
        if (state.InputState != input_state::Nums)
            entry = {",", false};
        if (entry.decimalEntered) {
            entry.readout += digit;
        } else {
            const std::size_t comma = entry.readout.find(',');
            if (comma == std::string::npos)
                return std::nullopt;
            entry.readout = entry.readout.substr(0, comma) + std::string(digit) + ',';
        }
        if (state.InputState == input_state::Neg)
            entry.readout.insert(0, "-");
        return entry;
    }

    // Pasted text may hold multi-byte characters such as "é" or "€": drop the whole last one.
    void removeLastCharacter(std::string &text)
    {
        std::size_t start = text.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80
            && text.size() - start < 4)
            --start;
        text.erase(start);
    }

} // namespace

void Number_Click(CalculatorState &state, Host &host, std::int16_t index)
{
    state.label1.clear();
    if (index >= 0 && index < static_cast<std::int16_t>(NumberCaptions.size())) {
        const auto entry = withDigit(state, NumberCaptions[static_cast<std::size_t>(index)]);
        if (entry) {
            state.readout = entry->readout;
            state.DecimalEntered = entry->decimalEntered;
            state.InputState = input_state::Nums;
        } else {
            host.showMessage(OverflowMessage);
        }
    }
    host.moveFocusToEquals();
}

void Decimal_Click(CalculatorState &state, Host &host)
{
    state.label1.clear();
    if (state.InputState == input_state::Neg)
        state.readout = "-0,";
    else if (state.InputState != input_state::Nums)
        state.readout = "0,";
    state.DecimalEntered = true;
    state.InputState = input_state::Nums;
    host.moveFocusToEquals();
}

void Command6_Click(CalculatorState &state, Host &host)
{
    if (const auto number = TextToNumber(state.readout))
        state.readout = NumberToText(-*number);
    else
        host.showMessage(OverflowMessage);
    host.moveFocusToEquals();
}

void Command12_Click(CalculatorState &state, Host &host)
{
    if (!state.readout.empty()) {
        removeLastCharacter(state.readout);
        if (state.readout.empty()) {
            state.readout = "0,";
            host.record(TapeSeparator);
            host.runLoadStep();
        }
    }
    host.moveFocusToEquals();
}

} // namespace korvex
