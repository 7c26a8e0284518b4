// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts, units and frame shared by the windows, which are laid out in twips with Windows font
// names.
#pragma once

#include <QFont>
#include <QRect>

class QDialog;
class QWidget;

namespace korvex {

// Maps the Windows font names of the layout onto free fonts with the same metrics or spirit.
void InstallFontSubstitutes();

QFont controlFont(qreal points, bool bold = false, bool italic = false);
QFont comicFont(qreal points, bool bold = false);

// 15 twips are one pixel at 96 dots per inch.
int twipsToPixels(int twips);
QRect twipsRect(int left, int top, int width, int height);

// What any window needs before it draws, whichever opens first: the compiled-in pictures, the
// font substitutes, its name and the program icon.
void PrepareWindow(QWidget &window, const QString &name);
// A fixed-size dialog with a close box as its only title-bar button.
void PrepareFixedDialog(QDialog &dialog, const QString &name, int widthTwips, int heightTwips);

} // namespace korvex
