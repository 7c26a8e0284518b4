// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/host.h"
#include "tests/support/test_platform.h"
#include "ui/calculator.h"
#include "ui/module1.h"
#include "ui/tape_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex;
using namespace Qt::StringLiterals;

class TestUiTape : public QObject
{
    Q_OBJECT

private slots:
    void typingGoesOnWhileTheTapeIsOpen();
    void savesWhatItCopies();
};

// F9, a calculation typed into the calculator, "&Copier tout", closing.
void TestUiTape::typingGoesOnWhileTheTapeIsOpen()
{
    Module1 module;
    TestPlatform platform;
    Calculator calculator(module, platform);
    calculator.show();
    QApplication::setActiveWindow(&calculator);
    calculator.Form_Activate();
    auto *equals = calculator.findChild<QPushButton *>(u"Operator4"_s);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
    auto *tape = calculator.findChild<TapeWindow *>(u"Historique"_s);
    QVERIFY(tape != nullptr && tape->isVisible());
    QCOMPARE(tape->windowTitle(), u"Historique"_s);
    QCOMPARE(QApplication::focusWidget(), equals);

    QTest::keyClicks(QApplication::focusWidget(), u"12.5*2=c7-9="_s);
    QCOMPARE(QApplication::focusWidget(), equals);
    auto *list = tape->findChild<QListWidget *>();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(2)->text(), u"7 - 9 = -2"_s);
    QCOMPARE(list->accessibleDescription(), u"7 - 9 = -2"_s);

    tape->findChild<QPushButton *>(u"CopierTout"_s)->click();
    QCOMPARE(QApplication::clipboard()->text(), u"12,5 X 2 = 25\n----\n7 - 9 = -2\n"_s);

    // A button reached with Tab, then a click into the tape.
    calculator.findChild<QPushButton *>(u"Number5"_s)->setFocus();
    QApplication::setActiveWindow(tape);
    list->setFocus();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u"12,5 X 2 = 25\n7 - 9 = -2\n"_s);
    tape->close();
    QVERIFY(!tape->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), equals); // the window system activates it
}

// "&Enregistrer..." writes what "&Copier tout" copies; a write that fails says so.
void TestUiTape::savesWhatItCopies()
{
    Module1 module;
    TestPlatform platform;
    Calculator calculator(module, platform);
    calculator.findChild<QAction *>(u"Mnu_Historique"_s)->trigger();
    auto *tape = calculator.findChild<TapeWindow *>(u"Historique"_s);
    QString path = platform.folder.filePath(u"Historique.txt"_s);
    QString proposed;
    tape->setPathChooser([&](const QString &offered) {
        proposed = offered;
        return path;
    });
    std::vector<Message> messages;
    tape->setMessagePresenter([&](const Message &message) { messages.push_back(message); });
    calculator.record("100 F > € (6,55957) = 15,24 €");
    calculator.record("√(-4) : Erreur : Débordement");

    tape->findChild<QPushButton *>(u"Enregistrer"_s)->click();
    QVERIFY(proposed.endsWith(u"/Historique.txt"_s));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    tape->findChild<QPushButton *>(u"CopierTout"_s)->click();
    QCOMPARE(QString::fromUtf8(saved.readAll()), QApplication::clipboard()->text());
    QVERIFY(messages.empty());

    // A folder of the file's name blocks it, even for a user who may write anywhere.
    path = platform.folder.filePath(u"Bloque.txt"_s);
    QVERIFY(QDir(platform.folder.path()).mkdir(u"Bloque.txt"_s));
    tape->findChild<QPushButton *>(u"Enregistrer"_s)->click();
    QCOMPARE(messages.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(messages[0].text).contains(u"Bloque.txt"_s));
}

QTEST_MAIN(TestUiTape)
#include "tst_ui_tape.moc"
