// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace korvex {

MainWindow::MainWindow()
{
    calculator.setMessagePresenter([this](const Message &message) {
        messages.push_back(message);
        readoutsAtMessage.push_back(readout());
        m_events << QString::fromStdString(message.text + " / " + message.title);
    });
    calculator.setDialogRunner(
        [this](QDialog &dialog) { m_events << u"window "_s + dialog.windowTitle(); });
    calculator.show();
    QApplication::setActiveWindow(&calculator);
    calculator.Form_Activate();
}

QString MainWindow::readout() const
{
    return label(u"Readout"_s)->text();
}

void MainWindow::type(const QString &keys)
{
    for (const QChar key : keys) {
        QWidget *target = QApplication::focusWidget();
        if (key == u'\b')
            QTest::keyClick(target, Qt::Key_Backspace);
        else if (key == u'\r')
            QTest::keyClick(target, Qt::Key_Return);
        else if (key.unicode() >= 32 && key.unicode() < 128)
            QTest::keyClick(target, key.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(key), {});
    }
}

void MainWindow::act(const QString &words)
{
    for (const QString &word : words.split(u' ', Qt::SkipEmptyParts)) {
        if (word.startsWith(u'@'))
            button(word.mid(1))->setFocus(Qt::TabFocusReason);
        else if (word.startsWith(u'{') && word.endsWith(u'}'))
            press(word.mid(1, word.size() - 2));
        else if (QPushButton *named = button(word))
            QTest::mouseClick(named, Qt::LeftButton);
        else
            type(word);
    }
}

void MainWindow::press(const QString &keys)
{
    const QKeyCombination combination = QKeySequence::fromString(keys)[0];
    QVERIFY2(combination.key() != Qt::Key_unknown, qPrintable(keys));
    QTest::keyClick(
        QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
}

QString MainWindow::events() const
{
    QStringList all = m_events;
    for (int i = 0; i < platform.quits; ++i)
        all << u"quit"_s;
    return all.join(u"; "_s);
}

} // namespace korvex
