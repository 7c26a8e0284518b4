// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/settings_file.h"
#include "tests/support/fake_window.h"
#include "tests/support/golden.h"
#include "tests/support/main_window.h"
#include "ui/key_map.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace korvex;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::string)

class TestUiMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyButtonAndKey_data();
    void everyButtonAndKey();
    void layoutMatchesGolden();
    void windows1252Codes_data();
    void windows1252Codes();
    void windowFrame();
    void everyCaptionFits();
    void typedLikeClicked_data();
    void typedLikeClicked();
    void focusReturnsToEquals();
    void enterAndEscapePerformEqualsOnce();
    void digitButtonMap();
    void decimalButtonKeyMessage();
    void messageBoxShowsItsMoment();
    void quitting_data();
    void quitting();
    void copyAndPaste();
    void pasteEnabledFollowsTheClipboard();
    void pasteShowsPlainText();
    void unreadableClipboardChangesNothing();
    void hugePasteStaysResponsive();
    void ownWindowsGiveTheFocusBack_data();
    void ownWindowsGiveTheFocusBack();
    void accessibleNames();
    void readoutAnnouncesItsChanges();
    void settingsFolder_data();
    void settingsFolder();
};

void TestUiMain::initTestCase()
{
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
}

// One row per button, then one per key of the map of "=" and one per key of the digits' map.
// "before" and "press" are words: a button's name clicks it, "@name" gives it the focus as Tab
// would, anything else is typed on the focused button ("\r" Enter, "\b" Backspace). What the user
// then sees: the readout, Label1, the memory indicator with the value the recall button's tooltip
// shows ("M| 8"), and the message boxes, windows opened and the end of the program.
void TestUiMain::everyButtonAndKey_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("memory");
    QTest::addColumn<QString>("events");
    const auto row = [](const char *name, const char *before, const char *press,
                         const char *readout, const char *label1 = "", const char *memory = "| 0",
                         const char *events = "") {
        QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(press)
                            << QString::fromUtf8(readout) << QString::fromUtf8(label1)
                            << QString::fromUtf8(memory) << QString::fromUtf8(events);
    };
    // A key of both maps does the same on "=" and on a digit button reached with Tab.
    const auto both = [&row](const std::string &key, const std::string &before, const char *press,
                          const char *readout) {
        row((key + " on =").c_str(), before.c_str(), press, readout);
        row((key + " on a digit").c_str(), (before + " @Number5").c_str(), press, readout);
    };
    row("A propos opens the About window", "12", "Command21", "12,", "", "| 0",
        "window A propos Korvex");
    row("TTC > HT", "119.6", "Command20", "100", " H.T. ");
    row("HT > TTC", "100", "Command19", "119,6", " T.T.C. ");
    row("Tan in degrees", "45", "Command18", "0,999999999999998");
    row("Cos in degrees", "60", "Command17", "0,500000000000001");
    row("Sin in degrees", "30", "Command16", "0,5");
    row("pi", "12", "Command15", "3,14159265358979");
    row("Fin ends the program", "12", "Command14", "12,", "", "| 0", "quit");
    row("1/x", "4", "Command13", "0,25");
    row("<= removes the last character", "123", "Command12", "123");
    row("M+ adds to the memory", "5 Command10 C3", "Command11", "3,", "", "M| 8");
    row("MS stores the readout", "5 Command11 C3", "Command10", "3,", "", "M| 3");
    row("MR recalls the memory", "5 Command10 C", "Command9", "5,", "", "M| 5");
    row("MC clears the memory", "5 Command10", "Command8", "5,", "", "| 0");
    row("? opens the help", "12", "Command7", "12,", "", "| 0", "window Aide");
    row("+/- changes the sign", "12", "Command6", "-12");
    row("V² is the square root", "9", "Command5", "3");
    row("Francs > Euro", "655.957", "Command4", "100,00", " € Euros ");
    row("Euro  > Francs", "100", "Command3", "655,96", " Francs ");
    row("Taux opens the settings", "12", "Command2", "12,", "", "| 0",
        "window Taux de conversion et T.V.A.");
    row("x² squares", "12", "Command1", "144");
    row("digit 7", "5", "Number7", "57,");
    row("digit 8", "5", "Number8", "58,");
    row("digit 9", "5", "Number9", "59,");
    row("C clears the calculation", "2+3", "Cancel 4=", "4,");
    row("CE clears the entry only", "2+3", "CancelEntry 4=", "6");
    row("digit 4", "5", "Number4", "54,");
    row("digit 5", "5", "Number5", "55,");
    row("digit 6", "5", "Number6", "56,");
    row("+ adds", "8", "Operator1 2=", "10");
    row("- subtracts", "8", "Operator3 2=", "6");
    row("digit 1", "5", "Number1", "51,");
    row("digit 2", "5", "Number2", "52,");
    row("digit 3", "5", "Number3", "53,");
    row("X multiplies", "8", "Operator2 2=", "16");
    row("/ divides", "8", "Operator0 2=", "4");
    row("digit 0", "5", "Number0", "50,");
    row(", enters the comma", "1", "Decimal 5", "1,5");
    row("= ends the calculation", "8+2", "Operator4", "10");
    row("% takes the percentage", "200+5", "Percent", "0,05");
    row("a failing function shows its message", "4N", "Command5", "-4", "", "| 0",
        "Erreur : Débordement / Erreur");
    row("a failing operator shows its message", "8/0", "Operator4", "8,", "", "| 0",
        "Division par zéro. / Calculatrice");

    both("key 0", "5", "0", "50,");
    both("key 1", "5", "1", "51,");
    both("key 2", "5", "2", "52,");
    both("key 3", "5", "3", "53,");
    both("key 4", "5", "4", "54,");
    both("key 5", "5", "5", "55,");
    both("key 6", "5", "6", "56,");
    both("key 7", "5", "7", "57,");
    both("key 8", "5", "8", "58,");
    both("key 9", "5", "9", "59,");
    both("key . is the comma", "1", ".5", "1,5");
    both("key , does nothing", "1", ",5", "15,");
    both("key -", "8", "-2=", "6");
    both("key +", "8", "+2=", "10");
    both("key /", "8", "/2=", "4");
    both("key *", "8", "*2=", "16");
    both("key %", "200+5", "%", "0,05");
    both("key C", "2+3", "C4=", "4,");
    both("key c", "2+3", "c4=", "4,");
    both("key E", "2+3", "E4=", "6");
    both("key e", "2+3", "e4=", "6");
    both("key N", "12", "N", "-12");
    both("key n", "12", "n", "-12");
    both("key V", "9", "V", "3");
    both("key v", "9", "v", "3");
    both("key X", "12", "X", "144");
    both("key x", "12", "x", "144");
    row("key I on =", "4", "I", "0,25");
    row("key i on =", "4", "i", "0,25");
    row("key Q on =", "12", "Q", "12,", "", "| 0", "quit");
    row("key q on =", "12", "q", "12,", "", "| 0", "quit");
    row("key P on =", "12", "P", "3,14159265358979");
    row("key p on =", "12", "p", "3,14159265358979");
    row("key S on =", "30", "S", "0,5");
    row("key s on =", "30", "s", "0,5");
    row("key O on =", "60", "O", "0,500000000000001");
    row("key o on =", "60", "o", "0,500000000000001");
    row("key T on =", "45", "T", "0,999999999999998");
    row("key t on =", "45", "t", "0,999999999999998");
    row("key F on =", "12", "F", "12,", "", "| 0", "quit");
    row("key f on =", "12", "f", "12,", "", "| 0", "quit");
    row("key = on =", "8+2", "=", "10");
    both("Enter", "8+2", "\r", "10");
    row("Backspace on =", "123", "\b", "123");
    // In the tape, a key that "=" acts on goes to "=" as if typed there; Escape and F6 lead back.
    const char *inTape = "{F9} 2+3= 3 {F6}";
    row("a calculation typed into the tape", inTape, "+1=", "4");
    row("Enter typed into the tape", inTape, "*2 \r", "6");
    row("Backspace typed into the tape", inTape, "\b", "3");
    row("Escape leads back from the tape", inTape, "{Escape}", "3,");
    row("F6 leads back from the tape", inTape, "{F6}", "3,");
    // The arrows, the number pad's among them, leave the focus where it is: Enter still means "=",
    // Space still presses the digit reached with Tab.
    row("6, Right, Enter shows 6, as Enter alone", "6", "{Right} \r", "6,");
    for (const std::string arrow : {"Up", "Down", "Left", "Right"}) {
        for (const std::string pad : {"", "Num+"}) {
            const std::string key = "{" + pad + arrow + "}";
            row((pad + arrow + " on =").c_str(), "6", (key + " \r 2 \r").c_str(), "2");
            row((pad + arrow + " on a digit").c_str(), "6 @Number5", (key + " {Space}").c_str(),
                "65,");
        }
    }
}

