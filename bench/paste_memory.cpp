// SPDX-License-Identifier: GPL-3.0-or-later
// Paste-memory benchmark: the real main window on the X platform pastes whatever another program
// holds on the clipboard (100 MB of digits in `make bench`), then "+ 3 =" is clicked. Prints the
// peak resident growth (VmHWM over the resident size before the paste) after the paste and at "=".
#include "ui/calculator.h"
#include "ui/module1.h"
#include "ui/platform.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <cstdio>

namespace {

// A field of /proc/self/status in kibibytes.
long statusKib(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Writing 5 to clear_refs starts the peak (VmHWM) afresh from the present resident size.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double mib(long kib)
{
    return static_cast<double>(kib) / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    korvex::Module1 module;
    korvex::Platform platform;
    korvex::Calculator calculator(module, platform);
    calculator.setMessagePresenter([](const korvex::Message &) {});
    calculator.show();
    QApplication::processEvents();

    resetPeak();
    const long before = statusKib("VmRSS:");
    emit calculator.findChild<QMenu *>(QStringLiteral("Mnu_Edition"))->aboutToShow();
    calculator.findChild<QAction *>(QStringLiteral("Mnu_Coller"))->trigger();
    QApplication::processEvents();
    const long afterPaste = statusKib("VmHWM:");
    const auto click = [&calculator](const char *name) {
        calculator.findChild<QPushButton *>(QString::fromLatin1(name))->click();
        QApplication::processEvents();
    };
    const std::size_t pasted = calculator.state().readout.size();
    click("Operator1");
    click("Number3");
    click("Operator4");
    const long atEquals = statusKib("VmHWM:");
    std::printf("pasted %.1f MB; resident before %.1f MiB; peak growth: paste %.1f MiB, "
                "at \"=\" %.1f MiB\n",
        static_cast<double>(pasted) / 1e6, mib(before), mib(afterPaste - before),
        mib(atEquals - before));
    return 0;
}
