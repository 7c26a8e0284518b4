// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/file_system.h"
#include "conversion/settings_dialog.h"
#include "conversion/settings_file.h"
#include "engine/readout.h"
#include "tests/support/failing_calls.h"
#include "tests/support/fake_window.h"
#include "tests/support/folder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <charconv>
#include <limits>
#include <map>
#include <sys/stat.h>

using namespace korvex;

namespace {

const double largest = std::numeric_limits<double>::max();

// The shortest text that reads back as exactly this double: compares doubles without fuzz.
std::string exact(double value)
{
    char buffer[40];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string thousands(int groups)
{
    std::string text;
    for (int i = 0; i < groups; ++i)
        text += " 000";
    return text;
}

// Settings that save into the folder.
Settings settingsIn(const Folder &folder)
{
    Settings settings;
    settings.SettingsDirectory = folder.path + "/";
    return settings;
}

void compareValues(const Settings &settings, const SettingsFileValues &expected)
{
    QCOMPARE(exact(settings.ConversionRate), exact(expected.ConversionRate));
    QCOMPARE(settings.ResultFormat, expected.ResultFormat);
    QCOMPARE(exact(settings.VatRate), exact(expected.VatRate));
}

} // namespace

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(korvex::SettingsFileValues)

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void frenchLocaleIsInEffect() { korvex::frenchLocaleIsInEffect(); }
    void loadSettings_data();
    void loadSettings();
    void loadReadsOnlyWhileRateIsZero();
    void readStopsAtTheLimit();
    void saveSettings_data();
    void saveSettings();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void saveBlockedOnDisk();
    void buttons_data();
    void buttons();
    void fieldTexts_data();
    void fieldTexts();
    void fieldFilter();
    void dialog_data();
    void dialog();
};

