// SPDX-License-Identifier: GPL-3.0-or-later
// The one fake host of the tests: the main window reduced to the core it holds and a record of what
// the core asks of it (the load step, the focus, message boxes, tape lines).
#pragma once

#include "engine/tape.h"
#include "tests/support/keypad.h"

#include <string>
#include <string_view>

namespace korvex {

// Starts as the window does: the calculator reset, and the settings in force without a settings
// file (6.55957 francs per euro, 19.6 % VAT, 2 decimals).
class FakeWindow : public Host, public Core
{
public:
    FakeWindow();
    // Clicks the buttons of the letters in turn; a letter that is no button fails the test.
    void press(std::string_view letters);
    // The tape's lines joined with "|".
    std::string tapeLines() const;

    void showMessage(const Message &message) override;
    void runLoadStep() override; // memory tooltip and reset, as the window's
    void moveFocusToEquals() override;
    void record(std::string_view entry) override { tape.add(entry); }

    std::string messages; // each by its letter: "D"
    std::string shown; // each by its letter with the readout behind the box: "D(0,)"
    std::string events; // in order: "focus ", "load ", and each message as in shown: "D(0,) "
    int focusMoves = 0;
    Tape tape;
};

// CTest runs the core tests under LC_ALL=fr_FR.UTF-8, which QCoreApplication applies to the C
// library: their rows then show that no number text follows the process locale. Skips when run
// without it.
void frenchLocaleIsInEffect();

} // namespace korvex
