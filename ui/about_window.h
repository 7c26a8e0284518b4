// SPDX-License-Identifier: GPL-3.0-or-later
// The About window: the program's name and version, the maker's links, and the
// system-information tool.
#pragma once

#include "engine/host.h"

#include <QDialog>
#include <functional>
#include <vector>

class QCursor;

namespace korvex {

class Platform;

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    using MessagePresenter = std::function<void(const Message &)>;

    explicit frmAbout(Platform &platform, QWidget *parent = nullptr);
    ~frmAbout() override;

    // Tests record message boxes through this instead of blocking.
    void setMessagePresenter(MessagePresenter presenter);

    // Escape and the close box press "OK".
    void reject() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct ControlRow;
    using Handler = void (frmAbout::*)();

    static std::vector<ControlRow> controlTable();
    void buildControls();
    QWidget *makeControl(const ControlRow &row, const QCursor &linkCursor);
    const ControlRow *linkOf(const QObject *control) const;
    void Form_Load();
    void cmdOK_Click();
    void Command1_Click();
    void cmdSysInfo_Click();
    void Image2_Click();
    void Label3_Click();
    void lblDisclaimer_Click();
    void openLink(const QString &target);

    Platform &m_platform;
    MessagePresenter m_presentMessage;
    std::vector<ControlRow> m_controls; // each row with the control made from it
};

} // namespace korvex