void TestConversion::loadSettings_data()
{
    QTest::addColumn<std::string>("content"); // or what else bears the name Korvex.cfg
    QTest::addColumn<SettingsFileValues>("expected");
    const auto row = [](const char *name, const std::string &content, SettingsFileValues values) {
        QTest::newRow(name) << content << values;
    };
    // An unreadable file gives other values than a missing one, so the user can tell the two apart.
    const SettingsFileValues defaults{6.55957, 2, 19.6}, fallback{6.54, 2, 20.6};
    row("no file", noFile, defaults);
    row("a folder named Korvex.cfg", "(folder)", defaults);
    row("a FIFO named Korvex.cfg, never opened", "(fifo)", defaults);
    row("as written", "6.55957\r\n2\r\n19.6\r\n", {6.55957, 2, 19.6});
    row("with an editor's byte-order mark",
        "\xEF\xBB\xBF"
        "7\r\n3\r\n5.5\r\n",
        {7, 3, 5.5});
    row("a byte-order mark past the start",
        "7\r\n\xEF\xBB\xBF"
        "3\r\n5.5\r\n",
        fallback);
    row("empty file", "", fallback);
    row("only two lines: the rate read is dropped", "6.5\r\n3\r\n", fallback);
    row("decimal comma: 55957 is no 16-bit format", "6,55957\r\n2\r\n19.6\r\n", fallback);
    row("one line with commas", "6.55957,2,19.6", {6.55957, 2, 19.6});
    row("fourth line ignored", "7\r\n3\r\n5.5\r\nabc\r\n", {7, 3, 5.5});
    row("format 1 kept", "7\r\n1\r\n5.5\r\n", {7, 1, 5.5});
    row("format 7 kept", "7\r\n7\r\n5.5\r\n", {7, 7, 5.5});
    row("CR alone ends lines", "7\r3\r5.5\r", {7, 3, 5.5});
    row("LF alone ends lines", "7\n3\n5.5", {7, 3, 5.5});
    row("blanks around values", "  7 \r\n\t3\t\r\n 5.5  ", {7, 3, 5.5});
    row("blank line is 0", "\r\n3\r\n5.5\r\n", {0, 3, 5.5});
    row("only blanks where the VAT should be", "7\r\n3\r\n   ", fallback);
    row("fractional format, half rounds up", "7\r\n2.5\r\n5.5", {7, 3, 5.5});
    row("negative half rounds away from zero", "7\r\n-2.5\r\n5.5", {7, -3, 5.5});
    row("largest format", "7\r\n32767\r\n5.5", {7, 32767, 5.5});
    row("smallest format", "7\r\n-32768\r\n5.5", {7, -32768, 5.5});
    row("format above 16 bits", "7\r\n32768\r\n5.5", fallback);
    row("format below 16 bits", "7\r\n-32769\r\n5.5", fallback);
    row("format rounding out of 16 bits", "7\r\n32767.5\r\n5.5", fallback);
    row("format as text", "7\r\nabc\r\n5.5", fallback);
    row("rate as text", "abc\r\n2\r\n19.6", fallback);
    row("rate nan", "nan\r\n2\r\n19.6", fallback);
    row("rate inf", "inf\r\n2\r\n19.6", fallback);
    row("rate with two periods", "6.55.957\r\n2\r\n19.6", fallback);
    row("rate beyond the double range", "1e309\r\n2\r\n19.6", fallback);
    row("largest double at 15 digits", "1.79769313486232e+308\r\n2\r\n19.6", {largest, 2, 19.6});
    row("rate without leading zero", ".5\r\n2\r\n19.6", {0.5, 2, 19.6});
    row("negative rate with exponent", "-6.55957E0\r\n2\r\n19.6", {-6.55957, 2, 19.6});
    row("values followed by 70 000 bytes", "7\r\n3\r\n5.5\r\n" + std::string(70000, 'x'),
        {7, 3, 5.5});
    row("values after 70 000 blanks", std::string(70000, ' ') + "7\r\n3\r\n5.5\r\n", fallback);
    // The limit falls between the "19" and the ".6" of the VAT: 19 must not be taken.
    row("VAT cut by the 64 KiB limit", "7\r\n3\r\n" + std::string(65536 - 8, ' ') + "19.6\r\n",
        fallback);
}

void TestConversion::loadSettings()
{
    QFETCH(std::string, content);
    QFETCH(SettingsFileValues, expected);
    Folder folder;
    if (content == "(folder)")
        QVERIFY(QDir(folder.dir.path()).mkdir(QStringLiteral("Korvex.cfg")));
    else if (content == "(fifo)")
        QCOMPARE(::mkfifo(folder.at().c_str(), 0600), 0);
    else if (content != noFile)
        folder.write(content);
    const QStringList before = folder.entries();
    Settings settings;
    LoadSettings(settings, folder.path, PosixFileSystem());
    compareValues(settings, expected);
    QCOMPARE(folder.entries(), before); // reading creates nothing
    if (content.front() != '(')
        QCOMPARE(folder.read(), content);
}

void TestConversion::loadReadsOnlyWhileRateIsZero()
{
    Folder folder;
    folder.write("7\r\n3\r\n5.5\r\n");
    Settings settings;
    settings.ConversionRate = 6.55957;
    settings.VatRate = 19.6;
    settings.ResultFormat = 4;
    LoadSettings(settings, folder.path + "/", PosixFileSystem());
    compareValues(settings, {6.55957, 4, 19.6});
    QCOMPARE(settings.SettingsDirectory, folder.path + "/");
    settings.ConversionRate = 0; // set so in the dialog: the next reset reads the file again
    LoadSettings(settings, folder.path, PosixFileSystem());
    compareValues(settings, {7, 3, 5.5});
    QCOMPARE(settings.SettingsDirectory, folder.path + "/");
}

void TestConversion::readStopsAtTheLimit()
{
    Folder folder;
    folder.write(std::string(100000, '7'));
    const PosixFileSystem files;
    QCOMPARE(
        files.readStart(folder.path + "/Korvex.cfg", 1000).value_or("").size(), std::size_t(1000));
    QVERIFY(!files.readStart(folder.path, 1000)); // a folder
}

