// SPDX-License-Identifier: GPL-3.0-or-later
// The classic look the windows were laid out for: frames with an etched border through the middle
// of their caption, and text colours that keep the ground they were chosen against.
#pragma once

#include <QColor>
#include <QGroupBox>

namespace korvex {

// The ground of the classic desktop the fixed text colours were chosen on (blue links, the red
// memory sample). Under a dark theme it stays, so those colours keep their contrast.
inline const QColor ClassicGround(0xF0, 0xF0, 0xF0);

// A frame drawn as the classic desktop drew it: the caption's top at the frame's top, near its
// left end, and the two-tone etched border half a caption high, so the caption sits on the line.
// The toolkit's own styles put the caption above the box and push the box a caption lower, which
// lands every frame well below where the layout places it.
class ClassicFrame : public QGroupBox
{
public:
    explicit ClassicFrame(const QString &caption, QWidget *parent = nullptr);

    // The border's top edge, from the frame's top: half the caption's line height.
    int borderTop() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Gives a widget's text a fixed colour together with the fixed ground it was chosen against.
void setFixedColours(QWidget &widget, const QColor &text, const QColor &ground);

} // namespace korvex
