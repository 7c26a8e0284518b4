// The Edit menu's decisions: what a paste does to the calculator, when "Co&ller" is offered.
#pragma once

#include <optional>
#include <string>

namespace korvex {

struct CalculatorState;

// The text goes to the readout as it stands, and counts as a number being typed.
void PasteIntoReadout(CalculatorState &state, std::string text);

// "Co&ller" is offered only while the clipboard holds some text.
bool PasteEnabled(const std::optional<std::string> &clipboardText);

} // namespace korvex
