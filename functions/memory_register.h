// SPDX-License-Identifier: GPL-3.0-or-later
// The memory register M with its four buttons MC, MR, MS and M+, the memory indicator and the
// MR button's tooltip that tells the value.
#pragma once

#include "engine/operand.h"

#include <string>

namespace korvex {

class Host;
struct CalculatorState;

// A space for zero and positive numbers, "-" for negative ones, then the digits of the readout
// with "." for the decimal separator: " 12.5", "-3", " 1E+20", " 0.5".
std::string PointNotation(double value);

// "Rappelle la mémoire M = " and the memory's number in point notation; a memory that is empty
// or holds a text that is not a number counts as 0.
std::string MemoryTooltip(const Operand &MemoryValue);

struct MemoryRegister
{
    Operand MemoryValue; // empty, a number, or a readout text stored as it stood
    std::string indicator; // text of Label2: "M" after MS and M+
    std::string tooltip = MemoryTooltip(MemoryValue); // the MR button's tooltip
};

// Run after every change of the memory, and by each run of the window's load step.
void ComposeMemoryTooltip(MemoryRegister &memory);

void Command8_Click(MemoryRegister &memory, Host &host); // MC
void Command9_Click(const MemoryRegister &memory, CalculatorState &state, Host &host); // MR
void Command10_Click(MemoryRegister &memory, const CalculatorState &state, Host &host); // MS
void Command11_Click(MemoryRegister &memory, const CalculatorState &state, Host &host); // M+

} // namespace korvex
