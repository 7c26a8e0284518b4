// SPDX-License-Identifier: GPL-3.0-or-later
// Euros to francs and back at the settings' rate, with the result in the chosen format.
#pragma once

#include "engine/host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

struct CalculatorState;
struct Settings;

// "Dépassement" here, unlike the engine's "Dépacement": each text stays where it is used. The VAT
// buttons answer their failures with it too.
inline const Message ConversionOverflowMessage{
    "Dépassement de capacité !", "Erreur", MessageIcon::Error};

inline constexpr std::string_view FrancsLabel = " Francs ";
inline constexpr std::string_view EurosLabel = " € Euros ";

// The readout text of a conversion result: formats 2, 3 and 4 give that many decimals after the
// decimal comma and group the integer part by threes with a space ("152 449,02"); any other format
// gives NumberToText. Nothing when the result is not a finite number.
std::optional<std::string> FormatConversionResult(double y, std::int16_t resultFormat);

// The "Euro  > Francs" and "Francs > Euro" buttons. On failure the message is shown and readout
// and label keep what they showed; the focus goes to "=" in every case.
void EuroToFrancs(CalculatorState &state, const Settings &settings, Host &host);
void FrancsToEuro(CalculatorState &state, const Settings &settings, Host &host);

} // namespace korvex
