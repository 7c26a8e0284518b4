// SPDX-License-Identifier: GPL-3.0-or-later
// What the calculator core asks of the window it runs in, and the messages it shows there.
#pragma once

#include <string>
#include <string_view>

namespace korvex {

enum class MessageIcon { None, Information, Warning, Error };

struct Message
{
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;

    friend bool operator==(const Message &, const Message &) = default;
};

// "Dépacement" on purpose: the engine's text differs from the conversion's.
inline const Message OverflowMessage{"Dépacement de capacité !", "Erreur", MessageIcon::Error};
inline const Message DivisionByZeroMessage{
    "Division par zéro.", "Calculatrice", MessageIcon::Warning};

// Every call happens at the very step of an action where the window must act, so the window can
// show the state of that moment while a message box is open.
class Host
{
public:
    virtual ~Host() = default;
    virtual void showMessage(const Message &message) = 0; // modal: returns when closed
    virtual void runLoadStep() = 0; // the window's Form_Load
    virtual void moveFocusToEquals() = 0;
    // One line of the paper tape, given when a computation completes or fails. Not pure: a window
    // or a test that keeps no tape has nothing to do here.
    virtual void record(std::string_view /*entry*/) { }
};

} // namespace korvex