void TestConversion::saveSettings_data()
{
    QTest::addColumn<SettingsFileValues>("values");
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<double>("rateReadBack");
    const auto row = [](const char *name, SettingsFileValues values, const char *bytes,
                         double rateReadBack) {
        QTest::newRow(name) << values << std::string(bytes) << rateReadBack;
    };
    row("defaults: 18 bytes", {6.55957, 2, 19.6}, "6.55957\r\n2\r\n19.6\r\n", 6.55957);
    row("rate below one", {0.5, 3, 5.5}, "0.5\r\n3\r\n5.5\r\n", 0.5);
    row("binary noise hidden at 15 digits", {0.1 + 0.2, 2, 20}, "0.3\r\n2\r\n20\r\n", 0.3);
    row("largest double", {largest, 2, 19.6}, "1.79769313486232e+308\r\n2\r\n19.6\r\n", largest);
    row("tiny rate", {1e-300, 2, 19.6}, "1e-300\r\n2\r\n19.6\r\n", 1e-300);
    row("negative values", {-2.5, -32768, -100}, "-2.5\r\n-32768\r\n-100\r\n", -2.5);
    row("negative zero written without its sign", {-0.0, 2, 5.5}, "0\r\n2\r\n5.5\r\n", 0.0);
}

void TestConversion::saveSettings()
{
    QFETCH(SettingsFileValues, values);
    QFETCH(std::string, bytes);
    QFETCH(double, rateReadBack);
    Folder folder;
    folder.write(std::string(100, 'x')); // an older, longer file is replaced whole
    Settings settings = settingsIn(folder);
    settings.ConversionRate = values.ConversionRate;
    settings.ResultFormat = values.ResultFormat;
    settings.VatRate = values.VatRate;
    PosixFileSystem files;
    QVERIFY(SaveSettings(settings, files));
    QCOMPARE(folder.read(), bytes);
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("Korvex.cfg")});
    Settings restarted;
    LoadSettings(restarted, folder.path, files);
    compareValues(restarted, {rateReadBack, values.ResultFormat, values.VatRate});
}

void TestConversion::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("failing"); // the call that fails, as FailingCalls names it
    QTest::addColumn<std::string>("oldFile");
    QTest::addColumn<std::string>("fileAfter");
    const std::string old = "6.55957\r\n2\r\n19.6\r\n";
    const std::string saved = "7.25\r\n2\r\n5.5\r\n";
    QTest::newRow("no failure: the control case") << "" << old << saved;
    QTest::newRow("open fails") << "open" << old << old;
    QTest::newRow("first write fails") << "write 1" << old << old;
    QTest::newRow("second write fails") << "write 2" << old << old;
    QTest::newRow("third write fails") << "write 3" << old << old;
    QTest::newRow("flush fails") << "flush file" << old << old;
    QTest::newRow("rename fails") << "rename" << old << old;
    // The new file is in place, but whether its name survives a power cut is not known.
    QTest::newRow("flush of the folder fails") << "flush folder" << old << saved;
    QTest::newRow("write fails with no file yet") << "write 2" << noFile << noFile;
    QTest::newRow("rename fails with no file yet") << "rename" << noFile << noFile;
}