void TestUiMain::everyButtonAndKey()
{
    QFETCH(QString, before);
    QFETCH(QString, press);
    MainWindow w;
    w.act(before);
    w.act(press);
    QTEST(w.readout(), "readout");
    QTEST(w.label(u"Label1"_s)->text(), "label1");
    const QString recall = w.button(u"Command9"_s)->toolTip().remove(u"Rappelle la mémoire M = "_s);
    QTEST(w.label(u"Label2"_s)->text() + u'|' + recall, "memory");
    QTEST(w.events(), "events");
    if (w.platform.quits == 0)
        QCOMPARE(QApplication::focusWidget(), w.equals());
}

void TestUiMain::layoutMatchesGolden()
{
    MainWindow w;
    compareWithGolden(describeWindow(w.calculator), u"main_window"_s);
}

void TestUiMain::windows1252Codes_data()
{
    QTest::addColumn<uint>("character");
    QTest::addColumn<int>("code");
    QTest::newRow("ascii letter") << uint('A') << 65;
    QTest::newRow("control character") << 3u << 3;
    QTest::newRow("euro sign") << 0x20ACu << 128;
    QTest::newRow("latin small e acute") << 0xE9u << 233;
    QTest::newRow("pilcrow") << 0xB6u << 182;
    QTest::newRow("right single quote") << 0x2019u << 146;
    QTest::newRow("y diaeresis capital") << 0x178u << 159;
    QTest::newRow("greek pi is outside") << 0x3C0u << 63;
    QTest::newRow("C1 control is outside") << 0x81u << 63;
    QTest::newRow("emoji is outside") << 0x1F600u << 63;
}

