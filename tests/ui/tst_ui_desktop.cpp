// SPDX-License-Identifier: GPL-3.0-or-later
// The main window at the edges of a desktop: keys that type nothing, the clipboard, pasted texts
// and what screen readers hear.
#include "tests/support/main_window.h"
#include "ui/key_map.h"
#include "ui/typed_key.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace korvex;
using namespace Qt::StringLiterals;

namespace {

QString spokenName(const MainWindow &w, const QString &name)
{
    return QAccessible::queryAccessibleInterface(w.label(name))->text(QAccessible::Name);
}

// The first and last rows of ink inside the readout's frame: where its text is drawn.
std::pair<int, int> inkRows(QLabel *readout)
{
    const QImage image = readout->grab().toImage();
    const int frame = readout->frameWidth();
    std::pair<int, int> rows{-1, -1};
    for (int y = frame; y < image.height() - frame; ++y) {
        for (int x = frame; x < image.width() - frame; ++x) {
            if (qGray(image.pixel(x, y)) < 100)
                rows = {rows.first < 0 ? y : rows.first, y};
        }
    }
    return rows;
}

} // namespace

class TestUiDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }
    void typedKeyCodes_data();
    void typedKeyCodes();
    void keysThatTypeNothing_data();
    void keysThatTypeNothing();
    void pasteDecidedAtCtrlV();
    void pastedTextsRead_data();
    void pastedTextsRead();
    void lineBreakShowsTheFirstLineWhole();
    void unitLabelSaysItsUnit_data();
    void unitLabelSaysItsUnit();
    void readoutSpeaksItsWholeText();
};

void TestUiDesktop::typedKeyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("control");
    QTest::addColumn<QList<int>>("codes");
    const auto row = [](const char *name, int key, const QString &text, bool control,
                         QList<int> codes) {
        QTest::newRow(name) << key << text << control << codes;
    };
    row("digit", Qt::Key_7, u"7"_s, false, {'7'});
    row("letter", Qt::Key_A, u"a"_s, false, {'a'});
    row("euro sign from a composed key", Qt::Key_unknown, u"€"_s, false, {128});
    row("backspace", Qt::Key_Backspace, u"\b"_s, false, {8});
    row("enter", Qt::Key_Return, u"\r"_s, false, {13});
    row("delete types nothing", Qt::Key_Delete, u"\x7f"_s, false, {});
    row("arrow types nothing", Qt::Key_Left, QString(), false, {});
    row("function key types nothing", Qt::Key_F9, QString(), false, {});
    row("delete character in a text is no character", Qt::Key_unknown, u"\x7f"_s, false, {});
    row("control with a letter", Qt::Key_F, u"\x06"_s, true, {6});
    row("control with a letter the platform left as it is", Qt::Key_C, u"c"_s, true, {3});
    row("control with equals types nothing", Qt::Key_Equal, u"="_s, true, {});
    row("control with a digit types nothing", Qt::Key_1, u"1"_s, true, {});
    row("control with enter types nothing", Qt::Key_Return, u"\r"_s, true, {});
}

void TestUiDesktop::typedKeyCodes()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, control);
    QFETCH(QList<int>, codes);
    const QList<uint> characters = text.toUcs4();
    const std::u32string typed(characters.begin(), characters.end());
    const std::vector<int> got = TypedKeyCodes(key, typed, control);
    QCOMPARE(QList<int>(got.begin(), got.end()), codes);
}

// The texts are those the X11 platform puts in the key events.
void TestUiDesktop::keysThatTypeNothing_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("control");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<QString>("events"); // the message box: its text / its title
    const auto row = [](const char *name, const QString &focus, int key, const QString &text,
                         bool control, const QString &readout, const QString &events) {
        QTest::newRow(name) << focus << key << text << control << readout << events;
    };
    const QString comma = u"Decimal"_s;
    const QString equals = u"Operator4"_s;
    row("delete on the comma button", comma, Qt::Key_Delete, u"\x7f"_s, false, u"3,"_s, {});
    row("a letter on the comma button still tells its code", comma, Qt::Key_A, u"a"_s, false,
        u"3,"_s, u"97 /  97"_s);
    row("control with a letter on the comma button tells its control code", comma, Qt::Key_B,
        u"\x02"_s, true, u"3,"_s, u"2 /  2"_s);
    row("control with equals on the equals button", equals, Qt::Key_Equal, u"="_s, true, u"3,"_s,
        {});
    row("function key on a digit button", u"Number4"_s, Qt::Key_F5, QString(), false, u"3,"_s, {});
}

void TestUiDesktop::keysThatTypeNothing()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, control);
    QFETCH(QString, readout);
    QFETCH(QString, events);
    MainWindow w;
    w.type(u"2+3"_s);
    w.button(focus)->setFocus(); // reached with Tab
    QTest::sendKeyEvent(QTest::Click, w.button(focus), Qt::Key(key), text,
        control ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(w.readout(), readout);
    QCOMPARE(w.events(), events);
}