void TestConversion::failedSaveKeepsOldFile()
{
    QFETCH(QString, failing);
    QFETCH(std::string, oldFile);
    QFETCH(std::string, fileAfter);
    Folder folder;
    if (oldFile != noFile)
        folder.write(oldFile);
    const QStringList before = folder.entries();
    Settings settings = settingsIn(folder);
    LoadSettings(settings, folder.path, PosixFileSystem());
    form1::Form1_Load(settings);
    FailingCalls calls;
    calls.failing = failing;
    PosixFileSystem files(calls);
    FakeWindow host;
    form1::Command3_Click(settings, "7.25", "5.5", files, host);
    // Either way the dialog stays open with the values applied.
    QCOMPARE(exact(settings.ConversionRate), exact(7.25));
    QCOMPARE(exact(settings.VatRate), exact(5.5));
    QCOMPARE(folder.read(), fileAfter);
    if (failing.isEmpty()) {
        QCOMPARE(host.events, std::string());
        return;
    }
    QVERIFY2(calls.failures > 0, "the save never reached the failing call");
    QCOMPARE(host.events, std::string("S(0,) ")); // over the calculator, which it leaves alone
    if (fileAfter == oldFile)
        QCOMPARE(folder.entries(), before); // no temporary file behind
}

void TestConversion::saveBlockedOnDisk()
{
    Folder folder;
    QVERIFY(QDir(folder.dir.path()).mkpath(QStringLiteral("Korvex.cfg/keep"))); // in the way
    const QStringList before = folder.entries();
    Settings settings = settingsIn(folder);
    PosixFileSystem files;
    QVERIFY(!SaveSettings(settings, files));
    QCOMPARE(folder.entries(), before);
    // The program's folder deleted while the program ran: the save does not make it again. Only
    // the user's settings folder is made, every missing level above it too, all private.
    files.setUserFolder(folder.path + "/config/home/korvex");
    settings.SettingsDirectory = folder.path + "/Korvex.cfg/keep/gone/";
    QVERIFY(!SaveSettings(settings, files));
    QVERIFY(!QDir(QString::fromStdString(settings.SettingsDirectory)).exists());
    settings.SettingsDirectory = folder.path + "/config/home/korvex/";
    QVERIFY(SaveSettings(settings, files));
    QVERIFY(QFile::exists(QString::fromStdString(SettingsFilePath(settings))));
    for (const char *made : {"/config", "/config/home", "/config/home/korvex"}) {
        struct stat status
        {
        };
        QCOMPARE(::stat((folder.path + made).c_str(), &status), 0);
        QCOMPARE(status.st_mode & 07777, 0700u);
    }
}

