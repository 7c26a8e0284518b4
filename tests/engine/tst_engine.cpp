// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/readout.h"
#include "tests/support/fake_window.h"

#include <QTest>
#include <limits>

using namespace korvex;

Q_DECLARE_METATYPE(std::string)

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void frenchLocaleIsInEffect() { korvex::frenchLocaleIsInEffect(); }
    void numberToText_data();
    void numberToText();
    void textToNumber_data();
    void textToNumber();
    void keySequences_data();
    void keySequences();
    void stateTags_data();
    void stateTags();
    void fromSituation_data();
    void fromSituation();
    void messageShowsTheStateOfItsMoment_data();
    void messageShowsTheStateOfItsMoment();
    void clearKeepsLabelUntouchedOnlyWhereItShould();
    void overflowChainResetsTheCalculator();
    void underflowIsShownAsZero();
};

void TestEngine::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::string>("text");
    QTest::newRow("integer") << 5.0 << std::string("5");
    QTest::newRow("negative integer") << -8.0 << std::string("-8");
    QTest::newRow("fraction") << 3.75 << std::string("3,75");
    QTest::newRow("one third") << 1.0 / 3 << std::string("0,333333333333333");
    QTest::newRow("two thirds rounds up") << 2.0 / 3 << std::string("0,666666666666667");
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << std::string("0,3");
    QTest::newRow("smallest plain") << 0.0001 << std::string("0,0001");
    QTest::newRow("largest exponent below") << 0.00001 << std::string("1E-05");
    QTest::newRow("ten to the fifteen") << 1e15 << std::string("1E+15");
    QTest::newRow("fifteen nines") << 1e15 - 1 << std::string("999999999999999");
    QTest::newRow("sixteen digits") << 1234567890123456.0 << std::string("1,23456789012346E+15");
    QTest::newRow("negative zero") << -0.0 << std::string("0");
    QTest::newRow("largest double")
        << std::numeric_limits<double>::max() << std::string("1,79769313486232E+308");
    QTest::newRow("smallest subnormal")
        << std::numeric_limits<double>::denorm_min() << std::string("4,94065645841247E-324");
    QTest::newRow("negative exponent form") << -1.5e-7 << std::string("-1,5E-07");
    QTest::newRow("three digit exponent") << 1e200 << std::string("1E+200");
    QTest::newRow("rounding carries into the exponent")
        << 999999999999999.5 << std::string("1E+15");
    QTest::newRow("negative rounded at fifteen digits")
        << -2.0 / 3 << std::string("-0,666666666666667");
    QTest::newRow("two to the sixtieth")
        << 1152921504606846976.0 << std::string("1,15292150460685E+18");
    QTest::newRow("tiny rounded at fifteen digits")
        << 1.23456789012345678e-200 << std::string("1,23456789012346E-200");
    QTest::newRow("tiny negative") << -1e-300 << std::string("-1E-300");
    QTest::newRow("smallest normal double")
        << std::numeric_limits<double>::min() << std::string("2,2250738585072E-308");
}

void TestEngine::numberToText()
{
    QFETCH(double, value);
    QFETCH(std::string, text);
    QCOMPARE(NumberToText(value), text);
}

