// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the readout's reader: any text, read as the readout would be.
#include "engine/readout.h"
#include "fuzz/linear_time.h"
#include "fuzz/property_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace korvex;
using fuzz::require;

namespace {

// The text as std::from_chars reads it: blanks, group separators and a euro sign dropped, the
// comma turned into a period. Only a text the reader accepted is ever compared, so this may keep
// more than the reader would.
std::string normalised(std::string_view text)
{
    constexpr std::array<std::string_view, 7> dropped{
        " ", "\t", "\r", "\n", "\xC2\xA0", "\xE2\x80\xAF", "\xE2\x82\xAC"};
    std::string kept;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto drop = std::find_if(dropped.begin(), dropped.end(),
            [&](std::string_view piece) { return text.substr(pos).starts_with(piece); });
        if (drop != dropped.end()) {
            pos += drop->size();
            continue;
        }
        kept += text[pos] == ',' ? '.' : text[pos];
        ++pos;
    }
    return kept;
}

// An optional "-", digits with at most one comma among or after them, an optional exponent: the
// form every reader of the readout must take.
bool isPlainNumberText(std::string_view text)
{
    std::size_t pos = text.starts_with('-') ? 1 : 0;
    const std::size_t start = pos;
    bool comma = false;
    bool digit = false;
    for (; pos < text.size() && text[pos] != 'E' && text[pos] != 'e'; ++pos) {
        if (text[pos] == ',' && !comma)
            comma = true;
        else if (std::isdigit(static_cast<unsigned char>(text[pos])))
            digit = true;
        else
            return false;
    }
    if (!digit || pos == start)
        return false;
    if (pos == text.size())
        return true;
    pos += pos + 1 < text.size() && (text[pos + 1] == '+' || text[pos + 1] == '-') ? std::size_t{2}
                                                                                   : std::size_t{1};
    if (pos == text.size())
        return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(pos), text.end(),
        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The decided case of a text that rounds, at 15 significant digits, to the largest double's own
// text: long double holds it without overflow.
bool roundsToLargestDouble(const std::string &plain)
{
    const long double value = std::strtold(plain.c_str(), nullptr);
    std::array<char, 64> rounded{};
    std::snprintf(rounded.data(), rounded.size(), "%.14Le", std::fabs(value));
    return std::string_view(rounded.data()) == "1.79769313486232e+308";
}

// The value read is the text's own value, as from_chars finds it; out of range, a text below the
// doubles reads as 0 and one above reads as nothing, or as the largest double when it rounds to it.
void checkValue(std::string_view text, std::optional<double> number)
{
    const std::string plain = normalised(text);
    double expected = 0;
    const auto [end, error] = std::from_chars(
        plain.data(), plain.data() + plain.size(), expected, std::chars_format::general);
    const bool whole = end == plain.data() + plain.size();
    // Long double reaches far enough past the doubles to tell a text below them from one above;
    // even past its own range it still errs in the right direction (0 or infinity).
    const auto below = [&] { return std::fabs(std::strtold(plain.c_str(), nullptr)) < 1; };
    if (!number) {
        require(!isPlainNumberText(text) || (error == std::errc::result_out_of_range && !below()),
            "a plain number text is read unless it lies above the doubles", text);
        return;
    }
    require(whole && (error == std::errc{} || error == std::errc::result_out_of_range),
        "an accepted text is a number text", text);
    if (error == std::errc{}) {
        require(*number == expected, "the value read is the text's value", text);
        return;
    }
    require(below() ? *number == 0
                    : std::fabs(*number) == std::numeric_limits<double>::max()
                && roundsToLargestDouble(plain),
        "a text below the doubles reads as 0, one above as the largest double it rounds to", text);
}

// Whatever the reader accepts is a finite number whose text is stable: writing it, reading that
// back and writing again gives the same text.
void checkAcceptedText(std::string_view text)
{
    const auto number = TextToNumber(text);
    checkValue(text, number);
    if (!number)
        return;
    require(std::isfinite(*number), "an accepted text reads as a finite number", text);
    const std::string written = NumberToText(*number);
    const auto reread = TextToNumber(written);
    require(reread.has_value(), "the reader accepts what NumberToText writes", written);
    require(
        NumberToText(*reread) == written, "writing, reading and writing again is stable", written);
}

// The same for the input's first eight bytes taken as a double: every finite number has a
// readout text, the number at 15 digits, and the reader reads it back.
void checkWrittenNumber(const std::uint8_t *data, std::size_t size)
{
    double value = 0;
    if (size < sizeof value)
        return;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return;
    // The value at 15 significant digits with the decimal comma, as the C library writes it with
    // "%.15G"; zero has no sign.
    std::array<char, 40> printed{};
    std::snprintf(printed.data(), printed.size(), "%.15G", value == 0 ? 0.0 : value);
    std::string expected = printed.data();
    std::replace(expected.begin(), expected.end(), '.', ',');
    const std::string written = NumberToText(value);
    require(written == expected, "NumberToText writes the value at 15 digits", written);
    checkAcceptedText(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkAcceptedText(text);
    checkWrittenNumber(data, size);
    if (fuzz::timesStretchedCopy(text)) {
        const auto read = [](std::string_view copy) { return TextToNumber(copy).has_value(); };
        require(fuzz::readsInLinearTime(text, read), "reading takes linear time", text);
    }
    return 0;
}
