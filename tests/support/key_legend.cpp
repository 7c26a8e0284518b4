// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/key_legend.h"

#include "engine/number_entry.h"
#include "engine/operators.h"
#include "functions/unary_functions.h"

#include <QTest>
#include <map>

namespace korvex {

namespace {

    const std::map<char, void (*)(CalculatorState &, Host &)> buttons{{',', Decimal_Click},
        {'%', Percent_Click}, {'C', Cancel_Click}, {'E', CancelEntry_Click}, {'N', Command6_Click},
        {'<', Command12_Click}, {'x', Command1_Click}, {'v', Command5_Click},
        {'i', Command13_Click}, {'p', Command15_Click}, {'s', Command16_Click},
        {'o', Command17_Click}, {'t', Command18_Click}};

} // namespace

bool pressButton(CalculatorState &state, Host &host, char key)
{
    if (key >= '0' && key <= '9') {
        Number_Click(state, host, static_cast<std::int16_t>(key - '0'));
        return true;
    }
    for (std::size_t i = 0; i < OperatorCaptions.size(); ++i) {
        if (OperatorCaptions[i] == std::string_view(&key, 1)) {
            Operator_Click(state, host, static_cast<std::int16_t>(i));
            return true;
        }
    }
    const auto button = buttons.find(key);
    if (button == buttons.end())
        return false;
    button->second(state, host);
    return true;
}

void pressAll(CalculatorState &state, Host &host, std::string_view keys)
{
    for (const char key : keys)
        QVERIFY2(
            pressButton(state, host, key), std::string("no button for ").append(1, key).c_str());
}

} // namespace korvex