void TestUiMain::windows1252Codes()
{
    QFETCH(uint, character);
    QFETCH(int, code);
    QCOMPARE(Windows1252Code(char32_t(character)), code);
}

void TestUiMain::windowFrame()
{
    MainWindow w;
    QCOMPARE(w.calculator.minimumSize(), w.calculator.maximumSize());
    QVERIFY(!(w.calculator.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.calculator.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!w.calculator.windowIcon().isNull());
    QCOMPARE(w.calculator.windowIcon().availableSizes().value(0), QSize(32, 32));
    // The menu bar is above the client area, whatever its height.
    QCOMPARE(w.calculator.height(), 200 + w.calculator.menuWidget()->height());
}

void TestUiMain::everyCaptionFits()
{
    MainWindow w;
    const QList<QPushButton *> buttons = w.calculator.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 40);
    for (const QPushButton *button : buttons) {
        const QFontMetrics metrics = button->fontMetrics();
        const QStringList lines = button->text().split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= button->width() - 4,
                qPrintable(button->objectName() + u": "_s + line));
        QVERIFY2(int(lines.size()) * metrics.lineSpacing() <= button->height() - 4,
            qPrintable(button->objectName()));
    }
}

void TestUiMain::typedLikeClicked_data()
{
    // Typed keys, and the same sequence as clicks of the buttons.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::string>("buttons"); // in the key legend
    QTest::addColumn<QString>("readout");
    const auto row = [](const char *name, const QString &typed, const char *buttons,
                         const QString &readout) {
        QTest::newRow(name) << typed << std::string(buttons) << readout;
    };
    row("addition with enter", u"12+3\r"_s, "12+3=", u"15"_s);
    row("point is the comma", u"1.5+2.25="_s, "1,5+2,25=", u"3,75"_s);
    row("backspace key", u"1.5\b7"_s, "1,5<7", u"1,7"_s);
    row("clear and clear entry keys", u"5+3e4=c7"_s, "5+3E4=C7", u"7,"_s);
    row("percent", u"200+5%="_s, "200+5%=", u"10"_s);
    row("minus chain", u"5+-3-2="_s, "5+-3-2=", u"0"_s);
    row("division by zero", u"8/0=2="_s, "8/0=2=", u"2"_s);
    row("count three", u"200*5%3=+2="_s, "200X5%3=+2=", u"2,"_s);
    row("lone minus resets", u"5*--3="_s, "5X--3=", u"0,"_s);
    row("unlisted keys are cancelled", u"1az2é"_s, "12", u"12,"_s);
    row("control letters are no letters", u"5+3\x06\x11\x03="_s, "5+3=", u"8"_s);
}

