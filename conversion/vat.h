// SPDX-License-Identifier: GPL-3.0-or-later
// Prices before tax (H.T.) to prices with tax (T.T.C.) and back, at the settings' VAT rate.
#pragma once

#include <string_view>

namespace korvex {

class Host;
struct CalculatorState;
struct Settings;

inline constexpr std::string_view TtcLabel = " T.T.C. ";
inline constexpr std::string_view HtLabel = " H.T. ";

// The "HT > TTC" and "TTC > HT" buttons. Nothing changes when the VAT rate or the readout's number
// is 0. A readout that is no number, an overflow or a VAT of -100 shows the conversions' overflow
// message and changes nothing. The focus goes to "=" in every case.
void HtToTtc(CalculatorState &state, const Settings &settings, Host &host);
void TtcToHt(CalculatorState &state, const Settings &settings, Host &host);

} // namespace korvex
