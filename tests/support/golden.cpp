// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/golden.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace korvex {

namespace {

    QString quoted(QString text)
    {
        return u'"' + text.replace(u'\n', u"\\n"_s).replace(u'\r', u"\\r"_s) + u'"';
    }

    QString captionOf(const QWidget &control)
    {
        if (const auto *label = qobject_cast<const QLabel *>(&control)) {
            if (!label->pixmap().isNull())
                return u"picture %1x%2"_s.arg(label->pixmap().width())
                    .arg(label->pixmap().height());
            return quoted(label->text());
        }
        if (const auto *button = qobject_cast<const QAbstractButton *>(&control))
            return quoted(button->text());
        if (const auto *frame = qobject_cast<const QGroupBox *>(&control))
            return quoted(frame->title());
        if (const auto *field = qobject_cast<const QLineEdit *>(&control))
            return quoted(field->text());
        return {};
    }

    QString fontOf(const QWidget &control)
    {
        const QFont font = control.font();
        return u"%1 %2%3%4"_s.arg(font.family(), QString::number(font.pointSizeF()),
            font.bold() ? u" bold"_s : QString(), font.italic() ? u" italic"_s : QString());
    }

    // A colour the control sets for itself, not the style's.
    QString coloursOf(const QWidget &control)
    {
        QString colours;
        if (control.testAttribute(Qt::WA_SetPalette)) {
            const QPalette::ColorRole role =
                qobject_cast<const QLineEdit *>(&control) ? QPalette::Base : QPalette::WindowText;
            colours += u" colour "_s + control.palette().color(role).name();
        }
        if (!control.styleSheet().isEmpty())
            colours += u" style "_s + quoted(control.styleSheet());
        return colours;
    }

    QList<const QWidget *> tabStops(const QWidget &window)
    {
        QList<const QWidget *> stops;
        for (const QWidget *widget = window.nextInFocusChain(); widget != &window;
             widget = widget->nextInFocusChain()) {
            if ((widget->focusPolicy() & Qt::TabFocus) && !stops.contains(widget))
                stops << widget;
        }
        return stops;
    }

    void describeChildren(const QWidget &parent, const QList<const QWidget *> &stops,
        const QString &indent, QStringList &lines)
    {
        for (const QObject *child : parent.children()) {
            const auto *control = qobject_cast<const QWidget *>(child);
            if (control == nullptr || qobject_cast<const QMenuBar *>(control)
                || qobject_cast<const QMenu *>(control))
                continue;
            if (control->objectName().isEmpty() || control->objectName().startsWith(u"qt_"_s)) {
                describeChildren(*control, stops, indent, lines); // a container of no design
                continue;
            }
            const QRect r = control->geometry();
            QString line = indent + control->objectName() + u' '
                + QString::fromLatin1(control->metaObject()->className()) + u' '
                + captionOf(*control)
                + u" (%1,%2 %3x%4) "_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
                + fontOf(*control);
            // The Tab key runs round a cycle: each stop names the next one.
            if (const qsizetype stop = stops.indexOf(control); stop >= 0)
                line += u" tab next "_s + stops[(stop + 1) % stops.size()]->objectName();
            if (!control->toolTip().isEmpty())
                line += u" tip "_s + quoted(control->toolTip());
            if (!control->accessibleName().isEmpty())
                line += u" spoken "_s + quoted(control->accessibleName());
            lines << line + coloursOf(*control);
            describeChildren(*control, stops, indent + u"  "_s, lines);
        }
    }

    void describeMenus(const QMainWindow &window, QStringList &lines)
    {
        for (const QAction *entry : window.menuBar()->actions()) {
            const QMenu *menu = entry->menu();
            lines << u"menu "_s + menu->objectName() + u' ' + quoted(menu->title());
            for (const QAction *item : menu->actions()) {
                QString line = u"  "_s + item->objectName() + u' ';
                line += item->isSeparator() ? u"separator"_s : quoted(item->text());
                if (!item->shortcut().isEmpty())
                    line += u" shortcut "_s + item->shortcut().toString();
                lines << line + (item->isEnabled() ? QString() : u" disabled"_s);
            }
        }
    }

} // namespace

QString describeWindow(const QWidget &window)
{
    const auto *main = qobject_cast<const QMainWindow *>(&window);
    const QWidget &client = main != nullptr ? *main->centralWidget() : window;
    QStringList lines{window.objectName() + u' ' + quoted(window.windowTitle())
        + u" client %1x%2 "_s.arg(client.width()).arg(client.height()) + fontOf(window)};
    describeChildren(window, tabStops(window), u"  "_s, lines);
    if (main != nullptr)
        describeMenus(*main, lines);
    return lines.join(u'\n') + u'\n';
}

void compareWithGolden(const QString &description, const QString &name)
{
    QFile file(QStringLiteral(KORVEX_GOLDEN_DIR "/") + name + u".txt"_s);
    if (qEnvironmentVariableIntValue("KORVEX_UPDATE_GOLDEN") == 1) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(description.toUtf8());
        qInfo("rewrote %s: review it before committing", qPrintable(file.fileName()));
        return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QStringList expected = QString::fromUtf8(file.readAll()).split(u'\n');
    const QStringList actual = description.split(u'\n');
    for (qsizetype i = 0; i < std::min(expected.size(), actual.size()); ++i)
        QCOMPARE(actual[i], expected[i]);
    QCOMPARE(actual.size(), expected.size());
}

} // namespace korvex
