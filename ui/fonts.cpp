// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"

#include <QDialog>
#include <QIcon>

// The pictures are compiled into the static ui library; nothing else would pull them into the
// program.
static void initResources()
{
    Q_INIT_RESOURCE(korvex);
}

namespace korvex {

namespace {
    const QString windowsSans = QStringLiteral("MS Sans Serif");
    const QString windowsComic = QStringLiteral("Comic Sans MS");
} // namespace

void InstallFontSubstitutes()
{
    // Liberation Sans has Arial's metrics, the closest free match for the captions' widths.
    QFont::insertSubstitution(windowsSans, QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(windowsComic, QStringLiteral("Comic Neue"));
}

QFont controlFont(qreal points, bool bold, bool italic)
{
    QFont font(windowsSans);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont comicFont(qreal points, bool bold)
{
    QFont font(windowsComic);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Comic Neue kerns a period into the foot of a "1": "Version 1.3.0" would read 13.0.
    font.setKerning(false);
    // At 8.25 points its periods are a pixel wide and half a pixel apart: "Détails..." would end
    // in "..", and the "1" of "1.3.0" would swallow its period. Half a pixel more between letters
    // keeps every dot apart; each caption still fits its box.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    return font;
}

int twipsToPixels(int twips)
{
    return qRound(twips / 15.0);
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

void PrepareWindow(QWidget &window, const QString &name)
{
    initResources();
    InstallFontSubstitutes();
    window.setObjectName(name);
    window.setWindowIcon(QIcon(QStringLiteral(":/korvex/icons/korvex-32.png")));
}

void PrepareFixedDialog(QDialog &dialog, const QString &name, int widthTwips, int heightTwips)
{
    PrepareWindow(dialog, name);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

} // namespace korvex
