// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_box.h"

#include "engine/host.h"

#include <QMessageBox>

namespace korvex {

namespace {

    QMessageBox::Icon boxIcon(MessageIcon icon)
    {
        switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
        }
        return QMessageBox::NoIcon;
    }

} // namespace

void presentMessageBox(const Message &message, QWidget *parent)
{
    // Qt's labels break lines at line feeds only.
    QString text = QString::fromStdString(message.text);
    text.replace(u'\r', u'\n');
    QMessageBox box(boxIcon(message.icon), QString::fromStdString(message.title), text,
        QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace korvex
