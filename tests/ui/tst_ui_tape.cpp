// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/main_window.h"
#include "ui/tape_panel.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace korvex;
using namespace Qt::StringLiterals;

class TestUiTape : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void panelBesideTheKeypad();
    void typingGoesOnWhileTheTapeIsShown();
    void tapeKeysSelectAndCopyLines();
    void savesWhatItCopies();
};

namespace {

QListWidget *listOf(const MainWindow &w)
{
    return w.calculator.findChild<QListWidget *>(u"Liste"_s);
}

QString lines(const QListWidget &list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts.join(u'|');
}

} // namespace

void TestUiTape::initTestCase()
{
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
}

// F9 adds the tape at the right of the keypad: the keypad keeps its place, pixels and Tab cycle,
// the window grows to the right only and stays fixed-size; F9 again gives the designed window back.
void TestUiTape::panelBesideTheKeypad()
{
    MainWindow w;
    QAction *item = w.action(u"Mnu_Historique"_s);
    QVERIFY(item->isCheckable() && !item->isChecked());
    const QRect designed = w.calculator.geometry();
    const auto keypad = [&w] { // under the menu bar, as drawn
        return w.calculator.grab({0, w.calculator.menuWidget()->height(), 505, 200}).toImage();
    };
    const QImage keypadBefore = keypad();

    w.act(u"{F9} 1+1= 2+2= 3+3= 4+4= 5+5= 6+6= 7+7= 8+8= 9+9= c"_s);
    QWidget *tape = w.calculator.findChild<TapePanel *>();
    QVERIFY(tape->isVisible() && item->isChecked());
    QCOMPARE(w.calculator.geometry(), designed.adjusted(0, 0, 320, 0));
    QCOMPARE(w.calculator.minimumSize(), w.calculator.maximumSize());
    QCOMPARE(tape->geometry(), QRect(505, 0, 320, 200));
    QCOMPARE(keypad(), keypadBefore);
    w.button(u"Command21"_s)->setFocus(Qt::TabFocusReason);
    w.press(u"Tab"_s);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Number0"_s));
    // Eight lines at least, and the newest in view.
    QListWidget *list = listOf(w);
    QVERIFY(list->viewport()->height() >= 8 * list->sizeHintForRow(0));
    QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(9))));

    w.act(u"{F6} {F9}"_s); // hidden from within the tape
    QVERIFY(!tape->isVisible() && !item->isChecked());
    QCOMPARE(w.calculator.geometry(), designed);
    QCOMPARE(QApplication::focusWidget(), w.equals());
}

// F9, a calculation typed into the calculator, "Copier tout", a selection copied, hiding.
void TestUiTape::typingGoesOnWhileTheTapeIsShown()
{
    MainWindow w;
    w.press(u"F9"_s);
    QCOMPARE(QApplication::focusWidget(), w.equals());
    w.type(u"12.5*2=c7-9="_s);
    QCOMPARE(QApplication::focusWidget(), w.equals());
    QListWidget *list = listOf(w);
    QCOMPARE(lines(*list), u"12,5 X 2 = 25|----|7 - 9 = -2"_s);
    QCOMPARE(list->accessibleDescription(), u"7 - 9 = -2"_s);
    const QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(spoken->role(), QAccessible::List);
    QCOMPARE(spoken->text(QAccessible::Name), u"Historique des calculs"_s);
    QCOMPARE(spoken->parent()->role(), QAccessible::Pane);
    QCOMPARE(spoken->parent()->text(QAccessible::Name), u"Historique"_s);

    QTest::mouseClick(w.calculator.findChild<QPushButton *>(u"CopierTout"_s), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), u"12,5 X 2 = 25\n----\n7 - 9 = -2\n"_s);
    QCOMPARE(QApplication::focusWidget(), w.equals()); // the buttons leave the keyboard alone

    // A click into the tape, lines picked with the mouse, Ctrl+C.
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
        list->visualItemRect(list->item(2)).center());
    QCOMPARE(QApplication::focusWidget(), list);
    w.press(u"Ctrl+C"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"12,5 X 2 = 25\n7 - 9 = -2\n"_s);

    // The access letters work from the calculator; the menus keep Alt+F and Alt+E.
    w.act(u"{Escape} 5+5="_s);
    w.press(u"Alt+C"_s);
    QTRY_COMPARE(
        QApplication::clipboard()->text(), u"12,5 X 2 = 25\n----\n7 - 9 = -2\n5 + 5 = 10\n"_s);
    w.press(u"Alt+A"_s);
    QTRY_COMPARE(list->count(), 0);
    QCOMPARE(w.readout(), u"10"_s);
}

// The arrows move through the lines, Shift extends, Ctrl+A takes them all, Ctrl+C copies them;
// back on "=", Ctrl+C copies the readout again.
void TestUiTape::tapeKeysSelectAndCopyLines()
{
    MainWindow w;
    w.act(u"{F9} 1+1= 2+2= 3+3= 4+4= {F6} {Up} {Shift+Up} {Ctrl+C}"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"2 + 2 = 4\n3 + 3 = 6\n"_s);
    w.act(u"{Home} {Shift+Down} {Ctrl+C}"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"1 + 1 = 2\n2 + 2 = 4\n"_s);
    w.act(u"{End} {Ctrl+A} {Ctrl+C}"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"1 + 1 = 2\n2 + 2 = 4\n3 + 3 = 6\n4 + 4 = 8\n"_s);
    w.act(u"{Escape} {Ctrl+C}"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"8"_s);
}

// "Enregistrer..." writes what "Copier tout" copies; a write that fails says so.
void TestUiTape::savesWhatItCopies()
{
    MainWindow w;
    w.action(u"Mnu_Historique"_s)->trigger();
    auto *tape = w.calculator.findChild<TapePanel *>();
    QString path = w.platform.folder.dir.filePath(u"Historique.txt"_s);
    QString proposed;
    tape->setPathChooser([&](const QString &offered) {
        proposed = offered;
        return path;
    });
    w.calculator.record("100 F > € (6,55957) = 15,24 €");
    w.calculator.record("√(-4) : Erreur : Débordement");

    w.press(u"Alt+R"_s);
    QTRY_VERIFY(proposed.endsWith(u"/Historique.txt"_s));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    tape->findChild<QPushButton *>(u"CopierTout"_s)->click();
    QCOMPARE(QString::fromUtf8(saved.readAll()), QApplication::clipboard()->text());
    QVERIFY(w.messages.empty());

    // A folder of the file's name blocks it, even for a user who may write anywhere.
    path = w.platform.folder.dir.filePath(u"Bloque.txt"_s);
    QVERIFY(QDir(w.platform.folder.dir.path()).mkdir(u"Bloque.txt"_s));
    tape->findChild<QPushButton *>(u"Enregistrer"_s)->click();
    const std::string text = "L'historique n'a pas pu être enregistré dans « " + path.toStdString();
    QCOMPARE(w.messages, std::vector<Message>({{text + " ».", "Historique", MessageIcon::Error}}));
}

QTEST_MAIN(TestUiTape)
#include "tst_ui_tape.moc"
