// SPDX-License-Identifier: GPL-3.0-or-later
// The modal message box every window of the program shows for the core's messages.
#pragma once

class QWidget;

namespace korvex {

struct Message;

// Returns when the user has closed the box. Plain text only; a carriage return breaks the line.
void presentMessageBox(const Message &message, QWidget *parent);

} // namespace korvex
