// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation worked out in the fuzz harness, independently of the engine: what this pocket
// calculator does with digits, the comma, "+/-", backspace, pi, the four operators, "=", "%", C
// and CE. Numbers are typed as text, operators apply left to right, each step is one rounding in
// double, and every operand is read back from the text the readout showed. It reads texts with
// std::from_chars, never with the calculator's own reader.
//
// What it cannot follow (any other button, a pasted text, a number text it cannot place in or out
// of the double range for sure) puts it out of step until the next C.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

namespace korvex::fuzz {

class PocketModel
{
public:
    // The message box a step shows, if any.
    enum class Says { Nothing, Overflow, DivisionByZero };

    const std::string &readout() const { return m_readout; }
    Says says() const { return m_says; }
    bool inStep() const { return m_inStep; }
    void leaveStep() { m_inStep = false; }

    void cancel()
    {
        *this = PocketModel{};
        m_first = 0.0;
        m_second = 0.0;
    }

    void clearEntry()
    {
        m_says = Says::Nothing;
        m_readout = "0,";
        m_decimal = false;
        m_typed = Typed::Other;
    }

    void digit(char d)
    {
        m_says = Says::Nothing;
        std::string text = m_readout;
        bool decimal = m_decimal;
        if (m_typed != Typed::Number) {
            text = ",";
            decimal = false;
        }
        if (decimal) {
            text += d;
        } else {
            // In integer mode the digit goes before the first comma; with no comma it cannot.
            const auto comma = text.find(',');
            if (comma == std::string::npos) {
                m_says = Says::Overflow;
                return;
            }
            text = text.substr(0, comma) + d + ",";
        }
        if (m_typed == Typed::Minus)
            text.insert(0, 1, '-');
        m_readout = text;
        m_decimal = decimal;
        m_typed = Typed::Number;
    }

    void comma()
    {
        m_says = Says::Nothing;
        if (m_typed == Typed::Minus)
            m_readout = "-0,";
        else if (m_typed != Typed::Number)
            m_readout = "0,";
        m_decimal = true;
        m_typed = Typed::Number;
    }

    // Pi places its 15-digit constant as a number being typed, in whatever mode the entry was in.
    void pi()
    {
        m_says = Says::Nothing;
        m_readout = textOf(3.14159265358979);
        m_typed = Typed::Number;
    }

    void negate()
    {
        m_says = Says::Nothing;
        const Reading x = read(m_readout);
        if (x.kind == Reading::Unknown)
            return leaveStep();
        if (x.kind == Reading::NoNumber)
            m_says = Says::Overflow;
        else
            m_readout = textOf(-x.value);
    }

    void backspace()
    {
        m_says = Says::Nothing;
        if (m_readout.empty())
            return;
        m_readout.pop_back();
        if (m_readout.empty()) {
            m_readout = "0,";
            reset();
        }
    }

    void percent()
    {
        m_says = Says::Nothing;
        const Reading x = read(m_readout);
        if (x.kind == Reading::Unknown || m_count == std::numeric_limits<short>::max())
            return leaveStep();
        if (x.kind == Reading::NoNumber) {
            m_says = Says::Overflow;
            return;
        }
        m_readout = textOf(x.value / 100);
        m_typed = Typed::Other;
        m_pending = '%';
        ++m_count;
        m_decimal = true;
    }

    // op is the operator's caption: '/', '+', 'X', '-' or '='.
    void press(char op)
    {
        m_says = Says::Nothing;
        const std::string shownBefore = m_readout;
        if (m_typed == Typed::Number) {
            if (m_count == std::numeric_limits<short>::max())
                return leaveStep();
            ++m_count;
        }
        if (m_count == 0) {
            // A minus before any operand begins a negative number.
            if (op == '-' && m_typed != Typed::Minus) {
                m_readout.insert(0, 1, '-');
                m_typed = Typed::Minus;
            }
        } else if (m_count == 1) {
            m_first = m_readout;
            if (m_typed != Typed::Number && op == '-' && m_pending != '=') {
                m_readout = "-";
                m_typed = Typed::Minus;
            }
        } else if (m_count == 2) {
            m_second = shownBefore;
            switch (combine()) {
            case Outcome::OutOfStep:
                return leaveStep();
            case Outcome::Failed:
                m_says = Says::Overflow;
                m_readout = "0,";
                return reset();
            case Outcome::Done:
                break;
            }
            m_readout = written(m_first);
            m_count = 1;
        }
        if (m_typed != Typed::Minus) {
            m_typed = Typed::Other;
            m_pending = op;
        }
    }

private:
    // What was typed last: a number, a minus that begins one, or anything else.
    enum class Typed { Other, Number, Minus };
    enum class Outcome { Done, Failed, OutOfStep };
    using Operand = std::variant<std::monostate, std::string, double>;

