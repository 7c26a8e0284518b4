// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the readout, the calculator's buttons, its menus and its keyboard.
#pragma once

#include "engine/calculator_state.h"
#include "engine/host.h"
#include "ui/key_map.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;

namespace korvex {

class Platform;
class TapePanel;
struct Module1;

class Calculator : public QMainWindow, public Host
{
    Q_OBJECT

public:
    using MessagePresenter = std::function<void(const Message &)>;
    using DialogRunner = std::function<void(QDialog &)>;

    Calculator(Module1 &module, Platform &platform, QWidget *parent = nullptr);
    ~Calculator() override;

    void Form_Load();
    void Form_Activate();

    // Tests record message boxes and close dialogs through these instead of blocking.
    void setMessagePresenter(MessagePresenter presenter);
    void setDialogRunner(DialogRunner runner);

    const CalculatorState &state() const { return m_state; }
    CalculatorState &state() { return m_state; }
    const QLabel *readout() const { return m_Readout; } // heard whole by screen readers

    void showMessage(const Message &message) override;
    void runLoadStep() override;
    void moveFocusToEquals() override;
    void record(std::string_view entry) override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class KeyHandler { None, Operator, Number, Decimal };
    struct ButtonRow;

    std::vector<ButtonRow> buttonTable();
    static KeyHandler keyHandlerOf(KeyCommand command);
    void buildButtons();
    void buildLabels(QWidget *client);
    void buildMenus();
    void refresh();
    void act(const std::function<void()> &action, const std::function<void()> &trap);
    void perform(KeyAction action);
    bool handleKey(
        QPushButton *button, KeyHandler handler, const QString &text, int key, bool control);
    void showOwnWindow(QDialog &dialog);
    bool tapeHasFocus() const;
    void switchPane();
    bool typedIntoTape(const QKeyEvent &keyEvent);

    void Number_Click(std::int16_t index);
    void Operator_Click(std::int16_t index);
    void Operator_KeyPress(int &keyCode);
    void Number_KeyPress(int &keyCode);
    void Decimal_KeyPress(int &keyCode);
    void Command2_Click();
    void Command7_Click();
    void Command14_Click();
    void Command21_Click();
    void Mnu_Edition_Click();
    void Mnu_Copier_Click();
    void Mnu_Coller_Click();
    void Mnu_Historique_Click();
    void MnuQuitter_Click();

    Module1 &m_module;
    Platform &m_platform;
    CalculatorState m_state;
    std::string m_settingsDirectory;
    MessagePresenter m_presentMessage;
    DialogRunner m_runDialog;

    std::vector<ButtonRow> m_buttons; // each row with the button made from it
    QPushButton *m_equals = nullptr;
    QPushButton *m_Command9 = nullptr; // its tooltip shows the memory
    std::map<QObject *, KeyHandler> m_keyHandlers;
    QLabel *m_Readout = nullptr;
    QLabel *m_Label1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QMenu *m_Mnu_Edition = nullptr;
    QAction *m_Mnu_Coller = nullptr;
    QAction *m_Mnu_Historique = nullptr;
    QWidget *m_client = nullptr; // the designed client area, left of the tape
    TapePanel *m_tapePanel = nullptr; // made at its first showing, then hidden and shown
};

} // namespace korvex
