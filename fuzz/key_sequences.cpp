// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the calculator core as the main window drives it: button presses, characters
// typed on the focused button, pasted texts and settings changed in the dialog, in any order and
// number. After every step the state must be one the window can show; wherever the harness's own
// model of the calculation (fuzz/pocket_model.h) can follow, the readout and any message box must
// be the ones it works out.
#include "conversion/file_system.h"
#include "conversion/settings_dialog.h"
#include "conversion/settings_file.h"
#include "engine/readout.h"
#include "fuzz/pocket_model.h"
#include "fuzz/property_check.h"
#include "tests/support/keypad.h"
#include "ui/edit_menu.h"
#include "ui/key_map.h"
#include "ui/typed_key.h"

#include <QtCore/qnamespace.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using namespace korvex;
using fuzz::require;

namespace {

// No settings file: whenever the load step reads, it takes the defaults.
class NoFiles : public PosixFileSystem
{
public:
    bool isRegularFile(const std::string &) const override { return false; }
    std::optional<std::string> readStart(const std::string &, std::size_t) const override
    {
        return std::nullopt;
    }
};

constexpr std::array<std::string_view, 6> inputStates{"NONE", "NUMS", "NEG", "OPS", "Ops", "CE"};
constexpr std::array<std::string_view, 7> pendingOperators{" ", "+", "-", "X", "/", "=", "%"};
constexpr std::array<std::string_view, 5> statusLabels{
    "", " Francs ", " € Euros ", " T.T.C. ", " H.T. "};

template <std::size_t N>
bool isOneOf(std::string_view text, const std::array<std::string_view, N> &texts)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string describe(const CalculatorState &state)
{
    std::array<char, 8> count{};
    const auto end = std::to_chars(count.data(), count.data() + count.size(), state.OperandCount);
    return "readout \"" + state.readout + "\", InputState \"" + state.InputState
        + "\", PendingOperator \"" + state.PendingOperator + "\", OperandCount "
        + std::string(count.data(), end.ptr);
}

// The value of a readout text as the harness reads it, for the plain forms only: blanks around,
// one "€" at the end, a sign, digits, a comma, an exponent. Anything else (group separators, a
// period, letters) is nothing here, and the memory is no longer tracked until it is set again.
std::optional<double> valueOf(std::string_view text)
{
    constexpr std::array<std::string_view, 6> blanks{
        " ", "\t", "\r", "\n", "\xC2\xA0", "\xE2\x80\xAF"};
    const auto trim = [&](std::string_view &t) {
        bool trimmed = true;
        while (trimmed) {
            trimmed = false;
            for (const std::string_view blank : blanks) {
                if (t.starts_with(blank)) {
                    t.remove_prefix(blank.size());
                    trimmed = true;
                }
                if (t.ends_with(blank)) {
                    t.remove_suffix(blank.size());
                    trimmed = true;
                }
            }
        }
    };
    trim(text);
    if (text.ends_with("\xE2\x82\xAC")) {
        text.remove_suffix(3);
        trim(text);
    }
    std::string plain;
    for (const char c : text) {
        if (c == ',')
            plain += '.';
        else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'E' || c == 'e')
            plain += c;
        else
            return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(
        plain.data(), plain.data() + plain.size(), value, std::chars_format::general);
    if (error != std::errc{} || end != plain.data() + plain.size() || plain.empty())
        return std::nullopt;
    return value;
}

enum class HostCall { None, Message, LoadStep, Focus };

// The window around the core: the load step as the main window runs it, and a record of what
// the core last asked of it.
class Calculation : public Host, public Core
{
public:
    Calculation() { Form_Load(); }

    void showMessage(const Message &message) override
    {
        require(std::string_view("ODEV").find(letterOf(message)) != std::string_view::npos,
            "every message is one of the calculator's own", message.text);
        checkState(); // the user sees this state behind the box
        lastCall = HostCall::Message;
        lastMessage = &message;
        ++messageCount;
    }
    void runLoadStep() override
    {
        Form_Load();
        lastCall = HostCall::LoadStep;
    }
    void moveFocusToEquals() override { lastCall = HostCall::Focus; }

