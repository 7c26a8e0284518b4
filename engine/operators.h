// SPDX-License-Identifier: GPL-3.0-or-later
// The four operators, "=" and percent, applied strictly from left to right.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvex {

class Host;
struct CalculatorState;

// The captions of the operator buttons by index; the pending operator stores the caption, so a
// typed "*" stores "X".
inline constexpr std::array<std::string_view, 5> OperatorCaptions{"/", "+", "X", "-", "="};
inline constexpr std::int16_t EqualsIndex = 4;

void Operator_Click(CalculatorState &state, Host &host, std::int16_t index);
void Percent_Click(CalculatorState &state, Host &host);

} // namespace korvex