void TestConversion::buttons_data()
{
    QTest::addColumn<std::string>("readout");
    QTest::addColumn<std::string>("buttons"); // F, U, T and H of the key legend
    QTest::addColumn<double>("rate"); // the conversion rate and the VAT rate alike
    // Readout after the buttons in the formats 2 | 3 | 4 | 0, or one text for all: "=" when
    // nothing changes, "!" when the message is shown besides.
    QTest::addColumn<QString>("results");
    const auto row = [](const char *name, const char *readout, const char *buttons, double rate,
                         const std::string &results) {
        QTest::newRow(name) << std::string(readout) << std::string(buttons) << rate
                            << QString::fromStdString(results);
    };
    // An integer part with no decimals in every format, then the unformatted text.
    const auto whole = [](const std::string &integer, const std::string &unformatted) {
        return integer + ",00 | " + integer + ",000 | " + integer + ",0000 | " + unformatted;
    };
    const double r = 6.55957;
    row("100 euros", "100,", "F", r, "655,96 | 655,957 | 655,9570 | 655,957");
    row("10 euros", "10,", "F", r, "65,60 | 65,596 | 65,5957 | 65,5957");
    row("1 franc", "1,", "U", r, "0,15 | 0,152 | 0,1524 | 0,15244901723741");
    row("a million francs, format 2 keeps the cents", "1000000,", "U", r,
        "152 449,02 | 152 449,017 | 152 449,0172 | 152449,01723741");
    row("zero", "0,", "U", r, whole("0", "0"));
    row("grouped readout read back", "1 234,5", "F", r,
        "8 097,79 | 8 097,789 | 8 097,7892 | 8097,789165");
    row("euros to francs twice", "10,", "FF", r, "430,31 | 430,282 | 430,2796 | 430,279585849");
    row("beyond single precision", "1E+37", "F", r,
        whole("65 595 700" + thousands(10), "6,55957E+37"));
    row("rate 0, euros to francs", "5,", "F", 0, whole("0", "0"));
    row("rate 0, francs to euros", "5,", "U", 0, "!");
    row("conversion of a lone minus", "-", "F", r, "!");
    row("conversion overflow", "-1,5E+308", "F", r, "!");
    // At the rate 1 the readout's number itself is formatted.
    row("grouping", "1234,5", "F", 1, "1 234,50 | 1 234,500 | 1 234,5000 | 1234,5");
    row("negative grouping", "-1234567,891", "U", 1,
        "-1 234 567,89 | -1 234 567,891 | -1 234 567,8910 | -1234567,891");
    row("carry into a new group", "999999,995", "F", 1,
        "1 000 000,00 | 999 999,995 | 999 999,9950 | 999999,995");
    row("half rounds up", "0,125", "F", 1, "0,13 | 0,125 | 0,1250 | 0,125");
    row("negative half rounds away from zero", "-0,125", "F", 1,
        "-0,13 | -0,125 | -0,1250 | -0,125");
    row("1,005 as shown, not as stored", "1,005", "F", 1, "1,01 | 1,005 | 1,0050 | 1,005");
    row("half at the first digit", "0,00005", "F", 1, "0,00 | 0,000 | 0,0001 | 5E-05");
    row("negative rounding to zero", "-0,00004", "F", 1, "0,00 | 0,000 | 0,0000 | -4E-05");
    row("digits past the fifteenth are zeros", "1234567890123456789", "F", 1,
        whole("1 234 567 890 123 460 000", "1,23456789012346E+18"));
    row("1E+300", "1E+300", "F", 1, whole("1" + thousands(100), "1E+300"));
    row("-1E+20", "-1E+20", "F", 1, whole("-100" + thousands(6), "-1E+20"));
    row("largest double", "1,79769313486232E+308", "F", 1,
        whole("179 769 313 486 232" + thousands(98), "1,79769313486232E+308"));
    row("smallest subnormal", "4,94065645841247E-324", "F", 1, whole("0", "4,94065645841247E-324"));
    row("100 before tax", "100,", "T", 19.6, "119,6");
    row("119,6 with tax", "119,6", "H", 19.6, "100");
    row("100 with tax", "100,", "H", 19.6, "83,6120401337793");
    row("59,8 with tax", "59,8", "H", 19.6, "50");
    row("VAT not rounded to cents", "1234,56", "T", 19.6, "1476,53376");
    row("negative amount before tax", "-100,", "T", 19.6, "-119,6");
    row("tax applied twice", "100,", "TT", 19.6, "143,0416");
    // x / (1 + VAT / 100) in that order; x * 100 / (100 + VAT) would show ...548.
    row("order of the VAT operations", "1,02", "H", 19.6, "0,852842809364549");
    row("VAT of a zero readout", "0,", "T", 19.6, "=");
    row("VAT of a negative zero readout", "-0,", "H", 19.6, "=");
    row("VAT 0, before tax", "100,", "T", 0, "=");
    row("VAT 0 reads no readout", "-", "T", 0, "=");
    row("VAT of a lone minus", "-", "T", 19.6, "!");
    row("VAT overflow", "1,5E+308", "T", 100, "!");
    row("VAT of -100", "100,", "H", -100, "!");
    row("VAT of -100, zero readout", "0,", "H", -100, "=");
}

