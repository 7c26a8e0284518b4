// SPDX-License-Identifier: GPL-3.0-or-later
// Asks the X clipboard's owner what it offers and fetches its text, on a connection of our own
// with deadlines of ours.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
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
    std::uint32_t owner = 0; // the owner's window; 0 when nobody owns the clipboard
};

// One TARGETS request to the CLIPBOARD selection's owner, waiting at most `wait` for its answer.
X11ClipboardTargets AskClipboardTargets(std::chrono::milliseconds wait);

struct X11ClipboardText
{
    enum class Answer {
        Given, // the whole text arrived
        Unreadable, // no answer in time, a refusal, an owner gone or a transfer cut short
        NoConnection // no X server of our own to ask
    };
    Answer answer = Answer::NoConnection;
    std::string text; // UTF-8; only when Given
    std::uint32_t owner = 0; // the window that was asked
};

// The clipboard's text in `target`, one of the formats above, read whole, large texts sent in
// pieces included. `wait` bounds the wait for the owner's answer and, for a text sent in pieces,
// the wait for each next piece: a transfer that keeps moving takes as long as it needs. `idle`
// runs every few milliseconds meanwhile, so the caller's window keeps painting.
X11ClipboardText ReadClipboardText(
    const std::string &target, std::chrono::milliseconds wait, const std::function<void()> &idle);

} // namespace korvex
