// SPDX-License-Identifier: GPL-3.0-or-later
// What the settings dialog Form1 does with the settings; its window only shows the two fields and
// the four format options and passes the clicks on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

class FileSystem;
class Host;
struct Settings;

// A number as the fields show it: the period, up to 15 significant digits, no grouping, no
// leading blank ("6.55957", "19.6"). NumberOfFieldText reads every such text back.
std::string FieldTextOfNumber(double value);

// The number that starts a field's text, blanks ignored: it ends at the first character that
// cannot continue it, so "6.55.957" gives 6.55; a text with no leading number gives 0. Nothing
// when the number lies beyond the double range.
std::optional<double> NumberOfFieldText(std::string_view text);

// The typing filter of both fields: backspace (code 8) and "0123456789." only.
bool AcceptFieldCharacter(char32_t character);

// The dialog's handlers. Their names are those of the dialog's controls, which the main window's
// own Command1 to Command3 share, hence a namespace of their own.
namespace form1 {

    // What the dialog shows when it opens.
    struct Fields
    {
        std::string Text1; // the conversion rate
        std::string Text2; // the VAT rate
        std::optional<int> option; // N of the option button OptionN that is selected, if any
    };

    enum class DialogStep { Close, StayOpen };

    // The option button that stands for a result format: Option4 for 0, Option1 to Option3 for 2
    // to 4, none for any other value.
    std::optional<int> OptionOfFormat(std::int16_t resultFormat);

    // Keeps the settings in force at opening for the cancel button, and gives the fields' texts.
    Fields Form1_Load(Settings &settings);

    // Each option sets ResultFormat at once, before any button is pressed.
    void Option1_Click(Settings &settings);
    void Option2_Click(Settings &settings);
    void Option3_Click(Settings &settings);
    void Option4_Click(Settings &settings);

    // OK: applies both fields and closes. A field beyond the double range changes nothing and
    // keeps the dialog open.
    DialogStep Command1_Click(Settings &settings, std::string_view text1, std::string_view text2);

    // "&Annuler": puts back the settings in force at opening; the dialog closes.
    void Command2_Click(Settings &settings);

    // "&Sauver": applies both fields and writes the settings file; the dialog stays open. A field
    // beyond the double range changes nothing; it and a failed save show SaveFailureMessage.
    void Command3_Click(Settings &settings, std::string_view text1, std::string_view text2,
        FileSystem &files, Host &host);

} // namespace form1

} // namespace korvex
