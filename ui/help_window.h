// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard-help window: the calculator's keyboard commands and the meaning of the memory
// indicator, fixed at build time.
#pragma once

#include <QDialog>

namespace korvex {

class FrmAide : public QDialog
{
    Q_OBJECT

public:
    explicit FrmAide(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Command1_Click();
};

} // namespace korvex
