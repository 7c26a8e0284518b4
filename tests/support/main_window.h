// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it, for the window tests: shown, active, the focus on "=";
// message boxes, opened windows and the end of the program are recorded instead of shown.
#pragma once

#include "tests/support/test_platform.h"
#include "ui/calculator.h"
#include "ui/module1.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <vector>

namespace korvex {

struct MainWindow
{
    Module1 module;
    TestPlatform platform;
    Calculator calculator{module, platform};
    std::vector<Message> messages;
    std::vector<QString> readoutsAtMessage;

    MainWindow();
    QPushButton *button(const QString &name) const
    {
        return calculator.findChild<QPushButton *>(name);
    }
    QLabel *label(const QString &name) const { return calculator.findChild<QLabel *>(name); }
    QAction *action(const QString &name) const { return calculator.findChild<QAction *>(name); }
    QPushButton *equals() const { return button(QStringLiteral("Operator4")); }
    QString readout() const;
    // Types into whatever has the focus, as a user does: "\b" is Backspace and "\r" Enter.
    void type(const QString &keys);
    // Words separated by spaces: a button's name clicks it, "@name" moves the focus to it (as Tab
    // would), "{Shift+Right}" presses keys by their names, anything else is typed.
    void act(const QString &words);
    // Keys by their names, on whatever has the focus: "F6", "Ctrl+C", "Num+Left".
    void press(const QString &keys);
    // What the user saw besides the readout and labels: "message text / title", "window title"
    // and "quit", in order, joined by "; ".
    QString events() const;

private:
    QStringList m_events;
};

} // namespace korvex