void TestConversion::buttons()
{
    QFETCH(std::string, readout);
    QFETCH(std::string, buttons);
    QFETCH(double, rate);
    QFETCH(QString, results);
    const QStringList perFormat = results.split(QStringLiteral(" | "));
    // Formats 1, 7 and -1 show what the unformatted 0 shows.
    const std::array<std::int16_t, 7> formats{2, 3, 4, 0, 1, 7, -1};
    const std::map<char, std::string> labels{
        {'F', " Francs "}, {'U', " € Euros "}, {'T', " T.T.C. "}, {'H', " H.T. "}};
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const qsizetype column = perFormat.size() == 1 ? 0 : std::min<qsizetype>(qsizetype(i), 3);
        const std::string result = perFormat[column].toStdString();
        FakeWindow w;
        w.state.readout = readout;
        w.state.label1 = "before";
        w.state.InputState = "NUMS";
        w.settings.ConversionRate = w.settings.VatRate = rate;
        w.settings.ResultFormat = formats[i];
        w.press(buttons);
        QCOMPARE(w.focusMoves, int(buttons.size()));
        const bool unchanged = result == "=" || result == "!";
        QCOMPARE(w.state.readout, unchanged ? readout : result);
        QCOMPARE(w.state.label1, unchanged ? std::string("before") : labels.at(buttons.back()));
        QCOMPARE(w.messages, std::string(result == "!" ? "V" : ""));
        QCOMPARE(w.state.InputState, std::string("NUMS")); // the calculation is not touched
        // The next operation reads the readout back, grouping and all.
        QVERIFY(unchanged || TextToNumber(w.state.readout).has_value());
    }
}

void TestConversion::fieldTexts_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("inRange");
    QTest::addColumn<double>("number");
    QTest::addColumn<bool>("written"); // the fields show the number with this very text
    const auto row = [](const char *name, const char *text, double number, bool written,
                         bool inRange = true) {
        QTest::newRow(name) << std::string(text) << inRange << number << written;
    };
    row("rate", "6.55957", 6.55957, true);
    row("VAT", "19.6", 19.6, true);
    row("below one", "0.5", 0.5, true);
    row("no grouping", "1234567.5", 1234567.5, true);
    row("large", "1e+300", 1e300, true);
    row("small", "1e-07", 1e-7, true);
    row("largest double at 15 digits", "1.79769313486232e+308", largest, true);
    row("second period ends the number", "6.55.957", 6.55, false);
    row("empty", "", 0, false);
    row("comma ends the number", "6,5", 6, false);
    row("blanks ignored", " 1 9 . 6 ", 19.6, false);
    row("exponent without digits", "1e+", 1, false);
    row("underflow is 0", "1e-400", 0, false);
    row("beyond the double range", "1e309", 0, false, false);
    row("just beyond the largest double", "1.797693134862325e308", 0, false, false);
}

void TestConversion::fieldTexts()
{
    QFETCH(std::string, text);
    QFETCH(bool, inRange);
    QFETCH(double, number);
    QFETCH(bool, written);
    const auto read = NumberOfFieldText(text);
    QCOMPARE(read.has_value(), inRange);
    if (inRange)
        QCOMPARE(exact(*read), exact(number));
    if (written)
        QCOMPARE(FieldTextOfNumber(number), text);
}

void TestConversion::fieldFilter()
{
    const std::u32string accepted = U"\b0123456789.";
    for (char32_t c = 0; c < 0x3000; ++c) {
        if (AcceptFieldCharacter(c) != (accepted.find(c) != std::u32string::npos))
            QFAIL(qPrintable(QStringLiteral("filter wrong on code %1").arg(uint(c))));
    }
}

