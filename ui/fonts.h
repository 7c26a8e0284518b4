// Fonts and units of the windows, which are laid out in twips with Windows font names.
#pragma once

#include <QFont>
#include <QRect>

namespace korvex {

// Maps the Windows font names of the layout onto free fonts with the same metrics or spirit.
void InstallFontSubstitutes();

QFont controlFont(qreal points, bool bold = false, bool italic = false);
QFont comicFont(qreal points, bool bold = false);

// 15 twips are one pixel at 96 dots per inch.
int twipsToPixels(int twips);
QRect twipsRect(int left, int top, int width, int height);

} // namespace korvex