    void checkState() const
    {
        // The state is described only when a property fails: the checks run after every step.
        const auto check = [this](bool holds, std::string_view property) {
            if (!holds)
                fuzz::fail(property, describe(state));
        };
        check(!state.readout.empty() || readoutMayBeEmpty,
            "the readout is empty only when an empty text was pasted");
        check(state.OperandCount >= 0, "OperandCount is never negative");
        check(isOneOf(state.InputState, inputStates), "InputState holds one of its tags");
        check(isOneOf(state.PendingOperator, pendingOperators),
            "PendingOperator holds one of its texts");
        check(isOneOf(state.label1, statusLabels), "Label1 holds one of its texts");
        if (memoryValue) { // as printf writes it at 15 digits, after a blank or a minus
            std::array<char, 40> digits{};
            std::snprintf(digits.data(), digits.size(), "%.15G", std::fabs(*memoryValue));
            require(memory.tooltip
                    == std::string("Rappelle la mémoire M = ") + (*memoryValue < 0 ? "-" : " ")
                        + digits.data(),
                "the MR tooltip tells the memory's value", memory.tooltip);
        }
        require(memory.indicator.empty() || memory.indicator == "M",
            "the memory indicator is empty or M", memory.indicator);
        // Only MS and M+ light the indicator, only MC puts it out, and MC leaves 0.
        const bool holdsZero = std::holds_alternative<std::monostate>(memory.MemoryValue)
            || memory.MemoryValue == Operand{0.0};
        require(memory.indicator == "M"
                ? !std::holds_alternative<std::monostate>(memory.MemoryValue)
                : holdsZero,
            "the indicator agrees with the memory", memory.tooltip);
    }

    // An empty readout can only come from an empty paste: that text itself, or the same text
    // taken as an operand and shown again.
    bool holdsEmptyPaste() const
    {
        const Operand empty{std::string()};
        return emptyPasted
            && (state.readout.empty() || state.FirstOperand == empty || state.SecondOperand == empty
                || memory.MemoryValue == empty);
    }

    HostCall lastCall = HostCall::None;
    int messageCount = 0;
    bool emptyPasted = false;
    bool readoutMayBeEmpty = false; // during the current step
    fuzz::PocketModel model;
    const Message *lastMessage = nullptr; // the last one shown
    std::optional<double> memoryValue = 0.0; // as tracked here; nothing once unknown

private:
    void Form_Load()
    {
        ComposeMemoryTooltip(memory);
        LoadSettings(settings, "program", m_files);
        ResetCalculator(state);
    }