    struct Reading
    {
        enum Kind { Number, NoNumber, Unknown } kind = NoNumber;
        double value = 0;
    };

    void reset()
    {
        m_decimal = false;
        m_count = 0;
        m_typed = Typed::Other;
        m_pending = ' ';
    }

    Outcome combine()
    {
        const Reading f = readOperand(m_first);
        const Reading s = readOperand(m_second);
        if (f.kind == Reading::Unknown || s.kind == Reading::Unknown)
            return Outcome::OutOfStep;
        double result = 0;
        switch (m_pending) {
        case '+':
        case '-':
        case 'X':
        case '%':
            if (f.kind == Reading::NoNumber || s.kind == Reading::NoNumber)
                return Outcome::Failed;
            result = m_pending == '+' ? f.value + s.value
                : m_pending == '-'    ? f.value - s.value
                                      : f.value * s.value;
            break;
        case '/':
            // The divisor is looked at first: zero is refused before the dividend is read.
            if (s.kind == Reading::NoNumber)
                return Outcome::Failed;
            if (s.value == 0) {
                m_says = Says::DivisionByZero;
                return Outcome::Done;
            }
            if (f.kind == Reading::NoNumber)
                return Outcome::Failed;
            result = f.value / s.value;
            break;
        case '=':
            if (s.kind == Reading::NoNumber)
                return Outcome::Failed;
            m_first = s.value;
            return Outcome::Done;
        default:
            return Outcome::Done;
        }
        if (!std::isfinite(result))
            return Outcome::Failed;
        m_first = result;
        return Outcome::Done;
    }

    static Reading readOperand(const Operand &operand)
    {
        if (const auto *text = std::get_if<std::string>(&operand))
            return read(*text);
        if (const auto *number = std::get_if<double>(&operand))
            return {Reading::Number, *number};
        return {Reading::Number, 0.0}; // never set: reads as 0
    }

    static std::string written(const Operand &operand)
    {
        if (const auto *text = std::get_if<std::string>(&operand))
            return *text;
        if (const auto *number = std::get_if<double>(&operand))
            return textOf(*number);
        return {};
    }

    // The C library's general format at 15 digits, with the decimal comma and no sign on zero.
    static std::string textOf(double value)
    {
        std::array<char, 64> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%.15G", value == 0 ? 0.0 : value);
        std::string text = buffer.data();
        std::replace(text.begin(), text.end(), '.', ',');
        return text;
    }

    // A readout text as the calculator's rules value it: the plain forms it writes itself, read
    // with from_chars. Out of range, a text without an exponent is placed by its first digit: below
    // the doubles it is 0; above, it is the largest double when it rounds to it at 15 digits, and
    // no number otherwise.
    static Reading read(std::string_view readout)
    {
        std::string text;
        for (const char c : readout) {
            if (c == ',')
                text += '.';
            else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'E')
                text += c;
            else
                return {Reading::Unknown};
        }
        // An exponent mark without digits after it: a form the calculator never writes itself.
        if (text.ends_with('E') || text.ends_with("E+") || text.ends_with("E-"))
            return {Reading::Unknown};
        double value = 0;
        const char *const end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
        if (result.ec == std::errc{})
            return result.ptr == end ? Reading{Reading::Number, value} : Reading{};
        if (result.ec != std::errc::result_out_of_range || result.ptr != end)
            return {};
        if (text.find('E') != std::string::npos)
            return {Reading::Unknown};
        const bool negative = text.starts_with('-');
        if (text.find_first_of("123456789") > text.find('.'))
            return {Reading::Number, negative ? -0.0 : 0.0};
        long double wide = 0;
        const auto [wideEnd, wideError] =
            std::from_chars(text.data(), end, wide, std::chars_format::general);
        if (wideError != std::errc{} || wideEnd != end)
            return {};
        // Sixteen digits tell a rounding at fifteen; a half on either edge is left undecided.
        std::array<char, 64> digits{};
        std::snprintf(digits.data(), digits.size(), "%.15Le", std::fabs(wide));
        const std::string_view sixteen = digits.data();
        if (sixteen == "1.797693134862315e+308" || sixteen == "1.797693134862325e+308")
            return {Reading::Unknown};
        const long double low = 1.797693134862315e308L;
        const long double high = 1.797693134862325e308L;
        if (std::fabs(wide) > low && std::fabs(wide) < high) {
            const double largest = std::numeric_limits<double>::max();
            return {Reading::Number, negative ? -largest : largest};
        }
        return {};
    }

    bool m_inStep = true;
    Says m_says = Says::Nothing;
    std::string m_readout = "0,";
    bool m_decimal = false;
    Typed m_typed = Typed::Other;
    int m_count = 0;
    char m_pending = ' ';
    Operand m_first;
    Operand m_second;
};

} // namespace korvex::fuzz
