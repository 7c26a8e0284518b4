// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/dialogs.h"
#include "tests/support/golden.h"
#include "ui/help_window.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace korvex;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(korvex::Closing)

class TestUiHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setAttribute(Qt::AA_Use96Dpi, true); }
    void windowFrame();
    void layoutMatchesGolden();
    void textsFitTheirBoxes();
    void closing_data();
    void closing();
};

void TestUiHelp::windowFrame()
{
    FrmAide help;
    checkFixedFrame(help, u"Aide"_s, QSize(376, 427)); // 5640 x 6405 twips
    QVERIFY(!help.findChild<QLabel *>(u"Image1"_s)->pixmap().isNull());
}

void TestUiHelp::layoutMatchesGolden()
{
    FrmAide help;
    compareWithGolden(describeWindow(help), u"help_window"_s);
}

void TestUiHelp::textsFitTheirBoxes()
{
    FrmAide help;
    checkTextsFit(help);
}

void TestUiHelp::closing_data()
{
    QTest::addColumn<Closing>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("OK clicked") << Closing::OkClicked << true;
    QTest::newRow("Alt+O") << Closing::AltO << true;
    QTest::newRow("Enter") << Closing::Enter << true;
    QTest::newRow("close box as OK") << Closing::CloseBox << true;
    QTest::newRow("Escape does nothing") << Closing::Escape << false;
}

void TestUiHelp::closing()
{
    QFETCH(Closing, how);
    QFETCH(bool, closes);
    FrmAide help;
    checkClosing(help, u"Command1"_s, how, closes);
}

QTEST_MAIN(TestUiHelp)
#include "tst_ui_help.moc"
