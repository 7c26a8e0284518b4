// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/memory_register.h"
#include "tests/support/fake_window.h"

#include <QTest>
#include <regex>

using namespace korvex;

namespace {

std::string describe(const Operand &operand)
{
    if (const auto *text = std::get_if<std::string>(&operand))
        return "text " + *text;
    if (const auto *number = std::get_if<double>(&operand))
        return "number " + OperandToText(*number);
    return "empty";
}

const std::string tooltipStart = "Rappelle la mémoire M = ";

} // namespace

Q_DECLARE_METATYPE(std::string)

class TestFunctions : public QObject
{
    Q_OBJECT

private slots:
    void frenchLocaleIsInEffect() { korvex::frenchLocaleIsInEffect(); }
    void functionKeys_data();
    void functionKeys();
    void trigonometricResidues_data();
    void trigonometricResidues();
    void insideACalculation_data();
    void insideACalculation();
    void pointNotation_data();
    void pointNotation();
    void memory_data();
    void memory();
};

void TestFunctions::functionKeys_data()
{
    QTest::addColumn<std::string>("before");
    QTest::addColumn<char>("key");
    QTest::addColumn<std::string>("readout");
    QTest::addColumn<char>("message"); // E "Erreur : Débordement", D "Division par zéro.", or 0
    QTest::addColumn<bool>("nums"); // InputState becomes "NUMS"; otherwise it stays "OPS"
    const auto row = [](const char *name, const char *before, char key, const char *readout,
                         char message, bool nums) {
        QTest::newRow(name) << std::string(before) << key << std::string(readout) << message
                            << nums;
    };
    row("square of a decimal", "12,5", 'x', "156,25", 0, false);
    row("square of the start text", "0,", 'x', "0", 0, false);
    row("square of a grouped result", "1 000,00", 'x', "1000000", 0, false);
    row("square beyond the double range", "1E+200", 'x', "1E+200", 'E', false);
    row("square of the largest double", "1,79769313486232E+308", 'x', "1,79769313486232E+308", 'E',
        false);
    row("square too small becomes zero", "1E-200", 'x', "0", 0, false);
    row("square root of two", "2", 'v', "1,4142135623731", 0, false);
    row("square root of a negative", "-4", 'v', "-4", 'E', false);
    row("square root of negative zero", "-0,", 'v', "0", 0, false);
    row("inverse of four", "4", 'i', "0,25", 0, false);
    row("inverse of three", "3", 'i', "0,333333333333333", 0, false);
    row("inverse of zero", "0,", 'i', "0,", 'D', false);
    row("inverse of negative zero", "-0,", 'i', "-0,", 'D', false);
    row("inverse of a subnormal overflows", "1E-310", 'i', "1E-310", 'E', false);
    row("pi over text", "abc", 'p', "3,14159265358979", 0, true);
    row("sine of thirty", "30", 's', "0,5", 0, true);
    row("sine of ninety", "90", 's', "1", 0, true);
    row("sine of a negative angle", "-30", 's', "-0,5", 0, true);
    row("tangent of forty-five", "45", 't', "0,999999999999998", 0, true);
    row("cosine of sixty", "60", 'o', "0,500000000000001", 0, true);
    row("degree conversion overflows", "1E+308", 's', "1E+308", 'E', false);
    row("square of text", "abc", 'x', "abc", 'E', false);
    row("square root of the empty text", "", 'v', "", 'E', false);
    row("inverse of a lone minus", "-", 'i', "-", 'E', false);
    row("sine of text", "12 Francs", 's', "12 Francs", 'E', false);
    row("cosine of text", "abc", 'o', "abc", 'E', false);
    row("tangent of text", "1.5", 't', "1.5", 'E', false);
}

// Starts inside a calculation that the functions must leave alone: 2 + pending, with a status
// label that only pi keeps.
void TestFunctions::functionKeys()
{
    QFETCH(std::string, before);
    QFETCH(char, key);
    QFETCH(std::string, readout);
    QFETCH(char, message);
    QFETCH(bool, nums);
    FakeWindow w;
    w.state = {before, " Francs ", std::string("2,"), 3.0, true, 1, "OPS", "+", "2,"};
    w.press({&key, 1});
    QCOMPARE(w.state.readout, readout);
    // The message shows the readout as it was, and the focus moves once, after it.
    const std::string shown = message ? message + ("(" + before + ") ") : "";
    QCOMPARE(w.events, shown + "focus ");
    QCOMPARE(w.state.InputState, std::string(nums ? "NUMS" : "OPS"));
    QCOMPARE(w.state.label1, std::string(key == 'p' ? " Francs " : ""));
}

