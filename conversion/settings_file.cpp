// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/settings_file.h"

#include "conversion/file_system.h"
#include "conversion/point_number.h"
#include "engine/readout.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvex {

namespace {

    bool isBlank(char c)
    {
        return c == ' ' || c == '\t';
    }

    // Hands out the file's values one by one.
    class ValueReader
    {
    public:
        explicit ValueReader(std::string_view text)
            : m_text(text)
        {
        }

        // The next value without its surrounding blanks; nothing at the end of the text.
        std::optional<std::string_view> next()
        {
            while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
                ++m_pos;
            if (m_pos == m_text.size())
                return std::nullopt;
            const std::size_t start = m_pos;
            const std::size_t end = std::min(m_text.find_first_of(",\r\n", start), m_text.size());
            std::size_t last = end;
            while (last > start && isBlank(m_text[last - 1]))
                --last;
            m_pos = end;
            if (m_pos < m_text.size())
                m_pos += m_text.compare(m_pos, 2, "\r\n") == 0 ? std::size_t{2} : std::size_t{1};
            return m_text.substr(start, last - start);
        }

    private:
        std::string_view m_text;
        std::size_t m_pos = 0;
    };

    // An empty value is 0; anything but one finite number is a read failure.
    std::optional<double> rateValue(std::string_view value)
    {
        if (value.empty())
            return 0.0;
        return PointTextToNumber(value);
    }

    // A fractional format is rounded, halves away from zero; it must then fit 16 bits.
    std::optional<std::int16_t> formatValue(std::string_view value)
    {
        const auto number = rateValue(value);
        if (!number)
            return std::nullopt;
        const double rounded = std::round(*number);
        if (rounded < std::numeric_limits<std::int16_t>::min()
            || rounded > std::numeric_limits<std::int16_t>::max())
            return std::nullopt;
        return static_cast<std::int16_t>(rounded);
    }

    // A file longer than the limit is cut after its last whole value, so a value is never taken
    // from its first bytes alone.
    void keepWholeValues(std::string &text)
    {
        text.resize(SettingsReadLimit);
        const std::size_t lastEnd = text.find_last_of(",\r\n");
        text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }

    std::optional<SettingsFileValues> readSettingsFile(
        const std::string &path, const FileSystem &files)
    {
        auto text = files.readStart(path, SettingsReadLimit + 1);
        if (!text)
            return std::nullopt;
        if (text->size() > SettingsReadLimit)
            keepWholeValues(*text);
        return ReadSettingsText(*text);
    }

    std::string integerText(std::int16_t value)
    {
        std::array<char, 8> buffer{};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        return std::string(buffer.data(), result.ptr);
    }

} // namespace

bool FileExists(const std::string &path, const FileSystem &files)
{
    return files.isRegularFile(path);
}

std::optional<SettingsFileValues> ReadSettingsText(std::string_view text)
{
    // Some editors start a UTF-8 file with a byte-order mark: it is no part of the rate.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    ValueReader reader(text);
    const auto rateText = reader.next();
    const auto formatText = reader.next();
    const auto vatText = reader.next();
    if (!rateText || !formatText || !vatText)
        return std::nullopt;
    const auto rate = rateValue(*rateText);
    const auto format = formatValue(*formatText);
    const auto vat = rateValue(*vatText);
    if (!rate || !format || !vat)
        return std::nullopt;
    return SettingsFileValues{*rate, *format, *vat};
}

std::array<std::string, 3> SettingsFileLines(const Settings &settings)
{
    return {NumberToPointText(settings.ConversionRate) + "\r\n",
        integerText(settings.ResultFormat) + "\r\n", NumberToPointText(settings.VatRate) + "\r\n"};
}

std::string SettingsFilePath(const Settings &settings)
{
    return settings.SettingsDirectory + std::string(SettingsFileName);
}

void LoadSettings(Settings &settings, const std::string &directory, const FileSystem &files)
{
    settings.SettingsDirectory = directory;
    if (!directory.ends_with('/'))
        settings.SettingsDirectory += '/';
    if (settings.ConversionRate != 0)
        return;
    const std::string path = SettingsFilePath(settings);
    SettingsFileValues values = DefaultSettings;
    if (FileExists(path, files))
        values = readSettingsFile(path, files).value_or(FallbackSettings);
    settings.ConversionRate = values.ConversionRate;
    settings.ResultFormat = values.ResultFormat;
    settings.VatRate = values.VatRate;
}

bool SaveSettings(const Settings &settings, FileSystem &files)
{
    // An installed program keeps its settings in a folder of the user's that the first save makes;
    // a program folder deleted meanwhile is not made again.
    if (!settings.SettingsDirectory.empty()
        && !files.makeSettingsFolder(settings.SettingsDirectory))
        return false;
    const auto lines = SettingsFileLines(settings);
    return ReplaceFile(files, SettingsFilePath(settings), lines);
}

} // namespace korvex
