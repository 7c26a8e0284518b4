// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_window.h"

#include <QTest>
#include <string>

using namespace korvex;

Q_DECLARE_METATYPE(std::string)

class TestTape : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void keepsTheLastThousand();
};

void TestTape::entries_data()
{
    QTest::addColumn<std::string>("keys");
    QTest::addColumn<std::string>("tape");
    const auto row = [](const char *name, const char *keys, const char *tape) {
        QTest::newRow(name) << std::string(keys) << std::string(tape);
    };
    row("an operation completed by equals", "12,5X2=", "12,5 X 2 = 25");
    row("a chain writes each step", "2+3X4=", "2 + 3 = 5|5 X 4 = 20");
    row("an operator pressed twice writes nothing", "2+X3=", "2 X 3 = 6");
    row("equals with nothing pending writes nothing", "5==", "");
    row("a second equals does not repeat", "2+3==", "2 + 3 = 5");
    row("a number after equals replaces the result silently", "2+3=7=", "2 + 3 = 5");
    row("the trailing comma of a typed number is not written", "12,+3,=", "12 + 3 = 15");
    row("a negative operand", "5X-3=", "5 X -3 = -15");
    row("percent", "200X5%=", "200 X 5 % = 10");
    row("percent drops the pending plus, the tape says so", "200+5%=", "200 X 5 % = 10");
    row("percent alone writes nothing", "200X5%", "");
    row("square", "3x", "x²(3) = 9");
    row("square root", "9v", "√(9) = 3");
    row("inverse", "4i", "1/x(4) = 0,25");
    row("sine", "30s", "sin(30) = 0,5");
    row("cosine, the program's own digits", "60o", "cos(60) = 0,500000000000001");
    row("tangent, the program's own digits", "45t", "tan(45) = 0,999999999999998");
    row("pi computes nothing", "p", "");
    row("francs to euros", "100U", "100 F > € (6,55957) = 15,24 €");
    row("and back", "100UF", "100 F > € (6,55957) = 15,24 €|15,24 € > F (6,55957) = 99,97 F");
    row("a grouped result, then read back as a number", "1000000Um",
        "1000000 F > € (6,55957) = 152 449,02 €|M = 152449,02");
    row("price with tax", "100T", "100 H.T. + 19,6 % = 119,6 T.T.C.");
    row("price before tax", "119,6H", "119,6 T.T.C. - 19,6 % = 100 H.T.");
    row("VAT of a zero readout computes nothing", "0T", "");
    row("memory store", "12,5m", "M = 12,5");
    row("memory store of a typed number", "12m", "M = 12");
    row("memory add", "12,5mE2a", "M = 12,5|M + 2 = 14,5");
    row("memory clear", "5mc", "M = 5|MC");
    row("memory recall changes no register", "5mr", "M = 5");
    row("division by zero", "8/0=", "8 / 0 : Division par zéro.");
    row("inverse of zero", "0i", "1/x(0) : Division par zéro.");
    row("root of a negative number", "4Nv", "√(-4) : Erreur : Débordement");
    row("an operand that is no number, then the reset",
        "5X--3=", "- X -3 : Dépacement de capacité !|----");
    row("percent of a lone minus", "5X-%", "- % : Dépacement de capacité !");
    row("conversion of a lone minus", "5X-U", "- F > € (6,55957) : Dépassement de capacité !");
    row("VAT of a lone minus", "5X-T", "- H.T. + 19,6 % : Dépassement de capacité !");
    row("memory add of a lone minus", "5X-a", "M + - : Erreur : Débordement");
    row("clear writes a separator", "2+3=C4X2=", "2 + 3 = 5|----|4 X 2 = 8");
    row("separators once", "2+3=CC5<<C", "2 + 3 = 5|----");
    row("no separator on an empty tape", "C5<<", "");
}

void TestTape::entries()
{
    QFETCH(std::string, keys);
    QFETCH(std::string, tape);
    FakeWindow w;
    w.press(keys);
    QCOMPARE(QString::fromStdString(w.tapeLines()), QString::fromStdString(tape));
}

// A chain of a thousand and two additions, a thousand and one steps: the first step has gone, the
// last is kept.
void TestTape::keepsTheLastThousand()
{
    FakeWindow w;
    w.press("1");
    for (int i = 0; i < 1002; ++i)
        w.press("+1");
    const auto &entries = w.tape.entries();
    QCOMPARE(entries.size(), std::size_t(1000));
    QCOMPARE(entries.front(), std::string("2 + 1 = 3"));
    QCOMPARE(entries.back(), std::string("1001 + 1 = 1002"));
    QVERIFY(w.tape.text().ends_with("1000 + 1 = 1001\n1001 + 1 = 1002\n"));
}

QTEST_GUILESS_MAIN(TestTape)
#include "tst_tape.moc"