void TestUiMain::typedLikeClicked()
{
    QFETCH(QString, typed);
    QFETCH(std::string, buttons);
    QFETCH(QString, readout);
    MainWindow w;
    w.type(typed);
    QCOMPARE(w.readout(), readout);
    QCOMPARE(QApplication::focusWidget(), w.equals());

    FakeWindow engine;
    engine.press(buttons);
    QCOMPARE(w.calculator.state().readout, engine.state.readout);
    QCOMPARE(w.calculator.state().InputState, engine.state.InputState);
    QCOMPARE(w.calculator.state().PendingOperator, engine.state.PendingOperator);
    QCOMPARE(w.calculator.state().OperandCount, engine.state.OperandCount);
}

void TestUiMain::focusReturnsToEquals()
{
    MainWindow w;
    for (const QString &item : {u"Mnu_Copier"_s, u"Mnu_Coller"_s}) {
        w.button(u"Number4"_s)->setFocus();
        w.action(item)->trigger();
        QVERIFY2(QApplication::focusWidget() == w.equals(), qPrintable(item));
    }
    // A button reached with Tab keeps the focus until the next action.
    QTest::keyClick(w.equals(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Percent"_s));
}

void TestUiMain::enterAndEscapePerformEqualsOnce()
{
    MainWindow w;
    QSignalSpy equalsPresses(w.equals(), &QPushButton::clicked);
    w.type(u"2+3"_s);
    QTest::keyClick(w.equals(), Qt::Key_Return);
    QCOMPARE(equalsPresses.count(), 1);
    QCOMPARE(w.readout(), u"5"_s);
    QTest::keyClick(w.equals(), Qt::Key_Enter);
    QCOMPARE(equalsPresses.count(), 2);

    // Escape performs "=" wherever the focus is.
    w.type(u"c4*"_s);
    w.button(u"Command8"_s)->setFocus();
    w.type(u"2"_s);
    QCOMPARE(w.readout(), u"4,"_s); // typed on a button without keys: nothing
    w.button(u"Number3"_s)->setFocus();
    QTest::keyClick(w.button(u"Number3"_s), Qt::Key_Escape);
    QCOMPARE(equalsPresses.count(), 3);
    QCOMPARE(w.readout(), u"4,"_s);
    QCOMPARE(w.calculator.state().PendingOperator, std::string("="));

    // Enter on any button but "=" and the digits presses that button.
    w.type(u"9"_s);
    w.button(u"Command10"_s)->setFocus();
    QTest::keyClick(w.button(u"Command10"_s), Qt::Key_Return);
    QCOMPARE(w.label(u"Label2"_s)->text(), u"M"_s);
    w.type(u"c2"_s);
    w.button(u"Operator1"_s)->setFocus();
    QTest::keyClick(w.button(u"Operator1"_s), Qt::Key_Return);
    QCOMPARE(w.calculator.state().PendingOperator, std::string("+"));
    w.type(u"3"_s);
    w.button(u"Decimal"_s)->setFocus();
    QTest::keyClick(w.button(u"Decimal"_s), Qt::Key_Enter);
    QVERIFY(w.messages.empty()); // the comma itself, not its key message
    QCOMPARE(w.readout(), u"3,"_s);
    QCOMPARE(w.calculator.state().DecimalEntered, true);
    QCOMPARE(equalsPresses.count(), 3);
    // Control with a letter is no letter, even where the platform leaves the letter as text.
    QTest::keyClick(w.equals(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(w.equals(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(w.platform.quits, 0);
    QCOMPARE(w.readout(), u"3,"_s);
}

void TestUiMain::digitButtonMap()
{
    MainWindow w;
    w.type(u"12+3"_s);
    w.button(u"Number5"_s)->setFocus();
    QTest::keyClicks(w.button(u"Number5"_s), u"qFipsot="_s);
    QTest::keyClick(w.button(u"Number5"_s), Qt::Key_Backspace);
    QTest::keyClick(w.button(u"Number5"_s), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(w.platform.quits, 0);
    QCOMPARE(w.readout(), u"3,"_s);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Number5"_s));
    // Enter on a digit button follows its map: "=", not the digit.
    QTest::keyClick(w.button(u"Number5"_s), Qt::Key_Return);
    QCOMPARE(w.readout(), u"15"_s);
    QCOMPARE(QApplication::focusWidget(), w.equals());
}

void TestUiMain::decimalButtonKeyMessage()
{
    MainWindow w;
    w.button(u"Decimal"_s)->setFocus();
    QTest::keyClick(w.button(u"Decimal"_s), '7');
    QCOMPARE(w.messages.size(), std::size_t(1));
    QCOMPARE(w.messages[0], (Message{"55", " 55", MessageIcon::None}));
    QCOMPARE(w.readout(), u"0,"_s);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Decimal"_s));
}

void TestUiMain::messageBoxShowsItsMoment()
{
    MainWindow w;
    w.type(u"8/0="_s);
    QCOMPARE(w.messages.size(), std::size_t(1));
    QCOMPARE(letterOf(w.messages[0]), 'D');
    QCOMPARE(w.readoutsAtMessage[0], u"0,"_s); // the divisor, while the box is open
    QCOMPARE(w.readout(), u"8,"_s);
    w.type(u"5*--3="_s);
    QCOMPARE(letterOf(w.messages.back()), 'O');
    QCOMPARE(w.readoutsAtMessage.back(), u"-3,"_s);
    QCOMPARE(w.readout(), u"0,"_s);
}

void TestUiMain::quitting_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Fin button") << u"Command14"_s;
    QTest::newRow("Quitter menu item") << u"MnuQuitter"_s;
    QTest::newRow("control Q") << u"ctrl"_s;
    QTest::newRow("close box") << u"close"_s;
}

void TestUiMain::quitting()
{
    QFETCH(QString, how);
    MainWindow w;
    w.type(u"12+3"_s);
    if (how == u"Command14"_s)
        QTest::mouseClick(w.button(how), Qt::LeftButton);
    else if (how == u"MnuQuitter"_s)
        w.action(how)->trigger();
    else if (how == u"ctrl"_s)
        QTest::keyClick(w.equals(), Qt::Key_Q, Qt::ControlModifier);
    else
        w.calculator.close();
    QCOMPARE(w.platform.quits, 1);
    QVERIFY(w.messages.empty());
    QVERIFY(w.platform.folder.entries().isEmpty()); // nothing written
}

void TestUiMain::copyAndPaste()
{
    MainWindow w;
    QTest::keyClick(w.equals(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"0,"_s);
    w.type(u"12+7"_s);
    QTest::keyClick(w.equals(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"7,"_s);
    QCOMPARE(w.readout(), u"7,"_s); // Ctrl+C copies, it does not clear
    QCOMPARE(w.calculator.state().PendingOperator, std::string("+"));

    QGuiApplication::clipboard()->setText(u"12,5"_s);
    const CalculatorState before = w.calculator.state();
    QTest::keyClick(w.equals(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.readout(), u"12,5"_s);
    QCOMPARE(w.calculator.state().InputState, std::string("NUMS"));
    QCOMPARE(w.calculator.state().PendingOperator, before.PendingOperator);
    QCOMPARE(w.calculator.state().OperandCount, before.OperandCount);
    QCOMPARE(w.calculator.state().DecimalEntered, before.DecimalEntered);
    w.type(u"="_s);
    QCOMPARE(w.readout(), u"24,5"_s);
}

void TestUiMain::pasteEnabledFollowsTheClipboard()
{
    MainWindow w;
    QMenu *edition = w.calculator.findChild<QMenu *>(u"Mnu_Edition"_s);
    QAction *coller = w.action(u"Mnu_Coller"_s);
    QGuiApplication::clipboard()->setText(u"7,"_s);
    emit edition->aboutToShow();
    QVERIFY(coller->isEnabled());
    QGuiApplication::clipboard()->clear();
    QVERIFY(coller->isEnabled()); // recomputed only when the menu opens
    emit edition->aboutToShow();
    QVERIFY(!coller->isEnabled());
    w.type(u"5"_s);
    QTest::keyClick(w.equals(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.readout(), u"5,"_s); // a disabled item's shortcut does nothing
    QGuiApplication::clipboard()->setText(u"9"_s);
    QTest::keyClick(w.equals(), Qt::Key_V, Qt::ControlModifier); // decides afresh
    QCOMPARE(w.readout(), u"9"_s);
}

void TestUiMain::pasteShowsPlainText()
{
    MainWindow w;
    QGuiApplication::clipboard()->setText(u"<b>x</b>"_s);
    w.action(u"Mnu_Coller"_s)->trigger();
    QCOMPARE(w.readout(), u"<b>x</b>"_s);
    QCOMPARE(w.label(u"Readout"_s)->textFormat(), Qt::PlainText);
    w.type(u"x"_s);
    QCOMPARE(w.messages.size(), std::size_t(1)); // the square of a text fails
    QCOMPARE(w.readout(), u"<b>x</b>"_s);
}

void TestUiMain::unreadableClipboardChangesNothing()
{
    MainWindow w;
    w.type(u"42"_s);
    w.platform.clipboardReadable = false;
    w.action(u"Mnu_Coller"_s)->trigger();
    QCOMPARE(w.readout(), u"42,"_s);
    emit w.calculator.findChild<QMenu *>(u"Mnu_Edition"_s)->aboutToShow();
    QVERIFY(!w.action(u"Mnu_Coller"_s)->isEnabled());
}

void TestUiMain::hugePasteStaysResponsive()
{
    MainWindow w;
    const QString huge = QString(1 << 20, u'7') + u"€"_s;
    QGuiApplication::clipboard()->setText(huge);
    w.action(u"Mnu_Coller"_s)->trigger();
    QCOMPARE(w.calculator.state().readout.size(), std::size_t((1 << 20) + 3));
    QVERIFY(w.readout().endsWith(u"77€"_s));
    QVERIFY(w.readout().size() < 1000);
    w.calculator.grab(); // paints the readout
    w.type(u"\b"_s);
    QVERIFY(w.readout().endsWith(u"777"_s));
    QCOMPARE(w.calculator.state().readout.size(), std::size_t(1 << 20));
}

void TestUiMain::ownWindowsGiveTheFocusBack_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("title");
    QTest::newRow("help from the ? button") << u"Command7"_s << u"Aide"_s;
    QTest::newRow("help from the menu") << u"Mnu_AideClavier"_s << u"Aide"_s;
    QTest::newRow("about from its button") << u"Command21"_s << u"A propos Korvex"_s;
    QTest::newRow("about from the menu") << u"Mnu_APropos"_s << u"A propos Korvex"_s;
    QTest::newRow("settings from Taux") << u"Command2"_s << u"Taux de conversion et T.V.A."_s;
}

void TestUiMain::ownWindowsGiveTheFocusBack()
{
    QFETCH(QString, opener);
    QFETCH(QString, title);
    MainWindow w;
    QStringList opened;
    w.calculator.setDialogRunner([&opened](QDialog &dialog) { opened << dialog.windowTitle(); });
    w.type(u"12"_s);
    w.button(u"Number4"_s)->setFocus(); // reached with Tab, say
    if (QPushButton *button = w.button(opener))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        w.action(opener)->trigger();
    QCOMPARE(opened, QStringList{title});
    QCOMPARE(QApplication::focusWidget(), w.equals());
    QCOMPARE(w.readout(), u"12,"_s);
}

void TestUiMain::accessibleNames()
{
    MainWindow w;
    // A set name is what is spoken; a digit says its caption.
    const std::vector<std::pair<QString, QString>> expected{
        {u"Command15"_s, u"Pi"_s}, {u"Number7"_s, u"7"_s}};
    for (const auto &[name, spoken] : expected) {
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(w.button(name));
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), spoken);
    }
    // Every button says something a listener can use.
    for (QPushButton *button : w.calculator.findChildren<QPushButton *>())
        QVERIFY(!QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).isEmpty());
    w.type(u"12"_s);
    QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(w.label(u"Readout"_s));
    QCOMPARE(readout->text(QAccessible::Name), u"12,"_s);
}

void TestUiMain::readoutAnnouncesItsChanges()
{
    // A label announces a new text only while it has no fixed accessible name: the readout must
    // keep none, so its name is always the number shown.
    MainWindow w;
    QLabel *readout = w.label(u"Readout"_s);
    QVERIFY(readout->accessibleName().isEmpty());
    QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(readout);
    QCOMPARE(shown->role(), QAccessible::StaticText);
    for (const QString &keys : {u"4"_s, u"+5"_s, u"="_s}) {
        w.type(keys);
        QCOMPARE(shown->text(QAccessible::Name), readout->text());
    }
    QCOMPARE(shown->text(QAccessible::Name), u"9"_s);
    QVERIFY(!shown->text(QAccessible::Description).isEmpty());
    // The focused "=" says the result too: screen readers follow the focus.
    QCOMPARE(
        QAccessible::queryAccessibleInterface(w.equals())->text(QAccessible::Description), u"9"_s);
}

void TestUiMain::settingsFolder_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("fileBesideProgram");
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<QString>("installedIn"); // empty: the test's own folder
    QTest::newRow("portable copy in a folder it may write") << true << false << true << QString();
    QTest::newRow("portable copy with its file, folder read-only")
        << false << true << true << QString();
    QTest::newRow("program folder read-only") << false << false << false << QString();
    QTest::newRow("installed in /usr/bin, run by root") << true << false << false << u"/usr/bin"_s;
}

// An installed program cannot write beside itself: it keeps its settings in the user's folder,
// made by the first save, with the same file.
void TestUiMain::settingsFolder()
{
    QFETCH(bool, writable);
    QFETCH(bool, fileBesideProgram);
    QFETCH(bool, besideProgram);
    QFETCH(QString, installedIn);
    struct Installed : TestPlatform
    {
        QString programDirectory() const override
        {
            return installedIn.isEmpty() ? folder.dir.path() : installedIn;
        }
        QString installedIn;
    };
    Module1 module;
    Installed platform;
    platform.installedIn = installedIn;
    platform.writable = writable;
    if (fileBesideProgram)
        platform.folder.write("7\r\n3\r\n5.5\r\n");
    Calculator calculator(module, platform);
    const QString expected =
        besideProgram ? platform.folder.dir.path() : platform.userConfigDirectory();
    QCOMPARE(QString::fromStdString(module.settings.SettingsDirectory), expected + u'/');
    QCOMPARE(module.settings.ConversionRate, fileBesideProgram ? 7.0 : 6.55957);
    QVERIFY(!QDir(platform.userConfigDirectory()).exists()); // loading makes nothing

    module.settings.ConversionRate = 8;
    QVERIFY(SaveSettings(module.settings, platform.files()));
    Folder &holder = besideProgram ? platform.folder : platform.home;
    QVERIFY(holder.read(besideProgram ? "Korvex.cfg" : "config/korvex/Korvex.cfg")
                .starts_with("8\r\n"));
    if (!besideProgram) // the folder above the user's one is made private, as the XDG rules ask
        QCOMPARE(QFileInfo(platform.home.dir.path() + u"/config"_s).permissions(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                | QFile::WriteUser | QFile::ExeUser);
}

QTEST_MAIN(TestUiMain)
#include "tst_ui_main.moc"