void TestEngine::textToNumber_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<double>("value");
    const double largest = std::numeric_limits<double>::max();
    QTest::newRow("typed integer") << std::string("12,") << true << 12.0;
    QTest::newRow("start text") << std::string("0,") << true << 0.0;
    QTest::newRow("negative typed") << std::string("-4,") << true << -4.0;
    QTest::newRow("decimal") << std::string("-0,25") << true << -0.25;
    QTest::newRow("leading zeros") << std::string("007,5") << true << 7.5;
    QTest::newRow("comma first") << std::string(",5") << true << 0.5;
    QTest::newRow("exponent") << std::string("1,5E+20") << true << 1.5e20;
    QTest::newRow("lower case exponent") << std::string("2e-3") << true << 0.002;
    QTest::newRow("grouped with space") << std::string("1 234 567,50") << true << 1234567.5;
    QTest::newRow("grouped with no-break space")
        << std::string("152\u00a0449,02") << true << 152449.02;
    QTest::newRow("grouped with narrow no-break space")
        << std::string("-1\u202f000,000") << true << -1000.0;
    QTest::newRow("largest double as written")
        << std::string("1,79769313486232E+308") << true << largest;
    QTest::newRow("negative largest double")
        << std::string("-1,79769313486232E+308") << true << -largest;
    QTest::newRow("just below the 15-digit half")
        << std::string("1,797693134862324999E+308") << true << largest;
    QTest::newRow("just above the largest double")
        << std::string("1,7976931348623159E+308") << true << largest;
    QTest::newRow("subnormal") << std::string("1E-310") << true << 1e-310;
    QTest::newRow("below the smallest subnormal") << std::string("1E-400") << true << 0.0;
    QTest::newRow("huge negative exponent")
        << std::string("5E-99999999999999999999") << true << 0.0;
    QTest::newRow("empty") << std::string() << false << 0.0;
    QTest::newRow("lone minus") << std::string("-") << false << 0.0;
    QTest::newRow("lone comma") << std::string(",") << false << 0.0;
    QTest::newRow("letters") << std::string("abc") << false << 0.0;
    QTest::newRow("infinity") << std::string("inf") << false << 0.0;
    QTest::newRow("infinity spelled out") << std::string("infinity") << false << 0.0;
    QTest::newRow("not a number") << std::string("nan") << false << 0.0;
    QTest::newRow("hexadecimal") << std::string("0x10") << false << 0.0;
    QTest::newRow("exponent without digits") << std::string("1e") << false << 0.0;
    QTest::newRow("exponent sign without digits") << std::string("1E+") << false << 0.0;
    QTest::newRow("point separator") << std::string("1.5") << false << 0.0;
    QTest::newRow("two commas") << std::string("1,2,3") << false << 0.0;
    QTest::newRow("leading blank") << std::string(" 12") << true << 12.0;
    QTest::newRow("trailing blank") << std::string("12,5 ") << true << 12.5;
    QTest::newRow("line break of a copied cell") << std::string("12,5\r\n") << true << 12.5;
    QTest::newRow("tab and no-break spaces around")
        << std::string("\t\u00a0-3\u202f") << true << -3.0;
    QTest::newRow("amount in euros") << std::string("1 234,56 \u20ac") << true << 1234.56;
    QTest::newRow("euro sign right after") << std::string("7\u20ac\n") << true << 7.0;
    QTest::newRow("two euro signs") << std::string("7 \u20ac\u20ac") << false << 0.0;
    QTest::newRow("euro sign alone") << std::string(" \u20ac ") << false << 0.0;
    QTest::newRow("euro sign first") << std::string("\u20ac 7") << false << 0.0;
    QTest::newRow("blanks alone") << std::string(" \n") << false << 0.0;
    QTest::newRow("point with blanks") << std::string(" 1.234 ") << false << 0.0;
    QTest::newRow("line break inside") << std::string("1\n2") << false << 0.0;
    QTest::newRow("long zeros made up by the exponent")
        << "0," + std::string(100000, '0') + "1E+100010" << true << 1e9;
    QTest::newRow("a far digit past a halfway point rounds up")
        << "9007199254740993," + std::string(2000, '0') + "1" << true << 9007199254740994.0;
    QTest::newRow("long integer overflows") << std::string(100000, '1') << false << 0.0;
    QTest::newRow("double separator") << std::string("1  234") << false << 0.0;
    QTest::newRow("beyond the largest double")
        << std::string("1,797693134862325E+308") << false << 0.0;
    QTest::newRow("overflow") << std::string("1E+309") << false << 0.0;
    QTest::newRow("many digits overflow") << std::string(400, '9') << false << 0.0;
    QTest::newRow("unit text") << std::string("12 Francs") << false << 0.0;
}

void TestEngine::textToNumber()
{
    QFETCH(std::string, text);
    QFETCH(bool, reads);
    QFETCH(double, value);
    const auto number = TextToNumber(text);
    QCOMPARE(number.has_value(), reads);
    // Exactly, not within QCOMPARE's tolerance: a reading is correctly rounded or it is wrong.
    if (reads)
        QVERIFY2(*number == value, NumberToText(*number).c_str());
}

