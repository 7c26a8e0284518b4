// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/recording_host.h"

#include <QTest>

namespace korvex {

RecordingHost::RecordingHost(CalculatorState *state)
    : m_state(state)
{
}

void RecordingHost::showMessage(const Message &message)
{
    messages.push_back(message);
    events += "[" + message.text + " | " + (m_state ? m_state->readout : std::string()) + "]";
}

void RecordingHost::runLoadStep()
{
    QVERIFY2(m_state != nullptr, "nothing here runs the load step");
    if (onLoad)
        onLoad();
    ResetCalculator(*m_state);
    events += "load ";
}

void RecordingHost::moveFocusToEquals()
{
    ++focusMoves;
    events += "focus ";
}

} // namespace korvex
