// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/currency.h"
#include "conversion/settings.h"
#include "conversion/vat.h"
#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/number_entry.h"
#include "engine/operators.h"
#include "engine/tape.h"
#include "functions/memory_register.h"
#include "functions/unary_functions.h"

#include <QTest>
#include <map>
#include <string>

using namespace korvex;

namespace {

// A window reduced to its tape: every line the core records goes on it.
class TapeHost : public Host
{
public:
    explicit TapeHost(CalculatorState &state)
        : m_state(state)
    {
    }
    void showMessage(const Message &) override { }
    void runLoadStep() override { ResetCalculator(m_state); }
    void moveFocusToEquals() override { }
    void record(std::string_view entry) override { tape.add(entry); }

    Tape tape;

private:
    CalculatorState &m_state;
};

struct Run
{
    CalculatorState state;
    TapeHost host{state};
    MemoryRegister memory;
    Settings settings{6.55957, 19.6, 2, {}, 0, 0, 0};

    Run() { ResetCalculator(state); }

    // The engine's keys: digits "," "+" "-" "X" "/" "=" "%", C, E (CE), N (+/-), < (backspace);
    // the function keys q (x²) r (root) i (1/x) p (pi) s o t; the memory c (MC) R (MR) M (MS)
    // P (M+); f (francs to euros), u (euros to francs), h (H.T. to T.T.C.), k (T.T.C. to H.T.).
    void press(char key)
    {
        using Action = void (*)(Run &);
        static const std::map<char, Action> actions{
            {',', [](Run &r) { Decimal_Click(r.state, r.host); }},
            {'%', [](Run &r) { Percent_Click(r.state, r.host); }},
            {'C', [](Run &r) { Cancel_Click(r.state, r.host); }},
            {'E', [](Run &r) { CancelEntry_Click(r.state, r.host); }},
            {'N', [](Run &r) { Command6_Click(r.state, r.host); }},
            {'<', [](Run &r) { Command12_Click(r.state, r.host); }},
            {'q', [](Run &r) { Command1_Click(r.state, r.host); }},
            {'r', [](Run &r) { Command5_Click(r.state, r.host); }},
            {'i', [](Run &r) { Command13_Click(r.state, r.host); }},
            {'p', [](Run &r) { Command15_Click(r.state, r.host); }},
            {'s', [](Run &r) { Command16_Click(r.state, r.host); }},
            {'o', [](Run &r) { Command17_Click(r.state, r.host); }},
            {'t', [](Run &r) { Command18_Click(r.state, r.host); }},
            {'c', [](Run &r) { Command8_Click(r.memory, r.host); }},
            {'R', [](Run &r) { Command9_Click(r.memory, r.state, r.host); }},
            {'M', [](Run &r) { Command10_Click(r.memory, r.state, r.host); }},
            {'P', [](Run &r) { Command11_Click(r.memory, r.state, r.host); }},
            {'f', [](Run &r) { FrancsToEuro(r.state, r.settings, r.host); }},
            {'u', [](Run &r) { EuroToFrancs(r.state, r.settings, r.host); }},
            {'h', [](Run &r) { HtToTtc(r.state, r.settings, r.host); }},
            {'k', [](Run &r) { TtcToHt(r.state, r.settings, r.host); }},
        };
        if (key >= '0' && key <= '9')
            return Number_Click(state, host, static_cast<std::int16_t>(key - '0'));
        for (std::size_t i = 0; i < OperatorCaptions.size(); ++i) {
            if (OperatorCaptions[i] == std::string_view(&key, 1))
                return Operator_Click(state, host, static_cast<std::int16_t>(i));
        }
        const auto action = actions.find(key);
        QVERIFY2(action != actions.end(), std::string(1, key).c_str());
        action->second(*this);
    }

    // The tape's lines joined with "|".
    std::string lines(const std::string &keys)
    {
        for (const char key : keys)
            press(key);
        std::string joined;
        for (const std::string &entry : host.tape.entries())
            joined += (joined.empty() ? "" : "|") + entry;
        return joined;
    }
};

} // namespace

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
    row("square", "3q", "x²(3) = 9");
    row("square root", "9r", "√(9) = 3");
    row("inverse", "4i", "1/x(4) = 0,25");
    row("sine", "30s", "sin(30) = 0,5");
    row("cosine, the program's own digits", "60o", "cos(60) = 0,500000000000001");
    row("tangent, the program's own digits", "45t", "tan(45) = 0,999999999999998");
    row("pi computes nothing", "p", "");
    row("francs to euros", "100f", "100 F > € (6,55957) = 15,24 €");
    row("and back", "100fu", "100 F > € (6,55957) = 15,24 €|15,24 € > F (6,55957) = 99,97 F");
    row("a grouped result, then read back as a number", "1000000fM",
        "1000000 F > € (6,55957) = 152 449,02 €|M = 152449,02");
    row("price with tax", "100h", "100 H.T. + 19,6 % = 119,6 T.T.C.");
    row("price before tax", "119,6k", "119,6 T.T.C. - 19,6 % = 100 H.T.");
    row("VAT of a zero readout computes nothing", "0h", "");
    row("memory store", "12,5M", "M = 12,5");
    row("memory store of a typed number", "12M", "M = 12");
    row("memory add", "12,5ME2P", "M = 12,5|M + 2 = 14,5");
    row("memory clear", "5Mc", "M = 5|MC");
    row("memory recall changes no register", "5MR", "M = 5");
    row("division by zero", "8/0=", "8 / 0 : Division par zéro.");
    row("inverse of zero", "0i", "1/x(0) : Division par zéro.");
    row("root of a negative number", "4Nr", "√(-4) : Erreur : Débordement");
    row("an operand that is no number, then the reset",
        "5X--3=", "- X -3 : Dépacement de capacité !|----");
    row("percent of a lone minus", "5X-%", "- % : Dépacement de capacité !");
    row("conversion of a lone minus", "5X-f", "- F > € (6,55957) : Dépassement de capacité !");
    row("VAT of a lone minus", "5X-h", "- H.T. + 19,6 % : Dépassement de capacité !");
    row("memory add of a lone minus", "5X-P", "M + - : Erreur : Débordement");
    row("clear writes a separator", "2+3=C4X2=", "2 + 3 = 5|----|4 X 2 = 8");
    row("separators once", "2+3=CC5<<C", "2 + 3 = 5|----");
    row("no separator on an empty tape", "C5<<", "");
}

void TestTape::entries()
{
    QFETCH(std::string, keys);
    QFETCH(std::string, tape);
    Run run;
    QCOMPARE(QString::fromStdString(run.lines(keys)), QString::fromStdString(tape));
}

// A chain of a thousand and two additions, a thousand and one steps: the first step has gone, the
// last is kept.
void TestTape::keepsTheLastThousand()
{
    Run run;
    run.lines("1");
    for (int i = 0; i < 1002; ++i)
        run.lines("+1");
    const auto &entries = run.host.tape.entries();
    QCOMPARE(entries.size(), Tape::Capacity);
    QCOMPARE(entries.front(), std::string("2 + 1 = 3"));
    QCOMPARE(entries.back(), std::string("1001 + 1 = 1002"));
    QVERIFY(run.host.tape.text().ends_with("1000 + 1 = 1001\n1001 + 1 = 1002\n"));
}

QTEST_GUILESS_MAIN(TestTape)
#include "tst_tape.moc"
