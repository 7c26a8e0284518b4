// SPDX-License-Identifier: GPL-3.0-or-later
// A host that records what the window would do, for the tests of the core and of the dialogs.
#pragma once

#include "engine/calculator_state.h"
#include "engine/host.h"

#include <functional>
#include <string>
#include <vector>

namespace korvex {

// Each message with the readout of the moment it opens, each load step (which resets the state, as
// the window's does) and each move of the focus, in order in events.
class RecordingHost : public Host
{
public:
    // Without a state, nothing may run the load step: a call fails the test.
    explicit RecordingHost(CalculatorState *state = nullptr);

    void showMessage(const Message &message) override;
    void runLoadStep() override;
    void moveFocusToEquals() override;

    std::vector<Message> messages;
    std::string events;
    int focusMoves = 0;
    std::function<void()> onLoad; // what the window's load step does besides the reset

private:
    CalculatorState *m_state;
};

} // namespace korvex
