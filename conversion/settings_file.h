// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file "Korvex.cfg" in the program's directory: three lines, rate, format and VAT.
#pragma once

#include "conversion/settings.h"
#include "engine/host.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

class FileSystem;

// The three values the file holds, in the order of its lines.
struct SettingsFileValues
{
    double ConversionRate = 0;
    std::int16_t ResultFormat = 0;
    double VatRate = 0;
};

inline constexpr std::string_view SettingsFileName = "Korvex.cfg";
// More is never read, so a huge or endless file cannot hold up the start.
inline constexpr std::size_t SettingsReadLimit = 64 * 1024;

// No file: the built-in settings. An unreadable file: other values on purpose, so the user can
// tell that the file was there but could not be read.
inline constexpr SettingsFileValues DefaultSettings{6.55957, 2, 19.6};
inline constexpr SettingsFileValues FallbackSettings{6.54, 2, 20.6};

// A save may fail while the user believes it done, so unlike a failed read it is shown.
inline const Message SaveFailureMessage{
    "Les paramètres n'ont pas pu être enregistrés.", "Erreur", MessageIcon::Warning};

// True for a regular file only: a folder or a FIFO of that name is never opened.
bool FileExists(const std::string &path, const FileSystem &files);

// The values of the file's text, or nothing when it is no valid settings file. Values end at a
// comma or a line end (CR LF, LF or CR); blanks around them are skipped; an empty value is 0; the
// period is the decimal separator; text after the third value is ignored.
std::optional<SettingsFileValues> ReadSettingsText(std::string_view text);

// The three lines of the file, each ended by CR LF: "6.55957\r\n", "2\r\n", "19.6\r\n".
std::array<std::string, 3> SettingsFileLines(const Settings &settings);

std::string SettingsFilePath(const Settings &settings);

// The settings step of the main window's load step. Sets SettingsDirectory to the folder of the
// file (the program's own for a portable copy), then reads the file
// only while ConversionRate is 0: its values, the defaults when there is no file, the fallback
// values when it cannot be read. Never creates the file, never shows anything.
void LoadSettings(Settings &settings, const std::string &directory, const FileSystem &files);

// Writes the file from the record, all or nothing; makes its folder first only when that is the
// user's settings folder: false when the old file (or none) is still there.
bool SaveSettings(const Settings &settings, FileSystem &files);

} // namespace korvex
