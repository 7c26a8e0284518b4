// SPDX-License-Identifier: GPL-3.0-or-later
// The designed texts and geometry of a window, written out as text and compared with a reviewed
// golden file.
#pragma once

#include <QString>

class QWidget;

namespace korvex {

// One line per named control, children indented under their frame: class, caption, rectangle in
// pixels from the parent's corner, font, the next stop of the Tab key, tooltip, spoken name and any
// colour or style of its own; then every menu with its items and shortcuts.
QString describeWindow(const QWidget &window);

// Compares with tests/ui/golden/<name>.txt line by line. With KORVEX_UPDATE_GOLDEN=1 in the
// environment the file is rewritten instead, to be reviewed before it is committed.
void compareWithGolden(const QString &description, const QString &name);

} // namespace korvex
