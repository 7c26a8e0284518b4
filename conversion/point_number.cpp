// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/point_number.h"

#include "engine/readout.h"

namespace korvex {

namespace {

    bool isDigit(char c)
    {
        return c >= '0' && c <= '9';
    }

    std::size_t skipDigits(std::string_view text, std::size_t pos)
    {
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        return pos;
    }

} // namespace

std::size_t PointNumberLength(std::string_view text)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        ++pos;
    const std::size_t integerStart = pos;
    pos = skipDigits(text, pos);
    std::size_t digitCount = pos - integerStart;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionStart = pos + 1;
        pos = skipDigits(text, fractionStart);
        digitCount += pos - fractionStart;
    }
    if (digitCount == 0)
        return 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '-' || text[exponent] == '+'))
            ++exponent;
        if (exponent < text.size() && isDigit(text[exponent]))
            pos = skipDigits(text, exponent);
    }
    return pos;
}

std::optional<double> PointTextToNumber(std::string_view text)
{
    if (text.empty() || PointNumberLength(text) != text.size())
        return std::nullopt;
    // The readout's reader knows the range rules, the largest double's 15-digit text among them;
    // it only wants the comma in place of the period and no "+" sign.
    std::string readoutForm(text.front() == '+' ? text.substr(1) : text);
    for (char &c : readoutForm) {
        if (c == '.')
            c = ',';
    }
    return TextToNumber(readoutForm);
}

} // namespace korvex
