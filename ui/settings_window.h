// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog Form1: the conversion rate, the VAT rate and the result format of the
// currency conversions. What its buttons do to the settings lives in conversion/settings_dialog.h.
#pragma once

#include <QDialog>
#include <array>
#include <vector>

class QLineEdit;
class QRadioButton;

namespace korvex {

class FileSystem;
class Host;
struct Settings;

class Form1 : public QDialog
{
    Q_OBJECT

public:
    // Made afresh at each opening, so it starts from the settings in force. A failed save is shown
    // through host.
    Form1(Settings &settings, FileSystem &files, Host &host, QWidget *parent = nullptr);
    ~Form1() override;

    // Places the dialog centred over a window that does not own it, whole on that window's screen,
    // and keeps it in front of that window.
    void centreOver(const QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct ControlRow;
    using Handler = void (Form1::*)();

    static std::vector<ControlRow> controlTable();
    void buildControls();
    QWidget *makeControl(const ControlRow &row, QWidget *parent);
    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    Settings &m_settings;
    FileSystem &m_files;
    Host &m_host;
    std::vector<ControlRow> m_controls; // each row with the control made from it
    std::array<QLineEdit *, 2> m_Text{}; // Text1, the conversion rate, and Text2, the VAT rate
    std::array<QRadioButton *, 4> m_Option{}; // Option1 to Option4
};

} // namespace korvex
