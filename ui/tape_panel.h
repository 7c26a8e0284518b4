// SPDX-License-Identifier: GPL-3.0-or-later
// The paper tape: a panel at the right of the calculator's keypad, in the calculator's own window,
// to read, copy, save and clear. It never covers the keypad and never keeps the keyboard: its
// buttons take no focus, and the calculator hands back to "=" whatever is typed into its list.
#pragma once

#include <QWidget>
#include <functional>

class QListWidget;
class QPushButton;

namespace korvex {

class Platform;
class Tape;
struct Message;

class TapePanel : public QWidget
{
    Q_OBJECT

public:
    using PathChooser = std::function<QString(const QString &proposed)>; // empty: cancelled
    using MessagePresenter = std::function<void(const Message &)>;

    // `height` is the keypad's, in pixels: the panel stands beside it, as tall.
    TapePanel(Tape &tape, Platform &platform, int height, QWidget *parent);

    // Shows every entry, the newest at the bottom and in view.
    void showTape();
    // The tape has a new last entry.
    void showNewEntry();
    // The list of lines, where the keyboard goes to move through them.
    QListWidget *list() const { return m_list; }

    // Tests answer the file dialog and record message boxes through these instead of blocking.
    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }
    void setMessagePresenter(MessagePresenter presenter)
    {
        m_presentMessage = std::move(presenter);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *addButton(
        const QString &caption, const QString &name, void (TapePanel::*action)());
    void copySelection();
    void copyAll();
    void save();
    void clearTape();

    Tape &m_tape;
    Platform &m_platform;
    QListWidget *m_list = nullptr;
    PathChooser m_choosePath;
    MessagePresenter m_presentMessage;
};

} // namespace korvex
