// SPDX-License-Identifier: GPL-3.0-or-later
// An operand of the calculator: nothing yet, a copy of the readout text, or a computed number.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace korvex {

using Operand = std::variant<std::monostate, std::string, double>;

// The operand's number: an empty operand is 0, a text is read like the readout.
std::optional<double> OperandToNumber(const Operand &operand);

// What the readout shows for the operand: a text unchanged, a number with NumberToText.
std::string OperandToText(const Operand &operand);

} // namespace korvex