    NoFiles m_files;
};

// The letter of the button a key command clicks, as the window's key handlers do; 0 for quitting
// and for refused keys.
char buttonLetterOf(KeyAction action)
{
    if (action.command == KeyCommand::Digit)
        return static_cast<char>('0' + action.index);
    if (action.command == KeyCommand::Operator)
        return std::string_view("/+X-=").at(static_cast<std::size_t>(action.index));
    constexpr std::array<std::pair<KeyCommand, char>, 13> others{{{KeyCommand::Decimal, ','},
        {KeyCommand::Percent, '%'}, {KeyCommand::Backspace, '<'}, {KeyCommand::Cancel, 'C'},
        {KeyCommand::CancelEntry, 'E'}, {KeyCommand::Negate, 'N'}, {KeyCommand::Square, 'x'},
        {KeyCommand::SquareRoot, 'v'}, {KeyCommand::Inverse, 'i'}, {KeyCommand::Pi, 'p'},
        {KeyCommand::Sine, 's'}, {KeyCommand::Cosine, 'o'}, {KeyCommand::Tangent, 't'}}};
    for (const auto &[command, letter] : others)
        if (command == action.command)
            return letter;
    return 0;
}

// The text's value rounded to the 15 digits the readout shows of a number.
double shownDigits(double value)
{
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.15G", value);
    return std::strtod(buffer.data(), nullptr);
}

// What each memory button must have done, against the memory tracked here; every other button
// leaves the memory alone.
void checkMemoryStep(Calculation &s, char button, const MemoryRegister &before,
    const std::string &readoutBefore, bool messageShown)
{
    const MemoryRegister &after = s.memory;
    const bool unchanged = after.MemoryValue == before.MemoryValue
        && after.indicator == before.indicator && after.tooltip == before.tooltip;
    std::optional<double> &tracked = s.memoryValue;
    switch (button) {
    case 'c': // MC
        require(
            after.MemoryValue == Operand{0.0} && after.indicator.empty(), "MC clears the memory");
        tracked = 0.0;
        break;
    case 'm': // MS
        require(after.MemoryValue == Operand{readoutBefore} && after.indicator == "M",
            "MS stores the readout's text as it stands", readoutBefore);
        tracked = valueOf(readoutBefore);
        break;
    case 'a': { // M+
        const auto x = valueOf(readoutBefore);
        if (!x || !tracked) {
            tracked = messageShown ? tracked : std::nullopt;
            break;
        }
        const double sum = *tracked + *x;
        const bool refused = !std::isfinite(sum);
        require(refused == messageShown, "M+ shows its message exactly when it cannot add",
            readoutBefore);
        require(refused ? unchanged : after.MemoryValue == Operand{sum} && after.indicator == "M",
            "M+ adds the readout or leaves the memory as it was", readoutBefore);
        if (!refused)
            tracked = sum;
        break;
    }
    case 'r': { // MR
        require(unchanged, "MR leaves the memory as it was");
        if (!tracked)
            break;
        const auto shown = valueOf(s.state.readout);
        if (*tracked != 0)
            require(shown && (*shown == *tracked || *shown == shownDigits(*tracked))
                    && s.state.InputState == "NUMS",
                "MR shows the memory", s.state.readout);
        else
            require(s.state.readout == readoutBefore, "MR of a zero memory shows nothing new");
        break;
    }
    default:
        require(unchanged, "only the memory buttons change the memory");
    }
}

// Moves the model along with the button; while it is in step, the readout and any message box
// must be what it worked out.
void followModel(Calculation &s, char button, const Message *shown)
{
    fuzz::PocketModel &model = s.model;
    if (button == 'C')
        model.cancel();
    if (!model.inStep())
        return;
    if (button >= '0' && button <= '9')
        model.digit(button);
    else if (std::string_view("/+X-=").find(button) != std::string_view::npos)
        model.press(button);
    else if (button == ',')
        model.comma();
    else if (button == '%')
        model.percent();
    else if (button == 'E')
        model.clearEntry();
    else if (button == 'N')
        model.negate();
    else if (button == '<')
        model.backspace();
    else if (button == 'p')
        model.pi();
    else if (button != 'C')
        model.leaveStep();
    if (!model.inStep())
        return;
    require(s.state.readout == model.readout(),
        "the readout is the one worked out left to right in double",
        s.state.readout + " instead of " + model.readout());
    using Says = fuzz::PocketModel::Says;
    const char expected = model.says() == Says::Overflow ? 'O'
        : model.says() == Says::DivisionByZero           ? 'D'
                                                         : 0;
    require((shown ? letterOf(*shown) : 0) == expected,
        "a message box exactly where the calculation has one", shown ? shown->text : "no message");
}

void pressChecked(Calculation &s, const Button &button)
{
    const MemoryRegister before = s.memory;
    const std::string readoutBefore = s.state.readout;
    const int messagesBefore = s.messageCount;
    s.lastCall = HostCall::None;
    s.lastMessage = nullptr;
    button.click(s, s);
    if (s.lastCall != HostCall::Focus)
        fuzz::fail("every button ends with the focus on \"=\"", describe(s.state));
    checkMemoryStep(s, button.letter, before, readoutBefore, s.messageCount > messagesBefore);
    followModel(s, button.letter, s.lastMessage);
}
// The toolkit's key number for a typed character: a letter's key is its capital, the three
// special keys have numbers of their own, every other character is its own key.
int keyOf(char32_t character)
{
    switch (character) {
    case 8:
        return Qt::Key_Backspace;
    case 13:
        return Qt::Key_Return;
    case 27:
        return Qt::Key_Escape;
    case 127:
        return Qt::Key_Delete;
    }
    if (character >= U'a' && character <= U'z')
        return static_cast<int>(character - U'a' + U'A');
    return character < 0x20 ? Qt::Key_unknown : static_cast<int>(character);
}

// The window's own rule turns a key press into the codes it types; each goes to the key handler of
// the focused button.
void type(Calculation &s, char32_t character, bool control, bool onDigitButton)
{
    const std::u32string_view text(&character, 1);
    for (int keyCode : TypedKeyCodes(keyOf(character), text, control)) {
        const KeyAction action = onDigitButton ? NumberKeyMap(keyCode) : OperatorKeyMap(keyCode);
        if (const Button *button = buttonOf(buttonLetterOf(action)))
            pressChecked(s, *button);
    }
}

// Hands out the input's bytes; past the end, zeros.
class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    // A byte giving the length, then that many bytes; with wide, two bytes give it, up to 64 KiB.
    std::string text(bool wide = false)
    {
        std::size_t wanted = byte();
        if (wide)
            wanted = wanted << 8 | byte();
        const std::size_t length = std::min(wanted, m_size - std::min(m_pos, m_size));
        std::string bytes(reinterpret_cast<const char *>(m_data + m_pos), length);
        m_pos += length;
        return bytes;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Codes 0x80 to 0xA3 press the buttons of the key legend's table, in its order; 0xA4 to 0xAD are
// the other steps below; every other byte is a character typed on "=", where the focus always
// returns, so "12+3=" reads as typed.
constexpr std::uint8_t FirstButtonCode = 0x80;
enum class Step : std::uint8_t {
    Paste = FirstButtonCode + Buttons.size(),
    TypeOnDigitButton,
    TypeUnicode,
    TypeWithControl,
    DialogOk,
    Option1,
    Option2,
    Option3,
    Option4,
    DialogCancel,
};

void runStep(Calculation &s, Input &input)
{
    const std::uint8_t code = input.byte();
    if (code >= FirstButtonCode && code < static_cast<std::uint8_t>(Step::Paste))
        return pressChecked(s, Buttons.at(static_cast<std::size_t>(code - FirstButtonCode)));
    switch (static_cast<Step>(code)) {
    case Step::Paste: {
        s.model.leaveStep();
        std::string text = input.text(true);
        s.emptyPasted = s.emptyPasted || text.empty();
        s.readoutMayBeEmpty = s.readoutMayBeEmpty || text.empty();
        return PasteIntoReadout(s.state, std::move(text));
    }
    case Step::TypeOnDigitButton:
        return type(s, input.byte(), false, true);
    case Step::TypeUnicode: {
        char32_t character = input.byte();
        character = (character << 8) | input.byte();
        character = (character << 8) | input.byte();
        return type(s, character % 0x110000, false, false);
    }
    case Step::TypeWithControl:
        return type(s, input.byte(), true, false);
    case Step::DialogOk: {
        form1::Form1_Load(s.settings);
        const std::string text1 = input.text();
        const std::string text2 = input.text();
        form1::Command1_Click(s.settings, text1, text2);
        return;
    }
    case Step::Option1:
        return form1::Option1_Click(s.settings);
    case Step::Option2:
        return form1::Option2_Click(s.settings);
    case Step::Option3:
        return form1::Option3_Click(s.settings);
    case Step::Option4:
        return form1::Option4_Click(s.settings);
    case Step::DialogCancel:
        form1::Form1_Load(s.settings);
        return form1::Command2_Click(s.settings);
    default:
        return type(s, code, false, false);
    }
}

} // namespace

constexpr int MaxSteps = 2048;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Calculation calculation;
    calculation.checkState();
    Input input(data, size);
    // Every key copies the readout, so thousands of keys on a 64 KiB paste take seconds under the
    // sanitizers: a person types far fewer.
    for (int step = 0; step < MaxSteps && !input.atEnd(); ++step) {
        calculation.readoutMayBeEmpty = calculation.holdsEmptyPaste();
        try {
            runStep(calculation, input);
        } catch (...) {
            fuzz::fail("no exception escapes the core", describe(calculation.state));
        }
        calculation.checkState();
    }
    return 0;
}
