// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the settings file's reader: any file contents give the file's own values or
// the fallback, checked against a reading of the text worked out here from std::from_chars.
#include "conversion/file_system.h"
#include "conversion/settings_file.h"
#include "fuzz/linear_time.h"
#include "fuzz/property_check.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace korvex;
using fuzz::require;

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view field)
{
    while (!field.empty() && isBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && isBlank(field.back()))
        field.remove_suffix(1);
    return field;
}

// The text's fields: a comma, CR LF, LF or a lone CR ends each. A last field with no end counts
// only when it holds more than blanks.
std::vector<std::string> fieldsOf(std::string_view text)
{
    std::string uniform;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // CR LF ends one field, at its LF
        uniform += text[i] == ',' || text[i] == '\r' ? '\n' : text[i];
    }
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end = uniform.find('\n'); end != std::string::npos;
         end = uniform.find('\n', start)) {
        fields.emplace_back(trimmed(std::string_view(uniform).substr(start, end - start)));
        start = end + 1;
    }
    const std::string_view last = trimmed(std::string_view(uniform).substr(start));
    if (!last.empty())
        fields.emplace_back(last);
    return fields;
}

// A number too large or too small for a double: the power of ten of its first significant
// digit and its significant digits.
struct Magnitude
{
    long long power = 0;
    std::string digits;
};

Magnitude magnitudeOf(std::string_view body)
{
    const std::size_t e = body.find_first_of("eE");
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view written = body.substr(e + 1);
        const bool negative = written.front() == '-';
        if (written.front() == '+' || written.front() == '-')
            written.remove_prefix(1);
        // Any exponent beyond a million is far beyond the doubles either way; capping it keeps the
        // power of the first digit within a long long.
        constexpr long long far = 1'000'000;
        const auto result = std::from_chars(written.begin(), written.end(), exponent);
        if (result.ec != std::errc{} || exponent > far)
            exponent = far;
        exponent = negative ? -exponent : exponent;
    }
    const std::string_view mantissa = body.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    Magnitude magnitude;
    for (std::size_t i = 0; i < mantissa.size(); ++i) {
        if (mantissa[i] == '.' || (magnitude.digits.empty() && mantissa[i] == '0'))
            continue;
        if (magnitude.digits.empty())
            magnitude.power = (i < point ? static_cast<long long>(point - i) - 1
                                         : -static_cast<long long>(i - point))
                + exponent;
        magnitude.digits += mantissa[i];
    }
    return magnitude;
}

// The largest double is written as 1.79769313486232e+308, above the double range: that text and
// whatever rounds to it at 15 significant digits read as the largest double.
bool roundsToLargestDouble(const Magnitude &magnitude)
{
    std::string first16 = magnitude.digits.substr(0, 16);
    first16.resize(16, '0');
    return magnitude.power == 308 && first16 >= "1797693134862315" && first16 < "1797693134862325";
}

// A field's number in point notation: an optional sign, digits with at most one period and an
// optional exponent with digits. Nothing when the field is no such number or beyond the range.
std::optional<double> numberOf(std::string_view field)
{
    if (field.empty())
        return 0.0;
    if (field.find_first_not_of("0123456789.+-eE") != std::string_view::npos)
        return std::nullopt;
    std::string_view body = field;
    if (body.front() == '+') {
        body.remove_prefix(1); // std::from_chars takes no plus sign
        if (body.empty() || body.front() == '+' || body.front() == '-')
            return std::nullopt;
    }
    const bool negative = body.front() == '-';
    double value = 0;
    const auto [end, error] =
        std::from_chars(body.begin(), body.end(), value, std::chars_format::general);
    if (end != body.end() || error == std::errc::invalid_argument)
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        const Magnitude magnitude = magnitudeOf(negative ? body.substr(1) : body);
        if (magnitude.power < 0)
            value = 0;
        else if (roundsToLargestDouble(magnitude))
            value = std::numeric_limits<double>::max();
        else
            return std::nullopt;
        value = negative ? -value : value;
    }
    return value;
}

std::optional<std::int16_t> formatOf(std::string_view field)
{
    const auto number = numberOf(field);
    if (!number)
        return std::nullopt;
    const double rounded = std::round(*number);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<SettingsFileValues> expectedValues(std::string_view text)
{
    const std::vector<std::string> fields = fieldsOf(text);
    if (fields.size() < 3)
        return std::nullopt;
    const auto rate = numberOf(fields[0]);
    const auto format = formatOf(fields[1]);
    const auto vat = numberOf(fields[2]);
    if (!rate || !format || !vat)
        return std::nullopt;
    return SettingsFileValues{*rate, *format, *vat};
}

// Bit for bit: 0 and -0 differ, and so would any rounding.
bool sameValues(const SettingsFileValues &a, const SettingsFileValues &b)
{
    return std::bit_cast<std::uint64_t>(a.ConversionRate)
        == std::bit_cast<std::uint64_t>(b.ConversionRate)
        && a.ResultFormat == b.ResultFormat
        && std::bit_cast<std::uint64_t>(a.VatRate) == std::bit_cast<std::uint64_t>(b.VatRate);
}

// The program's folder holding one settings file with the fuzzer's bytes, or none.
class OneFileSystem : public PosixFileSystem
{
public:
    explicit OneFileSystem(std::optional<std::string_view> contents)
        : m_contents(contents)
    {
    }
    bool isRegularFile(const std::string &) const override { return m_contents.has_value(); }
    std::optional<std::string> readStart(const std::string &, std::size_t limit) const override
    {
        if (!m_contents)
            return std::nullopt;
        return std::string(m_contents->substr(0, limit));
    }

private:
    std::optional<std::string_view> m_contents;
};

SettingsFileValues loaded(std::optional<std::string_view> contents)
{
    Settings settings;
    LoadSettings(settings, "program", OneFileSystem(contents));
    require(settings.SettingsDirectory == "program/", "the settings folder ends with its separator",
        settings.SettingsDirectory);
    return {settings.ConversionRate, settings.ResultFormat, settings.VatRate};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto read = ReadSettingsText(text);
    const auto expected = expectedValues(text);
    require(read.has_value() == expected.has_value(),
        expected ? "a valid file is read" : "an invalid file is a read failure", text);
    if (read)
        require(sameValues(*read, *expected), "the values read are the file's own", text);
    // The file as the load step meets it: at most its 64 KiB read limit, which the fuzzer's inputs
    // stay below.
    if (size <= 64 * 1024)
        require(sameValues(loaded(text), read.value_or(SettingsFileValues{6.54, 2, 20.6})),
            "the load step takes the file's values or the fallback", text);
    require(sameValues(loaded(std::nullopt), {6.55957, 2, 19.6}), "no file gives the defaults");
    if (fuzz::timesStretchedCopy(text)) {
        const auto reader = [](std::string_view copy) {
            return ReadSettingsText(copy).has_value();
        };
        require(fuzz::readsInLinearTime(text, reader), "reading takes linear time", text);
    }
    return 0;
}
