// SPDX-License-Identifier: GPL-3.0-or-later
// The About window: the program's name and version, the maker's links, and the
// system-information tool.
#pragma once

#include "engine/host.h"

#include <QDialog>
#include <functional>
#include <map>
#include <vector>

class QCursor;
class QLabel;
class QPushButton;

namespace korvex {

class Platform;

class frmAbout : public QDialog
{
    Q_OBJECT

public:
    using MessagePresenter = std::function<void(const Message &)>;

    explicit frmAbout(Platform &platform, QWidget *parent = nullptr);

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
    std::map<QObject *, Handler> m_links;
    QPushButton *m_cmdOK = nullptr;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
};

} // namespace korvex
