// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/operand.h"

#include "engine/readout.h"

namespace korvex {

std::optional<double> OperandToNumber(const Operand &operand)
{
    if (const auto *text = std::get_if<std::string>(&operand))
        return TextToNumber(*text);
    if (const auto *number = std::get_if<double>(&operand))
        return *number;
    return 0.0;
}

std::string OperandToText(const Operand &operand)
{
    if (const auto *text = std::get_if<std::string>(&operand))
        return *text;
    if (const auto *number = std::get_if<double>(&operand))
        return NumberToText(*number);
    return NumberToText(0.0);
}

} // namespace korvex
