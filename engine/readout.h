// SPDX-License-Identifier: GPL-3.0-or-later
// The number texts: 15 significant digits, independent of the locale; the readout's with the
// decimal comma, the settings' and the memory tooltip's with the period.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// The C library's general format at precision 15: "6.55957", "19.6", "1e+300"; negative zero as
// "0".
std::string NumberToPointText(double value);

// NumberToPointText with "," for the decimal point and "E" for the exponent.
std::string NumberToText(double value);

// Reads "-12,5", "12,", "1E+15", grouped texts such as "1 234,50", and a pasted amount with blanks
// or a line break around it and one euro sign after it ("1 234,56 €"); nothing when the text is not
// a number or its magnitude is beyond the double range. Magnitudes below it read as 0.
std::optional<double> TextToNumber(std::string_view text);

} // namespace korvex
