// SPDX-License-Identifier: GPL-3.0-or-later
// Checks shared by the tests of the program's fixed dialogs: the frame, texts that fit, and the
// ways a dialog closes.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;
class QSize;

namespace korvex {

// Runs the dialog's own modal loop and acts once it is up and active. A guard ends a loop that the
// action left running, so a failing test cannot hang: exec then answers -1.
int runModal(QDialog &dialog, const std::function<void(QWidget *)> &action);

// A fixed size, a close box as the only title-bar button, the program's icon.
void checkFixedFrame(const QDialog &dialog, const QString &title, const QSize &size);

// No text is clipped or leaves its frame, and no two texts of a frame overlap.
void checkTextsFit(const QDialog &dialog);

enum class Closing { OkClicked, AltO, Enter, Escape, CloseBox };

// Keys go to the focused control, which must be the OK button. After the action the dialog is
// closed with OK if it is still open; OK accepts it. Whether the action closed it is checked.
void checkClosing(QDialog &dialog, const QString &ok, Closing how, bool closes);

} // namespace korvex