void TestEngine::keySequences_data()
{
    QTest::addColumn<std::string>("keys");
    QTest::addColumn<std::string>("readout");
    QTest::addColumn<std::string>("messages"); // O: "Dépacement de capacité !", D: division
    const auto row = [](const char *name, const std::string &keys, const char *readout,
                         const char *messages = "") {
        QTest::newRow(name) << keys << std::string(readout) << std::string(messages);
    };
    row("new number", "7", "7,");
    row("digits go before the comma", "789", "789,");
    row("leading zero kept", "07", "07,");
    row("comma switches to decimals", "1,5", "1,5");
    row("comma first starts with zero", ",5", "0,5");
    row("second comma changes nothing", "1,,5", "1,5");
    row("sign change drops the comma", "12N", "-12");
    row("digit after sign change fails", "12N3", "-12", "O");
    row("comma after sign change adds none", "12N,3", "-123");
    row("sign change of a decimal", "1,5N", "-1,5");
    row("decimals continue after sign change", "1,5N2", "-1,52");
    row("sign changed twice", "12NN", "12");
    row("negative zero has no sign", "0N", "0");
    row("backspace removes the comma", "12<", "12");
    row("digit after backspaced comma fails", "12<3", "12", "O");
    row("backspace in decimals", "1,5<7", "1,7");
    row("decimal mode survives backspace", "1,<7", "17");
    row("backspace to empty resets", "5<<", "0,");
    row("addition", "2+3=", "5");
    row("equals does not repeat", "2+3==", "5");
    row("left to right", "2+3X4=", "20");
    row("second operator replaces the first", "2+X3=", "6");
    row("nothing to subtract", "5-=", "5,");
    row("minus begins a negative number", "-4X2=", "-8");
    row("minus after times", "5X-3=", "-15");
    row("minus after plus", "5+-3=", "2");
    row("minus minus", "5--3=", "8");
    row("second leading minus changes nothing", "--5", "-5,");
    row("second leading minus shows no second sign", "--", "-0,");
    row("minus after equals subtracts", "2+3=-4=", "1");
    row("plus after equals continues", "2+3=+4=", "9");
    row("new number replaces the result", "2+3=7=", "7");
    row("digit after equals", "2+3=4", "4,");
    row("decimals", "1,5+2,25=", "3,75");
    row("one third", "1/3=", "0,333333333333333");
    row("division by zero", "8/0=", "8,", "D");
    row("division abandoned", "8/0=2=", "2", "D");
    row("percent shows the percentage", "200X5%", "0,05");
    row("percent of a product", "200X5%=", "10");
    row("percent drops the pending plus", "200+5%=", "10");
    row("percent first", "50%X4=", "2");
    row("count three computes nothing", "200X5%3=", "3,");
    row("still nothing until clear", "200X5%3=+2=", "2,");
    row("lone minus as operand resets", "5X--3=", "0,", "O");
    row("clear entry as first operand", "5+E=", "0,");
    row("equals first only becomes pending", "=5+1=", "6");
    row("plus first", "+5=", "5,");
    row("percent uses the cleared first operand", "50%3=", "0");
    row("second percent divides again", "9%%", "0,0009");
    row("minus chain", "5+-3-2=", "0");
    row("clear entry keeps the operation", "5+3E4=", "9");
    row("percent on start text", "%", "0");
    row("equals alone", "=", "0,");
    row("clear after a calculation", "2+3=C", "0,");
    row("divide by typed zero decimal", "6/0,0=", "6,", "D");
    row("division continues after its message", "8/0+2=", "10", "D");
    // What C and its load step reset, each seen through the next keys.
    row("clear resets the first operand", "2+3=C50%3=", "0");
    row("clear resets the operand count", "200X5%3=C2+3=", "5");
    row("clear ends the number being typed", "12C3", "3,");
    row("divisor zero begun with a minus", "8/-0=", "8,", "D");
    row("divisor zero with its sign changed", "8/0N=", "8,", "D");
    row("digit after clear entry", "5+3E4", "4,");
    row("comma after clear entry", "5+3E,5=", "5,5");
    row("backspace after clear entry", "5+3E<", "0");
    // Each percent counts an operand: the count may reach 32767, never 32768.
    const std::string percents(32766, '%');
    row("32766 percents", percents, "0");
    row("the 32767th percent", percents + "%", "0");
    // Its trap keeps the steps already done: the percentage is shown.
    row("the 32768th percent fails", percents + "%5%", "0,05", "O");
    row("operator bringing the count to 32766", percents.substr(1) + "5+", "5,");
    row("operator bringing the count to 32767", percents + "5+", "5,");
    row("operator bringing the count to 32768 fails", percents + "%5+", "0,", "O");
}

