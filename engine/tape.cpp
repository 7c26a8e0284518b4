// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tape.h"

#include "engine/host.h"
#include "engine/readout.h"

namespace korvex {

bool Tape::add(std::string_view entry)
{
    if (entry == TapeSeparator && (m_entries.empty() || m_entries.back() == TapeSeparator))
        return false;
    if (m_entries.size() == Capacity)
        m_entries.pop_front();
    m_entries.emplace_back(entry);
    return true;
}

std::string Tape::text() const
{
    std::string text;
    for (const std::string &entry : m_entries) {
        text += entry;
        text += '\n';
    }
    return text;
}

std::string TapeNumber(const Operand &operand)
{
    if (const auto number = OperandToNumber(operand))
        return NumberToText(*number);
    return OperandToText(operand);
}

std::string FailedEntry(std::string_view attempt, const Message &message)
{
    return std::string(attempt) + " : " + message.text;
}

} // namespace korvex
