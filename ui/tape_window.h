// SPDX-License-Identifier: GPL-3.0-or-later
// The "Historique" window: the paper tape beside the calculator, to read, copy, save and clear.
// Unlike the program's other windows it is not modal, and it never takes the keyboard on its
// own: typing goes on into the calculator until the user clicks into the tape.
#pragma once

#include <QWidget>
#include <functional>

class QListWidget;
class QPushButton;

namespace korvex {

class Platform;
class Tape;
struct Message;

class TapeWindow : public QWidget
{
    Q_OBJECT

public:
    using PathChooser = std::function<QString(const QString &proposed)>; // empty: cancelled
    using MessagePresenter = std::function<void(const Message &)>;

    TapeWindow(Tape &tape, Platform &platform, QWidget *calculator);

    // Shows the window beside the calculator, or raises it, without taking the keyboard.
    void open();
    // The tape has a new last entry.
    void showNewEntry();
    // Run when the window closes, so the calculator takes the keyboard back.
    void setOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

    // Tests answer the file dialog and record message boxes through these instead of blocking.
    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }
    void setMessagePresenter(MessagePresenter presenter)
    {
        m_presentMessage = std::move(presenter);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void reload();
    void placeBesideCalculator();
    void copySelection();
    void copyAll();
    void save();
    void clearTape();

    Tape &m_tape;
    Platform &m_platform;
    QWidget *m_calculator;
    QListWidget *m_list = nullptr;
    bool m_placed = false;
    PathChooser m_choosePath;
    MessagePresenter m_presentMessage;
    std::function<void()> m_onClosed;
};

} // namespace korvex