// The pi constant is short of pi, so results near zero or a pole are not cleaned up; only their
// order of magnitude is certain across mathematical libraries.
void TestFunctions::trigonometricResidues_data()
{
    QTest::addColumn<std::string>("before");
    QTest::addColumn<char>("key");
    QTest::addColumn<std::string>("pattern");
    QTest::newRow("cosine of ninety") << std::string("90") << 'o' << std::string("1,6\\d+E-15");
    QTest::newRow("sine of one eighty") << std::string("180") << 's' << std::string("3,2\\d+E-15");
    QTest::newRow("tangent of ninety, fifteen digits")
        << std::string("90") << 't' << std::string("6[12]\\d{13}");
    QTest::newRow("tangent of minus ninety")
        << std::string("-90") << 't' << std::string("-6[12]\\d{13}");
}

void TestFunctions::trigonometricResidues()
{
    QFETCH(std::string, before);
    QFETCH(char, key);
    QFETCH(std::string, pattern);
    FakeWindow w;
    w.state.readout = before;
    w.press({&key, 1});
    QVERIFY2(std::regex_match(w.state.readout, std::regex(pattern)), w.state.readout.c_str());
    QCOMPARE(w.messages, std::string());
    QCOMPARE(w.state.InputState, std::string("NUMS"));
}

void TestFunctions::insideACalculation_data()
{
    QTest::addColumn<std::string>("keys");
    QTest::addColumn<std::string>("readout");
    QTest::addColumn<std::string>("messages");
    const auto row = [](const char *name, const char *keys, const char *readout,
                         const char *messages = "") {
        QTest::newRow(name) << std::string(keys) << std::string(readout) << std::string(messages);
    };
    row("square root between operator and equals", "2+9v=", "5");
    row("square after an operator is no new operand", "9+x=", "81");
    row("sine after an operator is a new operand", "90+s=", "91");
    row("pi as the second operand", "2Xp=", "6,28318530717958");
    row("failed root keeps the pending addition", "5+3Nv=", "2", "E(-3)");
    row("inverse of zero keeps the pending addition", "5+0i=", "5", "D(0,)");
    row("decimals continue after a square", "1,5x5", "2,255");
    row("digit after the root of a typed integer", "16v5", "4", "O(4)");
    row("recalled memory is the second operand", "5aC7+r=", "12");
    row("recalled typed number goes on being typed", "12mCr3", "123,");
    row("zero memory recalls nothing", "0,mC7+r=", "7,");
    // Pi sets "NUMS" without touching decimal mode: only the clear buttons end it.
    row("clear ends decimal mode", "1,5Cp7", "37,");
    row("clear entry ends decimal mode", "1,5Ep7", "37,");
    row("percent starts decimal mode", "5%p7", "3,141592653589797");
}

void TestFunctions::insideACalculation()
{
    QFETCH(std::string, keys);
    QFETCH(std::string, readout);
    QFETCH(std::string, messages);
    FakeWindow w;
    w.press(keys);
    QCOMPARE(w.state.readout, readout);
    QCOMPARE(w.shown, messages);
    QCOMPARE(w.focusMoves, int(keys.size()));
}

void TestFunctions::pointNotation_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::string>("text");
    QTest::newRow("zero") << 0.0 << std::string(" 0");
    QTest::newRow("negative zero") << -0.0 << std::string(" 0");
    QTest::newRow("decimal") << 12.5 << std::string(" 12.5");
    QTest::newRow("negative integer") << -3.0 << std::string("-3");
    QTest::newRow("leading zero") << 0.5 << std::string(" 0.5");
    QTest::newRow("fifteen digits") << 1.0 / 3 << std::string(" 0.333333333333333");
    QTest::newRow("fifteen nines") << 1e15 - 1 << std::string(" 999999999999999");
    QTest::newRow("large") << 1e20 << std::string(" 1E+20");
    QTest::newRow("sixteen digits") << 1234567890123456.0 << std::string(" 1.23456789012346E+15");
    QTest::newRow("small") << 0.00001 << std::string(" 1E-05");
    QTest::newRow("negative small") << -1.5e-7 << std::string("-1.5E-07");
}

