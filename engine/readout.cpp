// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/readout.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace korvex {

namespace {

    // A decimal number taken apart: its significant digits (no leading or trailing zeros) and the
    // power of ten of the first of them.
    struct Decimal
    {
        bool negative = false;
        std::string digits;
        long long exponent = 0;
    };

    // The written exponent saturates here. A text cannot hold this many digits, so the digit
    // position added to a saturated exponent still lands far beyond the double range, on the side
    // the written exponent says.
    constexpr long long exponentLimit = 1'000'000'000'000'000;

    // Correct rounding to a double never needs more than 767 significant digits; past those, a
    // pasted text of millions of digits only tells whether anything non-zero follows.
    constexpr std::size_t keptDigits = 800;

    bool isDigit(char c)
    {
        return c >= '0' && c <= '9';
    }

    // The mantissa's digits as they come, without keeping a copy of a huge paste: how many there
    // are, how many zeros lead, the first significant ones, and whether a non-zero one was dropped.
    struct Mantissa
    {
        long long count = 0;
        long long leadingZeros = 0;
        std::string significant;
        bool droppedNonZero = false;

        void add(char digit)
        {
            ++count;
            if (significant.empty() && digit == '0')
                ++leadingZeros;
            else if (significant.size() < keptDigits)
                significant += digit;
            else if (digit != '0')
                droppedNonZero = true;
        }
    };

    // Thousands separators the currency conversions may write: a space, U+00A0 or U+202F.
    std::size_t separatorLength(std::string_view text, std::size_t pos)
    {
        if (text.compare(pos, 1, " ") == 0)
            return 1;
        if (text.compare(pos, 2, "\xC2\xA0") == 0)
            return 2;
        if (text.compare(pos, 3, "\xE2\x80\xAF") == 0)
            return 3;
        return 0;
    }