void TestUiDesktop::pasteDecidedAtCtrlV()
{
    MainWindow w;
    QAction *coller = w.calculator.findChild<QAction *>(u"Mnu_Coller"_s);
    emit w.calculator.findChild<QMenu *>(u"Mnu_Edition"_s)->aboutToShow();
    QVERIFY(!coller->isEnabled()); // nothing on the clipboard
    w.type(u"7"_s);
    QTest::keyClick(w.button(u"Operator4"_s), Qt::Key_C, Qt::ControlModifier);
    w.type(u"+5"_s);
    w.press(u"Ctrl+V"_s); // right after our own copy, with the menu last seen disabled
    QCOMPARE(w.readout(), u"7,"_s);
    QVERIFY(coller->isEnabled());
    // An offered text that is empty still counts as text: the paste empties the readout.
    QGuiApplication::clipboard()->setText(QString());
    w.press(u"Ctrl+V"_s);
    QCOMPARE(w.readout(), QString());
    QGuiApplication::clipboard()->clear();
    w.type(u"c1"_s);
    w.press(u"Ctrl+V"_s);
    QCOMPARE(w.readout(), u"1,"_s);
    QVERIFY(!coller->isEnabled());
}

void TestUiDesktop::pastedTextsRead_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<int>("messages");
    QTest::newRow("a copied spreadsheet cell") << u"12,5\r\n"_s << u"+1="_s << u"13,5"_s << 0;
    QTest::newRow("a trailing blank") << u"12,5 "_s << u"+1="_s << u"13,5"_s << 0;
    QTest::newRow("an amount in euros") << u"1 234,56 €"_s << u"+1="_s << u"1235,56"_s << 0;
    QTest::newRow("a point stays no number") << u"1.5"_s << u"+1="_s << u"0,"_s << 1;
}

void TestUiDesktop::pastedTextsRead()
{
    QFETCH(QString, pasted);
    QFETCH(QString, keys);
    QFETCH(QString, readout);
    QFETCH(int, messages);
    MainWindow w;
    QGuiApplication::clipboard()->setText(pasted);
    w.press(u"Ctrl+V"_s);
    QCOMPARE(w.calculator.state().readout, pasted.toStdString()); // shown as it came
    w.type(keys);
    QCOMPARE(w.readout(), readout);
    QCOMPARE(int(w.messages.size()), messages);
}

void TestUiDesktop::lineBreakShowsTheFirstLineWhole()
{
    MainWindow w;
    QLabel *readout = w.label(u"Readout"_s);
    QGuiApplication::clipboard()->setText(u"12,5"_s);
    w.press(u"Ctrl+V"_s);
    const auto [oneLineTop, oneLineBottom] = inkRows(readout);
    QGuiApplication::clipboard()->setText(u"12,5\n"_s);
    w.press(u"Ctrl+V"_s);
    QCOMPARE(w.readout(), u"12,5\n"_s);
    const auto [top, bottom] = inkRows(readout);
    QVERIFY2(top > readout->frameWidth(), "the first line starts below the frame, not cut");
    QCOMPARE(bottom - top, oneLineBottom - oneLineTop); // the whole line, nothing cut
}

void TestUiDesktop::unitLabelSaysItsUnit_data()
{
    QTest::addColumn<QString>("conversion");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("francs to euros") << u"Command4"_s << u"€ Euros"_s;
    QTest::newRow("euros to francs") << u"Command3"_s << u"Francs"_s;
    QTest::newRow("before tax to with tax") << u"Command19"_s << u"T.T.C."_s;
    QTest::newRow("with tax to before tax") << u"Command20"_s << u"H.T."_s;
}

void TestUiDesktop::unitLabelSaysItsUnit()
{
    QFETCH(QString, conversion);
    QFETCH(QString, spoken);
    MainWindow w;
    w.type(u"100"_s);
    QTest::mouseClick(w.button(conversion), Qt::LeftButton);
    QCOMPARE(spokenName(w, u"Label1"_s), spoken);
    w.type(u"c"_s);
    QCOMPARE(spokenName(w, u"Label1"_s), u"Unité"_s);
}

void TestUiDesktop::readoutSpeaksItsWholeText()
{
    MainWindow w;
    const QString pasted = u"1 234,56 €"_s.repeated(200);
    QGuiApplication::clipboard()->setText(pasted);
    w.press(u"Ctrl+V"_s);
    QVERIFY(w.readout().size() < pasted.size()); // only the end is drawn
    QCOMPARE(spokenName(w, u"Readout"_s), pasted);
}

QTEST_MAIN(TestUiDesktop)
#include "tst_ui_desktop.moc"
