// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the readout's number texts against the standard conversions they are built on:
// NumberToText against std::to_chars (general format, 15 digits) and TextToNumber against
// std::from_chars, on the same million numbers and their texts. Prints nanoseconds per call and
// the ratios.
#include "engine/readout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// What a calculator shows: whole numbers, amounts in cents, results with 15 digits at ordinary
// magnitudes, and now and then a huge or tiny one in exponent form.
std::vector<double> calculatorNumbers(std::size_t count)
{
    std::mt19937_64 random(42);
    std::uniform_int_distribution<long> whole(-1000000, 1000000);
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> ordinary(-6, 14);
    std::uniform_int_distribution<int> extreme(-300, 300);
    std::vector<double> numbers;
    numbers.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        switch (i % 4) {
        case 0:
            numbers.push_back(static_cast<double>(whole(random)));
            break;
        case 1:
            numbers.push_back(static_cast<double>(whole(random)) / 100);
            break;
        case 2:
            numbers.push_back(mantissa(random) * std::pow(10.0, ordinary(random)));
            break;
        default:
            numbers.push_back(mantissa(random) * std::pow(10.0, extreme(random)));
        }
    }
    return numbers;
}

std::string pointText(double value)
{
    std::array<char, 48> buffer{};
    const auto end = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    return std::string(buffer.data(), end.ptr);
}

// Nanoseconds per call, the best of five passes over all the inputs.
template <typename Work> double nanosecondsPerCall(std::size_t calls, Work work)
{
    double best = 1e300;
    for (int pass = 0; pass < 5; ++pass) {
        const auto start = Clock::now();
        work();
        const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
        best = std::min(best, spent.count() / static_cast<double>(calls));
    }
    return best;
}

std::string fixed(double value, int decimals)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    return std::string(buffer.data(), end.ptr);
}

void report(const char *ours, double oursNs, const char *standard, double standardNs)
{
    const std::string line = std::string(ours) + " " + fixed(oursNs, 1) + " ns, " + standard + " "
        + fixed(standardNs, 1) + " ns: ratio " + fixed(oursNs / standardNs, 2) + "\n";
    std::fputs(line.c_str(), stdout);
}

} // namespace

int main()
{
    const std::vector<double> numbers = calculatorNumbers(1000000);
    std::vector<std::string> readoutTexts;
    std::vector<std::string> pointTexts;
    for (const double number : numbers) {
        readoutTexts.push_back(korvex::NumberToText(number));
        pointTexts.push_back(pointText(number));
    }
    volatile std::size_t sink = 0; // keeps every result alive

    const double write = nanosecondsPerCall(numbers.size(), [&] {
        for (const double number : numbers)
            sink = sink + korvex::NumberToText(number).size();
    });
    const double toChars = nanosecondsPerCall(numbers.size(), [&] {
        std::array<char, 48> buffer{};
        for (const double number : numbers) {
            const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number,
                std::chars_format::general, 15);
            sink = sink + static_cast<std::size_t>(end.ptr - buffer.data());
        }
    });
    const double read = nanosecondsPerCall(numbers.size(), [&] {
        for (const std::string &text : readoutTexts)
            sink = sink + korvex::TextToNumber(text).has_value();
    });
    const double fromChars = nanosecondsPerCall(numbers.size(), [&] {
        for (const std::string &text : pointTexts) {
            double value = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
            sink = sink + (result.ec == std::errc{});
        }
    });
    report("NumberToText", write, "std::to_chars", toChars);
    report("TextToNumber", read, "std::from_chars", fromChars);
    return 0;
}
