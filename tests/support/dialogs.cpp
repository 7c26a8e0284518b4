// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace korvex {

int runModal(QDialog &dialog, const std::function<void(QWidget *)> &action)
{
    QTimer::singleShot(0, &dialog, [action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (QTest::qWaitForWindowActive(modal))
            action(modal);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [&dialog] { dialog.done(-1); });
    guard.start(5000);
    return dialog.exec();
}

void checkFixedFrame(const QDialog &dialog, const QString &title, const QSize &size)
{
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(dialog.minimumSize(), size);
    QCOMPARE(dialog.maximumSize(), size);
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!dialog.windowIcon().isNull());
}

void checkTextsFit(const QDialog &dialog)
{
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    const auto textArea = [](const QLabel *label) {
        return QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
            label->sizeHint().boundedTo(label->size()), label->geometry());
    };
    for (const QLabel *label : labels) {
        if (label->text().isEmpty())
            continue;
        const QString name = label->objectName();
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), qPrintable(name));
        for (const QLabel *other : labels)
            if (other != label && !other->text().isEmpty()
                && other->parentWidget() == label->parentWidget())
                QVERIFY2(!textArea(other).intersects(textArea(label)),
                    qPrintable(name + u" overlaps "_s + other->objectName()));
    }
}

void checkClosing(QDialog &dialog, const QString &ok, Closing how, bool closes)
{
    QString focused;
    bool closed = false;
    const auto clickOk = [&dialog, &ok] {
        QTest::mouseClick(dialog.findChild<QWidget *>(ok), Qt::LeftButton);
    };
    const int result = runModal(dialog, [&](QWidget *modal) {
        QWidget *focus = QApplication::focusWidget();
        focused = focus->objectName();
        switch (how) {
        case Closing::OkClicked:
            clickOk();
            break;
        case Closing::AltO:
            QTest::keyClick(focus, Qt::Key_O, Qt::AltModifier);
            break;
        case Closing::Enter:
            QTest::keyClick(focus, Qt::Key_Return);
            break;
        case Closing::Escape:
            QTest::keyClick(focus, Qt::Key_Escape);
            break;
        case Closing::CloseBox:
            modal->close();
            break;
        }
        // An access key presses its button after a short show of it being pressed.
        closed = QTest::qWaitFor([modal] { return !modal->isVisible(); }, 500);
        if (!closed)
            clickOk();
    });
    QCOMPARE(focused, ok);
    QCOMPARE(closed, closes);
    QCOMPARE(result, int(QDialog::Accepted)); // the way "OK" closes it
}

} // namespace korvex
