// SPDX-License-Identifier: GPL-3.0-or-later
// The paper tape: one line for every computation the calculator completes, kept in memory for the
// run, with the texts that compose those lines.
#pragma once

#include "engine/operand.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace korvex {

struct Message;

// Written at each reset of the calculator, never twice in a row.
inline constexpr std::string_view TapeSeparator = "----";

class Tape
{
public:
    static constexpr std::size_t Capacity = 1000;

    // False when nothing was added: a separator right after another, or at the top of an empty
    // tape, separates nothing. Beyond the capacity the oldest entry goes.
    bool add(std::string_view entry);
    void clear() { m_entries.clear(); }
    const std::deque<std::string> &entries() const { return m_entries; }
    // One entry per line, each ended by a line feed: what is copied and what is saved.
    std::string text() const;

private:
    std::deque<std::string> m_entries;
};

// How the tape writes an operand: the number it reads as, as the readout writes numbers ("2," is
// written 2, "1 234,50" is written 1234,5); a text that is no number stays as it is.
std::string TapeNumber(const Operand &operand);

// "<what was attempted> : <the message's text>".
std::string FailedEntry(std::string_view attempt, const Message &message);

} // namespace korvex
