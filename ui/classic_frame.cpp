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

void ClassicFrame::setFixedGround(const QColor &ground)
{
    m_fixedGround = ground;
    update();
}

int ClassicFrame::borderTop() const
{
    return fontMetrics().height() / 2;
}

// The etched border is a dark line with a light one just inside it at the top and left and just
// outside it at the bottom and right. Both shades come from the ground, so the border shows on a
// light theme (mid grey and white on light grey) as on a dark one.
void ClassicFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor ground = palette().color(backgroundRole());
    const QRect box = rect().adjusted(0, borderTop(), 0, 0);
    if (m_fixedGround.isValid())
        painter.fillRect(box.adjusted(2, 2, -2, -2), m_fixedGround);
    painter.setPen(ground.lighter(150));
    painter.drawRect(box.adjusted(1, 1, -1, -1));
    painter.setPen(ground.darker(187));
    painter.drawRect(box.adjusted(0, 0, -2, -2));
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