void TestConversion::dialog_data()
{
    QTest::addColumn<int>("format"); // at opening, with the rate 6.55957 and the VAT 19.6
    QTest::addColumn<int>("option"); // N of the OptionN selected at opening, 0 for none
    QTest::addColumn<std::string>("clicks"); // 1 to 4: OptionN, O: OK, A: "&Annuler", S: "&Sauver"
    QTest::addColumn<std::string>("text1");
    QTest::addColumn<std::string>("text2");
    QTest::addColumn<SettingsFileValues>("settings"); // after the clicks
    QTest::addColumn<std::string>("file");
    QTest::addColumn<std::string>("shown"); // OK's outcome, then what the host saw
    const auto row = [](const char *name, int format, int option, const char *clicks,
                         const char *text1, const char *text2, SettingsFileValues settings,
                         const std::string &file = noFile, const char *shown = "") {
        QTest::newRow(name) << format << option << std::string(clicks) << std::string(text1)
                            << std::string(text2) << settings << file << std::string(shown);
    };
    const SettingsFileValues opening{6.55957, 2, 19.6};
    row("format 0 selects option 4", 0, 4, "", "", "", {6.55957, 0, 19.6});
    row("format 7 selects none, OK keeps it", 7, 0, "O", "6.55957", "19.6", {6.55957, 7, 19.6},
        noFile, "close");
    row("format -1 selects none", -1, 0, "", "", "", {6.55957, -1, 19.6});
    row("OK applies both fields", 2, 1, "O", "7.5", "5.5", {7.5, 2, 5.5}, noFile, "close");
    row("OK with a second period", 2, 1, "O", "6.55.957", "19.6", {6.55, 2, 19.6}, noFile, "close");
    row("OK with the VAT emptied", 2, 1, "O", "6.55957", "", {6.55957, 2, 0}, noFile, "close");
    row("OK with the rate beyond range", 2, 1, "O", "1e999", "5", opening, noFile, "open");
    row("OK with the VAT beyond range", 2, 1, "O", "7", "1e999", opening, noFile, "open");
    row("option 1 sets format 2 at once", 3, 2, "1", "", "", {6.55957, 2, 19.6});
    row("option 2 sets format 3 at once", 4, 3, "2", "", "", {6.55957, 3, 19.6});
    row("option 4 sets format 0 at once", 2, 1, "4", "", "", {6.55957, 0, 19.6});
    row("option 3, then the close box", 2, 1, "3", "7", "5", {6.55957, 4, 19.6});
    row("option 3, then cancel", 2, 1, "3A", "7", "5", opening);
    row("save, then cancel", 2, 1, "3SA", "7", "5", opening, "7\r\n4\r\n5\r\n");
    row("save stays open with the values", 2, 1, "S", "0.5", "5", {0.5, 2, 5}, "0.5\r\n2\r\n5\r\n");
    row("save with a field beyond range", 2, 1, "S", "7", "1e999", opening, noFile, "S(0,) ");
}

void TestConversion::dialog()
{
    QFETCH(int, format);
    QFETCH(int, option);
    QFETCH(std::string, clicks);
    QFETCH(std::string, text1);
    QFETCH(std::string, text2);
    QFETCH(SettingsFileValues, settings);
    QFETCH(std::string, file);
    QFETCH(std::string, shown);
    Folder folder;
    Settings running = settingsIn(folder);
    running.ConversionRate = 6.55957;
    running.VatRate = 19.6;
    running.ResultFormat = static_cast<std::int16_t>(format);
    const form1::Fields fields = form1::Form1_Load(running);
    QCOMPARE(fields.Text1, std::string("6.55957"));
    QCOMPARE(fields.Text2, std::string("19.6"));
    QCOMPARE(fields.option.value_or(0), option);
    PosixFileSystem files;
    FakeWindow host;
    const std::array options{
        form1::Option1_Click, form1::Option2_Click, form1::Option3_Click, form1::Option4_Click};
    std::string outcome;
    for (char click : clicks) {
        if (click == 'O') {
            const auto step = form1::Command1_Click(running, text1, text2);
            outcome += step == form1::DialogStep::Close ? "close" : "open";
        }
        if (click == 'A')
            form1::Command2_Click(running);
        if (click == 'S')
            form1::Command3_Click(running, text1, text2, files, host);
        if (click >= '1' && click <= '4')
            options[std::size_t(click - '1')](running);
    }
    outcome += host.events;
    QCOMPARE(outcome, shown);
    compareValues(running, settings);
    QCOMPARE(folder.read(), file);
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
