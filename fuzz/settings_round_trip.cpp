// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the settings dialog's fields through "&Sauver" to the file and back: the real
// file layer writes into a temporary folder, and a fresh load must give what the dialog applied,
// at the 15 significant digits the file keeps.
#include "conversion/file_system.h"
#include "conversion/settings.h"
#include "conversion/settings_dialog.h"
#include "conversion/settings_file.h"
#include "fuzz/property_check.h"
#include "tests/support/keypad.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace korvex;
using fuzz::require;

namespace {

class CountingHost : public Host
{
public:
    void showMessage(const Message &message) override
    {
        require(letterOf(message) == 'S', "the save shows only its own message", message.text);
        ++messages;
    }
    void runLoadStep() override { }
    void moveFocusToEquals() override { }

    int messages = 0;
};

// One folder for the whole run, removed at exit. Its path is never destroyed, so the exit handler
// can still read it.
const std::string &folder()
{
    static const std::string *const path = [] {
        std::string name = std::filesystem::temp_directory_path() / "korvex-fuzz-XXXXXX";
        if (::mkdtemp(name.data()) == nullptr)
            fuzz::fail("a temporary folder can be made");
        return new std::string(name);
    }();
    static const int removal = std::atexit([] {
        ::unlink((*path + "/Korvex.cfg").c_str());
        ::rmdir(path->c_str());
    });
    static_cast<void>(removal);
    return *path;
}

// The value the file keeps: the C library's 15 significant digits, read back; no sign on zero.
double keptInFile(double value)
{
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.15g", value);
    const double kept = std::strtod(text.data(), nullptr);
    if (std::isinf(kept)) // the largest double's text, which the reader takes as it
        return std::copysign(std::numeric_limits<double>::max(), value);
    return kept == 0 ? 0.0 : kept;
}

bool sameBits(double a, double b)
{
    return std::signbit(a) == std::signbit(b) && (a == b || (std::isnan(a) && std::isnan(b)));
}

// The input: a byte choosing the option clicked (0 to 3 click Option1 to Option4, others none),
// then the two fields' texts separated by a line end.
struct Fields
{
    int option = -1;
    std::string_view text1;
    std::string_view text2;
};

Fields fieldsOf(std::string_view input)
{
    Fields fields;
    if (input.empty())
        return fields;
    fields.option = static_cast<unsigned char>(input.front()) % 8;
    input.remove_prefix(1);
    const std::size_t end = input.find('\n');
    fields.text1 = input.substr(0, end);
    if (end != std::string_view::npos)
        fields.text2 = input.substr(end + 1);
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Fields fields = fieldsOf(std::string_view(reinterpret_cast<const char *>(data), size));
    Settings settings;
    PosixFileSystem files;
    LoadSettings(settings, folder(), files);
    const std::string before = files.readStart(SettingsFilePath(settings), 1 << 16).value_or("");
    form1::Form1_Load(settings);
    const std::array options{
        form1::Option1_Click, form1::Option2_Click, form1::Option3_Click, form1::Option4_Click};
    if (fields.option >= 0 && fields.option < 4)
        options[std::size_t(fields.option)](settings);
    CountingHost host;
    form1::Command3_Click(settings, fields.text1, fields.text2, files, host);

    const auto rate = NumberOfFieldText(fields.text1);
    const auto vat = NumberOfFieldText(fields.text2);
    const std::string after = files.readStart(SettingsFilePath(settings), 1 << 16).value_or("");
    if (!rate || !vat) {
        require(host.messages == 1, "a field beyond the double range is told", fields.text1);
        require(after == before, "a refused save leaves the file as it was", after);
        return 0;
    }
    require(host.messages == 0, "a save of numbers in range works", after);
    require(sameBits(settings.ConversionRate, *rate) && sameBits(settings.VatRate, *vat),
        "the save applies the fields", fields.text1);
    Settings restarted;
    LoadSettings(restarted, folder(), files);
    require(sameBits(restarted.ConversionRate, keptInFile(*rate)),
        "the rate comes back at 15 digits", after);
    require(
        sameBits(restarted.VatRate, keptInFile(*vat)), "the VAT comes back at 15 digits", after);
    require(restarted.ResultFormat == settings.ResultFormat, "the format comes back", after);
    require(!after.starts_with("-0\r") && after.find("\n-0\r") == std::string::npos,
        "no minus on zero in the file", after);
    return 0;
}
