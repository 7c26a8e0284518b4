// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_window.h"

#include <QTest>
#include <clocale>

namespace korvex {

FakeWindow::FakeWindow()
{
    ResetCalculator(state);
    settings.ConversionRate = 6.55957;
    settings.VatRate = 19.6;
    settings.ResultFormat = 2;
}

void FakeWindow::press(std::string_view letters)
{
    for (const char letter : letters) {
        const Button *button = buttonOf(letter);
        QVERIFY2(button, std::string("no button for ").append(1, letter).c_str());
        button->click(*this, *this);
    }
}

std::string FakeWindow::tapeLines() const
{
    std::string joined;
    for (const std::string &entry : tape.entries())
        joined += (joined.empty() ? "" : "|") + entry;
    return joined;
}

void FakeWindow::showMessage(const Message &message)
{
    messages += letterOf(message);
    const std::string seen = letterOf(message) + ("(" + state.readout + ")");
    shown += seen;
    events += seen + " ";
}

void FakeWindow::runLoadStep()
{
    ComposeMemoryTooltip(memory);
    ResetCalculator(state);
    events += "load ";
}

void FakeWindow::moveFocusToEquals()
{
    ++focusMoves;
    events += "focus ";
}

void frenchLocaleIsInEffect()
{
    if (qgetenv("LC_ALL") != "fr_FR.UTF-8")
        QSKIP("run through CTest to get the French locale");
    QCOMPARE(std::string(std::localeconv()->decimal_point), std::string(","));
}

} // namespace korvex
