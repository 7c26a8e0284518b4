// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/settings_dialog.h"

#include "conversion/point_number.h"
#include "conversion/settings.h"
#include "conversion/settings_file.h"
#include "engine/host.h"
#include "engine/readout.h"

namespace korvex {

namespace {

    // Both fields or neither: a rate applied while the VAT field fails would leave the settings
    // half changed.
    bool applyFields(Settings &settings, std::string_view text1, std::string_view text2)
    {
        const auto rate = NumberOfFieldText(text1);
        const auto vat = NumberOfFieldText(text2);
        if (!rate || !vat)
            return false;
        settings.ConversionRate = *rate;
        settings.VatRate = *vat;
        return true;
    }

} // namespace

std::string FieldTextOfNumber(double value)
{
    return NumberToPointText(value);
}

std::optional<double> NumberOfFieldText(std::string_view text)
{
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t')
            compact += c;
    }
    const std::size_t length = PointNumberLength(compact);
    if (length == 0)
        return 0.0;
    return PointTextToNumber(std::string_view(compact).substr(0, length));
}

bool AcceptFieldCharacter(char32_t character)
{
    return character == 8 || (character >= U'0' && character <= U'9') || character == U'.';
}

namespace form1 {

    std::optional<int> OptionOfFormat(std::int16_t resultFormat)
    {
        switch (resultFormat) {
        case 0:
            return 4;
        case 2:
            return 1;
        case 3:
            return 2;
        case 4:
            return 3;
        }
        return std::nullopt;
    }

    Fields Form1_Load(Settings &settings)
    {
        settings.SavedConversionRate = settings.ConversionRate;
        settings.SavedVatRate = settings.VatRate;
        settings.SavedResultFormat = settings.ResultFormat;
        return {FieldTextOfNumber(settings.ConversionRate), FieldTextOfNumber(settings.VatRate),
            OptionOfFormat(settings.ResultFormat)};
    }

    void Option1_Click(Settings &settings)
    {
        settings.ResultFormat = 2;
    }

    void Option2_Click(Settings &settings)
    {
        settings.ResultFormat = 3;
    }

    void Option3_Click(Settings &settings)
    {
        settings.ResultFormat = 4;
    }

    void Option4_Click(Settings &settings)
    {
        settings.ResultFormat = 0;
    }

    DialogStep Command1_Click(Settings &settings, std::string_view text1, std::string_view text2)
    {
        return applyFields(settings, text1, text2) ? DialogStep::Close : DialogStep::StayOpen;
    }

    void Command2_Click(Settings &settings)
    {
        settings.ConversionRate = settings.SavedConversionRate;
        settings.VatRate = settings.SavedVatRate;
        settings.ResultFormat = settings.SavedResultFormat;
    }

    void Command3_Click(Settings &settings, std::string_view text1, std::string_view text2,
        FileSystem &files, Host &host)
    {
        if (!applyFields(settings, text1, text2) || !SaveSettings(settings, files))
            host.showMessage(SaveFailureMessage);
    }

} // namespace form1

} // namespace korvex