void TestEngine::keySequences()
{
    QFETCH(std::string, keys);
    QFETCH(std::string, readout);
    QFETCH(std::string, messages);
    FakeWindow w;
    w.press(keys);
    QCOMPARE(w.state.readout, readout);
    QCOMPARE(w.messages, messages);
    // Every action, failed or not, hands the focus back to "=" as its last step.
    QCOMPARE(w.focusMoves, int(keys.size()));
    QVERIFY(w.events.ends_with("focus "));
}

void TestEngine::stateTags_data()
{
    QTest::addColumn<std::string>("keys");
    QTest::addColumn<std::string>("inputState");
    QTest::addColumn<std::string>("pending");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("decimal");
    const auto row = [](const char *name, const char *keys, const char *tag, const char *pending,
                         int count, bool decimal) {
        QTest::newRow(name) << std::string(keys) << std::string(tag) << std::string(pending)
                            << count << decimal;
    };
    row("after clear", "", "NONE", " ", 0, false);
    row("equals alone", "=", "OPS", "=", 0, false);
    row("percent on start text", "%", "Ops", "%", 1, true);
    row("leading minus", "-", "NEG", " ", 0, false);
    row("sign change", "12N", "NUMS", " ", 0, false);
    row("sign change in decimals", "1,5N", "NUMS", " ", 0, true);
    row("after division by zero", "8/0=", "OPS", "=", 1, false);
    row("after the operator trap", "5X--3=", "NONE", " ", 0, false);
    row("count three", "200X5%3=", "OPS", "=", 3, false);
    row("clear entry", "5+E", "CE", "+", 1, false);
    row("backspace to empty", "5<<", "NONE", " ", 0, false);
    row("backspace of a result loses the operation", "2+3=<", "NONE", " ", 0, false);
    row("backspace of a lone minus", "5X-<", "NONE", " ", 0, false);
    row("minus after times keeps it pending", "5X-", "NEG", "X", 1, false);
    row("result", "2+3=", "OPS", "=", 1, false);
    row("percent after operand", "200X5%", "Ops", "%", 2, true);
}

void TestEngine::stateTags()
{
    QFETCH(std::string, keys);
    QFETCH(std::string, inputState);
    QFETCH(std::string, pending);
    QFETCH(int, count);
    QFETCH(bool, decimal);
    FakeWindow w;
    w.press(keys);
    QCOMPARE(w.state.InputState, inputState);
    QCOMPARE(w.state.PendingOperator, pending);
    QCOMPARE(int(w.state.OperandCount), count);
    QCOMPARE(w.state.DecimalEntered, decimal);
    QVERIFY(w.state.label1.empty());
}

