// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers read with the period, as the settings file and the settings dialog's fields hold them,
// whatever the locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Length of the number that starts the text: an optional sign, digits with at most one period,
// and an exponent only when it has digits. 0 when the text does not start with a number.
std::size_t PointNumberLength(std::string_view text);

// The whole text read as one number; nothing when it is not exactly one number or lies beyond the
// double range. Magnitudes below the range read as 0. Every text of NumberToPointText reads back,
// the largest double's "1.79769313486232e+308" included.
std::optional<double> PointTextToNumber(std::string_view text);

} // namespace korvex