    // Blanks a pasted amount may carry around it: the separators, a tab, a line break.
    std::size_t blankLength(std::string_view text, std::size_t pos)
    {
        if (pos < text.size() && (text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
            return 1;
        return separatorLength(text, pos);
    }

    std::string_view trimmedBlanks(std::string_view text)
    {
        while (const std::size_t blank = blankLength(text, 0))
            text.remove_prefix(blank);
        for (bool trimmed = true; trimmed;) {
            trimmed = false;
            for (const std::size_t length : {1U, 2U, 3U}) {
                if (length <= text.size() && blankLength(text, text.size() - length) == length) {
                    text.remove_suffix(length);
                    trimmed = true;
                    break;
                }
            }
        }
        return text;
    }

    // A pasted amount: blanks around it, and one euro sign after it, maybe after blanks.
    std::string_view amountOf(std::string_view text)
    {
        text = trimmedBlanks(text);
        constexpr std::string_view euro = "\xE2\x82\xAC";
        if (text.ends_with(euro))
            text = trimmedBlanks(text.substr(0, text.size() - euro.size()));
        return text;
    }

    // Integer digits, where a separator counts only between two digits.
    std::size_t readIntegerDigits(std::string_view text, std::size_t pos, Mantissa &mantissa)
    {
        while (pos < text.size()) {
            if (isDigit(text[pos])) {
                mantissa.add(text[pos++]);
                continue;
            }
            const std::size_t separator = separatorLength(text, pos);
            if (separator == 0 || mantissa.count == 0 || pos + separator >= text.size()
                || !isDigit(text[pos + separator]))
                break;
            pos += separator;
        }
        return pos;
    }

    std::size_t readFractionDigits(std::string_view text, std::size_t pos, Mantissa &mantissa)
    {
        while (pos < text.size() && isDigit(text[pos]))
            mantissa.add(text[pos++]);
        return pos;
    }

    // "E" or "e", an optional sign and at least one digit; nothing when malformed.
    std::optional<long long> readExponent(std::string_view text, std::size_t pos)
    {
        bool negative = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            negative = text[pos++] == '-';
        if (pos == text.size())
            return std::nullopt;
        long long value = 0;
        for (; pos < text.size(); ++pos) {
            if (!isDigit(text[pos]))
                return std::nullopt;
            value = std::min(value * 10 + (text[pos] - '0'), exponentLimit);
        }
        return negative ? -value : value;
    }

    // The significant digits without trailing zeros; a "1" stands for dropped non-zero digits,
    // which is all the rounding needs of them.
    std::string significantDigits(const Mantissa &mantissa)
    {
        std::string digits = mantissa.significant;
        if (mantissa.droppedNonZero)
            digits += '1';
        digits.erase(digits.find_last_not_of('0') + 1);
        return digits;
    }

    std::optional<Decimal> parseDecimal(std::string_view text)
    {
        Decimal decimal;
        std::size_t pos = 0;
        if (pos < text.size() && text[pos] == '-') {
            decimal.negative = true;
            ++pos;
        }
        Mantissa mantissa;
        pos = readIntegerDigits(text, pos, mantissa);
        const long long integerCount = mantissa.count;
        if (pos < text.size() && text[pos] == ',')
            pos = readFractionDigits(text, pos + 1, mantissa);
        if (mantissa.count == 0)
            return std::nullopt;
        long long exponent = 0;
        if (pos < text.size()) {
            if (text[pos] != 'E' && text[pos] != 'e')
                return std::nullopt;
            const auto written = readExponent(text, pos + 1);
            if (!written)
                return std::nullopt;
            exponent = *written;
        }
        if (mantissa.significant.empty())
            return decimal; // a zero: no digits
        decimal.digits = significantDigits(mantissa);
        // The digit position is added before anything is capped: a long run of zeros after the
        // comma and an exponent that makes up for it read as the number they write.
        decimal.exponent = integerCount - 1 - mantissa.leadingZeros + exponent;
        return decimal;
    }

    // NumberToText writes the largest doubles as 1,79769313486232E+308, above the double range;
    // that text, and whatever rounds to it at 15 digits, reads back as the largest double.
    bool roundsToLargestDouble(const Decimal &decimal)
    {
        // Sixteen digits decide a rounding at fifteen, halves away from zero.
        std::string first16 = decimal.digits.substr(0, 16);
        first16.resize(16, '0');
        return decimal.exponent == 308 && first16 >= "1797693134862315"
            && first16 < "1797693134862325";
    }

    std::optional<double> magnitudeOf(const Decimal &decimal)
    {
        if (decimal.digits.empty() || decimal.exponent < -400)
            return 0.0;
        if (decimal.exponent > 400)
            return std::nullopt;
        std::string canonical = decimal.digits.substr(0, 1) + '.' + decimal.digits.substr(1) + 'e'
            + std::to_string(decimal.exponent);
        double value = 0;
        const auto [end, error] = std::from_chars(canonical.data(),
            canonical.data() + canonical.size(), value, std::chars_format::general);
        if (error == std::errc::result_out_of_range) {
            if (decimal.exponent < 0)
                return 0.0;
            if (roundsToLargestDouble(decimal))
                return std::numeric_limits<double>::max();
            return std::nullopt;
        }
        if (error != std::errc{} || end != canonical.data() + canonical.size())
            return std::nullopt;
        return value;
    }

    // What the readout writes itself has no thousands separator: with the period for the comma it
    // is exactly what std::from_chars reads, at a third of the cost of the reading above. Any
    // other text, and whatever from_chars refuses or finds out of range, goes the general way,
    // which holds the rules for those.
    std::optional<double> readPlainText(std::string_view text)
    {
        std::array<char, 32> buffer{};
        if (text.size() > buffer.size())
            return std::nullopt;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (!isDigit(c) && c != ',' && c != '-' && c != '+' && c != 'E' && c != 'e')
                return std::nullopt;
            buffer[i] = c == ',' ? '.' : c;
        }
        const char *const last = buffer.data() + text.size();
        double value = 0;
        const auto [end, error] =
            std::from_chars(buffer.data(), last, value, std::chars_format::general);
        if (error != std::errc{} || end != last)
            return std::nullopt;
        return value;
    }

} // namespace

std::string NumberToPointText(double value)
{
    // Precision 15 on purpose: the shortest form would write 0.1 + 0.2 as 0.30000000000000004.
    std::array<char, 48> buffer{};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    std::string text(buffer.data(), result.ptr);
    if (text == "-0")
        return "0"; // a sign on nothing would only puzzle whoever reads it
    return text;
}

std::string NumberToText(double value)
{
    std::string text = NumberToPointText(value);
    for (char &c : text) {
        if (c == '.')
            c = ',';
        else if (c == 'e')
            c = 'E';
    }
    return text;
}

std::optional<double> TextToNumber(std::string_view text)
{
    if (const auto plain = readPlainText(text))
        return plain;
    const auto decimal = parseDecimal(amountOf(text));
    if (!decimal)
        return std::nullopt;
    const auto magnitude = magnitudeOf(*decimal);
    if (!magnitude)
        return std::nullopt;
    return decimal->negative ? -*magnitude : *magnitude;
}

} // namespace korvex