void TestFunctions::pointNotation()
{
    QFETCH(double, value);
    QFETCH(std::string, text);
    QCOMPARE(PointNotation(value), text);
}

void TestFunctions::memory_data()
{
    QTest::addColumn<std::string>("steps"); // "m=12,5" sets the readout to 12,5, then presses MS
    QTest::addColumn<std::string>("indicator");
    QTest::addColumn<std::string>("tooltip");
    QTest::addColumn<std::string>("content");
    QTest::addColumn<std::string>("messages");
    QTest::addColumn<std::string>("recalled"); // MR over a readout of 7,
    const auto row = [](const char *name, const char *steps, const char *indicator,
                         const std::string &tooltip, const char *content, const char *messages,
                         const char *recalled) {
        QTest::newRow(name) << std::string(steps) << std::string(indicator) << tooltip
                            << std::string(content) << std::string(messages)
                            << std::string(recalled);
    };
    const std::string &t = tooltipStart;
    row("at start", "", "", "Rappelle la mémoire M =  0", "empty", "", "7,");
    row("store a decimal", "m=12,5", "M", t + " 12.5", "text 12,5", "", "12,5");
    row("store a typed number", "m=12,", "M", t + " 12", "text 12,", "", "12,");
    row("store a grouped result", "m=1 234,50", "M", t + " 1234.5", "text 1 234,50", "",
        "1 234,50");
    row("add to a stored text", "m=12,5;a=2,5", "M", t + " 15", "number 15", "", "15");
    row("add a negative to empty memory", "a=-3", "M", "Rappelle la mémoire M = -3", "number -3",
        "", "-3");
    row("store zero", "m=0,", "M", t + " 0", "text 0,", "", "7,");
    row("sum back to zero", "a=5;a=-5", "M", t + " 0", "number 0", "", "7,");
    row("negative zero sum", "m=-0,;a=-0,", "M", t + " 0", "number 0", "", "7,");
    row("clear after a store", "m=12,5;c", "", t + " 0", "number 0", "", "7,");
    row("add after a clear", "m=9;c;a=2", "M", t + " 2", "number 2", "", "2");
    row("large sum", "a=1E+20", "M", t + " 1E+20", "number 1E+20", "", "1E+20");
    row("store text", "m=abc", "M", t + " 0", "text abc", "", "7,");
    row("add to stored text", "m=abc;a=4", "M", t + " 4", "number 4", "", "4");
    row("add text", "m=2;a=abc", "M", t + " 2", "text 2", "E(abc)", "2");
    row("add text to empty memory", "a=abc", "", t + " 0", "empty", "E(abc)", "7,");
    row("add text after a clear", "a=1;c;a=", "", t + " 0", "number 0", "E()", "7,");
    row("sum beyond the double range", "a=1E+308;a=1E+308", "M", t + " 1E+308", "number 1E+308",
        "E(1E+308)", "1E+308");
}

void TestFunctions::memory()
{
    QFETCH(std::string, steps);
    QFETCH(std::string, indicator);
    QFETCH(std::string, tooltip);
    QFETCH(std::string, content);
    QFETCH(std::string, messages);
    QFETCH(std::string, recalled);
    FakeWindow w;
    w.state = {"0,", " Francs ", std::string("2,"), 3.0, true, 1, "OPS", "+", "2,"};
    int presses = 0;
    for (std::size_t start = 0; start < steps.size(); ++presses) {
        const std::size_t end = std::min(steps.find(';', start), steps.size());
        if (end > start + 1)
            w.state.readout = steps.substr(start + 2, end - start - 2);
        w.press(steps.substr(start, 1));
        start = end + 1;
    }
    QCOMPARE(w.memory.indicator, indicator);
    QCOMPARE(w.memory.tooltip, tooltip);
    QCOMPARE(describe(w.memory.MemoryValue), content);
    QCOMPARE(w.shown, messages);
    w.state.readout = "7,";
    w.state.InputState = "OPS";
    w.press("r");
    QCOMPARE(w.state.readout, recalled);
    QCOMPARE(w.state.InputState, std::string(recalled == "7," ? "OPS" : "NUMS"));
    QCOMPARE(w.focusMoves, presses + 1);
    QVERIFY(w.events.ends_with("focus "));
    QCOMPARE(w.state.label1, std::string(" Francs ")); // the memory keys leave the status label
}

QTEST_GUILESS_MAIN(TestFunctions)
#include "tst_functions.moc"
