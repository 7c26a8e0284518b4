// SPDX-License-Identifier: GPL-3.0-or-later
// Asks the X clipboard's owner what it offers, on a connection of our own with a deadline of ours.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace korvex {

struct X11ClipboardTargets
{
    enum class Answer {
        Given, // the owner answered, or nobody owns the clipboard
        NoAnswer, // the owner did not answer in time: it may be hung
        NoConnection // no X server of our own to ask
    };
    Answer answer = Answer::NoConnection;
    // The text formats among those offered, the best first: "text/plain;charset=utf-8",
    // "UTF8_STRING", "text/plain", "STRING", "TEXT".
    std::vector<std::string> text;
};

// One TARGETS request to the CLIPBOARD selection's owner, waiting at most `wait` for its answer.
X11ClipboardTargets AskClipboardTargets(std::chrono::milliseconds wait);

} // namespace korvex