void TestEngine::fromSituation_data()
{
    QTest::addColumn<std::string>("before");
    QTest::addColumn<std::string>("inputState");
    QTest::addColumn<bool>("decimal");
    QTest::addColumn<std::string>("keys");
    QTest::addColumn<std::string>("readout");
    QTest::addColumn<std::string>("messages");
    QTest::addColumn<int>("loadSteps");
    const auto row = [](const char *name, const char *before, const char *tag, bool decimal,
                         const char *keys, const char *readout, const char *messages, int loads) {
        QTest::newRow(name) << std::string(before) << std::string(tag) << decimal
                            << std::string(keys) << std::string(readout) << std::string(messages)
                            << loads;
    };
    row("negative number begun", "-", "NEG", false, "42", "-42,", "", 0);
    row("negative number begun with comma", "-", "NEG", false, ",5", "-0,5", "", 0);
    row("negative start text", "-0,", "NEG", false, "42", "-42,", "", 0);
    row("pi in integer mode", "3,14159265358979", "NUMS", false, "7", "37,", "", 0);
    row("pi in decimal mode", "3,14159265358979", "NUMS", true, "7", "3,141592653589797", "", 0);
    row("lone minus backspaced", "-", "NEG", false, "<", "0,", "", 1);
    row("empty paste then digit", "", "NUMS", false, "5", "", "O", 0);
    row("empty paste then backspace", "", "NUMS", false, "<", "", "", 0);
    row("backspace removes a whole euro sign", "12€", "NUMS", false, "<", "12", "", 0);
    row("backspace removes a whole accented letter", "é", "NUMS", false, "<", "0,", "", 1);
    row("sign change of a lone minus", "-", "NEG", false, "N", "-", "O", 0);
    row("sign change of pasted text", "abc", "NUMS", false, "N", "abc", "O", 0);
    row("sign change of a grouped result", "1 234,50", "NUMS", false, "N", "-1234,5", "", 0);
    row("percent of pasted text", "abc", "NUMS", false, "%", "abc", "O", 0);
    row("pasted text as first operand resets", "abc", "NUMS", false, "+1=", "0,", "O", 1);
    row("pasted text as operator input is kept", "abc", "NUMS", false, "+", "abc", "", 0);
}

void TestEngine::fromSituation()
{
    QFETCH(std::string, before);
    QFETCH(std::string, inputState);
    QFETCH(bool, decimal);
    QFETCH(std::string, keys);
    QFETCH(std::string, readout);
    QFETCH(std::string, messages);
    QFETCH(int, loadSteps);
    FakeWindow w;
    w.state.readout = before;
    w.state.InputState = inputState;
    w.state.DecimalEntered = decimal;
    w.press(keys);
    QCOMPARE(w.state.readout, readout);
    QCOMPARE(w.messages, messages);
    QCOMPARE(int(std::count(w.events.begin(), w.events.end(), 'l')), loadSteps);
}

void TestEngine::messageShowsTheStateOfItsMoment_data()
{
    QTest::addColumn<std::string>("keys");
    QTest::addColumn<std::string>("events");
    QTest::newRow("division by zero shows the divisor, then the first operand")
        << std::string("8/0=") << std::string("focus focus focus D(0,) focus ");
    QTest::newRow("operator trap: message before the reset")
        << std::string("5X--3=") << std::string("focus focus focus focus focus O(-3,) load focus ");
    QTest::newRow("digit trap keeps the readout")
        << std::string("1N2") << std::string("focus focus O(-1) focus ");
    QTest::newRow("clear runs the load step before the focus")
        << std::string("5C") << std::string("focus load focus ");
}

void TestEngine::messageShowsTheStateOfItsMoment()
{
    QFETCH(std::string, keys);
    QFETCH(std::string, events);
    FakeWindow w;
    w.press(keys);
    QCOMPARE(w.events, events);
}

void TestEngine::clearKeepsLabelUntouchedOnlyWhereItShould()
{
    // "+/-" and backspace leave the status label; every other engine button clears it.
    for (char key : std::string("0,+%CEN<")) {
        FakeWindow w;
        w.press("12");
        w.state.label1 = " Francs ";
        w.press({&key, 1});
        QCOMPARE(w.state.label1.empty(), key != 'N' && key != '<');
    }
}

void TestEngine::overflowChainResetsTheCalculator()
{
    const std::string n(100, '9');
    FakeWindow w;
    w.press(n + "X" + n + "X" + n + "X" + n + "=");
    QCOMPARE(w.messages, std::string("O"));
    QCOMPARE(w.state.readout, std::string("0,"));
    QCOMPARE(int(w.state.OperandCount), 0);
    QCOMPARE(w.state.InputState, std::string("NONE"));
    QCOMPARE(w.state.PendingOperator, std::string(" "));
    // The operands are not cleared by the trap: FirstOperand keeps the last good product.
    QCOMPARE(OperandToText(w.state.FirstOperand), std::string("1E+300"));
}

void TestEngine::underflowIsShownAsZero()
{
    FakeWindow w;
    for (const char *key : {"X", "="}) {
        w.state.readout = "1E-200"; // as a paste leaves it
        w.state.InputState = "NUMS";
        w.press(key);
    }
    QCOMPARE(w.state.readout, std::string("0"));
    QVERIFY(w.messages.empty());
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
