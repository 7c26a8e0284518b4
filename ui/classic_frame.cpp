// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classic_frame.h"

#include <QPainter>

namespace korvex {

namespace {

    // The caption starts this far from the frame's left edge, with a little bare ground on both
    // sides that breaks the border.
    constexpr int captionLeft = 8;
    constexpr int captionGap = 2;

} // namespace

ClassicFrame::ClassicFrame(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
{
}

int ClassicFrame::borderTop() const
{
    return fontMetrics().height() / 2;
}

// The etched border is a dark line with a light one just inside it at the top and left and just
// outside it at the bottom and right. Both shades come from the ground, so the border shows on a
// light theme (mid grey and white on light grey) as on a dark one. The lines are filled rather
// than stroked: a stroked line lands half a pixel off at scale 2.
void ClassicFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor ground = palette().color(backgroundRole());
    const int top = borderTop();
    const auto outline = [&painter](QRect box, const QColor &colour) {
        painter.fillRect(box.left(), box.top(), box.width(), 1, colour);
        painter.fillRect(box.left(), box.bottom(), box.width(), 1, colour);
        painter.fillRect(box.left(), box.top(), 1, box.height(), colour);
        painter.fillRect(box.right(), box.top(), 1, box.height(), colour);
    };
    outline(QRect(1, top + 1, width() - 1, height() - top - 1), ground.lighter(150));
    outline(QRect(0, top, width() - 1, height() - top - 1), ground.darker(187));
    if (title().isEmpty())
        return;
    const QFontMetrics metrics = fontMetrics();
    const QRect caption(captionLeft, 0, metrics.horizontalAdvance(title()), metrics.height());
    painter.fillRect(caption.adjusted(-captionGap, 0, captionGap, 0), ground);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
}

void setFixedColours(QWidget &widget, const QColor &text, const QColor &ground)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, ground);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace korvex
