// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the calculator core as the main window drives it: button presses, characters
// typed on the focused button, pasted texts and settings changed in the dialog, in any order and
// number. After every step the state must be one the window can show; wherever the harness's own
// model of the calculation (fuzz/pocket_model.h) can follow, the readout and any message box must
// be the ones it works out.
#include "conversion/currency.h"
#include "conversion/file_system.h"
#include "conversion/settings.h"
#include "conversion/settings_dialog.h"
#include "conversion/settings_file.h"
#include "conversion/vat.h"
#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/number_entry.h"
#include "engine/operators.h"
#include "engine/readout.h"
#include "functions/memory_register.h"
#include "functions/unary_functions.h"
#include "fuzz/pocket_model.h"
#include "fuzz/property_check.h"
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

// The main window's buttons, in the order of the input's button codes.
enum class Button : std::uint8_t {
    Number0,
    Operator0 = Number0 + 10, // "/", "+", "X", "-", "="
    Decimal = Operator0 + 5,
    Percent,
    Cancel,
    CancelEntry,
    Command6, // "+/-"
    Command12, // backspace
    Command1, // "x²"
    Command5, // square root
    Command13, // "1/x"
    Command15, // pi
    Command16, // "Sin"
    Command17, // "Cos"
    Command18, // "Tan"
    Command8, // MC
    Command9, // MR
    Command10, // MS
    Command11, // M+
    Command3, // "Euro  > Francs"
    Command4, // "Francs > Euro"
    Command19, // "HT > TTC"
    Command20, // "TTC > HT"
    Count,
};

constexpr std::array<std::string_view, 6> inputStates{input_state::None, input_state::Nums,
    input_state::Neg, input_state::Ops, input_state::Percent, input_state::Cleared};
constexpr std::array<std::string_view, 7> pendingOperators{" ", "+", "-", "X", "/", "=", "%"};
constexpr std::array<std::string_view, 5> statusLabels{
    "", FrancsLabel, EurosLabel, TtcLabel, HtLabel};

template <std::size_t N>
bool isOneOf(std::string_view text, const std::array<std::string_view, N> &texts)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool isKnownMessage(const Message &message)
{
    return message == OverflowMessage || message == DivisionByZeroMessage
        || message == FunctionOverflowMessage || message == ConversionOverflowMessage;
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
class Calculation : public Host
{
public:
    Calculation() { Form_Load(); }

    void showMessage(const Message &message) override
    {
        require(isKnownMessage(message), "every message is one of the program's own", message.text);
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
        require(memory.tooltip == MemoryTooltip(memory.MemoryValue),
            "the MR tooltip tells the memory's value", memory.tooltip);
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

    CalculatorState state;
    MemoryRegister memory;
    Settings settings;
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

void press(Calculation &s, Button button)
{
    const auto index = static_cast<std::int16_t>(button);
    if (button < Button::Operator0)
        return Number_Click(s.state, s, index);
    if (button < Button::Decimal)
        return Operator_Click(
            s.state, s, static_cast<std::int16_t>(index - static_cast<int>(Button::Operator0)));
    switch (button) {
    case Button::Decimal:
        return Decimal_Click(s.state, s);
    case Button::Percent:
        return Percent_Click(s.state, s);
    case Button::Cancel:
        return Cancel_Click(s.state, s);
    case Button::CancelEntry:
        return CancelEntry_Click(s.state, s);
    case Button::Command6:
        return Command6_Click(s.state, s);
    case Button::Command12:
        return Command12_Click(s.state, s);
    case Button::Command1:
        return Command1_Click(s.state, s);
    case Button::Command5:
        return Command5_Click(s.state, s);
    case Button::Command13:
        return Command13_Click(s.state, s);
    case Button::Command15:
        return Command15_Click(s.state, s);
    case Button::Command16:
        return Command16_Click(s.state, s);
    case Button::Command17:
        return Command17_Click(s.state, s);
    case Button::Command18:
        return Command18_Click(s.state, s);
    case Button::Command8:
        return Command8_Click(s.memory, s);
    case Button::Command9:
        return Command9_Click(s.memory, s.state, s);
    case Button::Command10:
        return Command10_Click(s.memory, s.state, s);
    case Button::Command11:
        return Command11_Click(s.memory, s.state, s);
    case Button::Command3:
        return EuroToFrancs(s.state, s.settings, s);
    case Button::Command4:
        return FrancsToEuro(s.state, s.settings, s);
    case Button::Command19:
        return HtToTtc(s.state, s.settings, s);
    case Button::Command20:
        return TtcToHt(s.state, s.settings, s);
    default:
        return;
    }
}

// The button a key command clicks, as the window's key handlers do; nothing for quitting and for
// refused keys.
std::optional<Button> buttonOf(KeyAction action)
{
    const auto at = [](Button first, std::int16_t offset) {
        return static_cast<Button>(static_cast<int>(first) + offset);
    };
    switch (action.command) {
    case KeyCommand::Digit:
        return at(Button::Number0, action.index);
    case KeyCommand::Operator:
        return at(Button::Operator0, action.index);
    case KeyCommand::Decimal:
        return Button::Decimal;
    case KeyCommand::Percent:
        return Button::Percent;
    case KeyCommand::Backspace:
        return Button::Command12;
    case KeyCommand::Cancel:
        return Button::Cancel;
    case KeyCommand::CancelEntry:
        return Button::CancelEntry;
    case KeyCommand::Negate:
        return Button::Command6;
    case KeyCommand::Square:
        return Button::Command1;
    case KeyCommand::SquareRoot:
        return Button::Command5;
    case KeyCommand::Inverse:
        return Button::Command13;
    case KeyCommand::Pi:
        return Button::Command15;
    case KeyCommand::Sine:
        return Button::Command16;
    case KeyCommand::Cosine:
        return Button::Command17;
    case KeyCommand::Tangent:
        return Button::Command18;
    case KeyCommand::None:
    case KeyCommand::Quit:
        break;
    }
    return std::nullopt;
}

// What each memory button must have done, beside the general checks; every other button leaves
// the memory alone.
// The text's value rounded to the 15 digits the readout shows of a number.
double shownDigits(double value)
{
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.15G", value);
    return std::strtod(buffer.data(), nullptr);
}

// What each memory button must have done, against the memory tracked here; every other button
// leaves the memory alone.
void checkMemoryStep(Calculation &s, Button button, const MemoryRegister &before,
    const std::string &readoutBefore, bool messageShown)
{
    const MemoryRegister &after = s.memory;
    const bool unchanged = after.MemoryValue == before.MemoryValue
        && after.indicator == before.indicator && after.tooltip == before.tooltip;
    std::optional<double> &tracked = s.memoryValue;
    switch (button) {
    case Button::Command8:
        require(
            after.MemoryValue == Operand{0.0} && after.indicator.empty(), "MC clears the memory");
        tracked = 0.0;
        break;
    case Button::Command10:
        require(after.MemoryValue == Operand{readoutBefore} && after.indicator == "M",
            "MS stores the readout's text as it stands", readoutBefore);
        tracked = valueOf(readoutBefore);
        break;
    case Button::Command11: {
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
    case Button::Command9: {
        require(unchanged, "MR leaves the memory as it was");
        if (!tracked)
            break;
        const auto shown = valueOf(s.state.readout);
        if (*tracked != 0)
            require(shown && (*shown == *tracked || *shown == shownDigits(*tracked))
                    && s.state.InputState == input_state::Nums,
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
void followModel(Calculation &s, Button button, const Message *shown)
{
    fuzz::PocketModel &model = s.model;
    if (button == Button::Cancel)
        model.cancel();
    if (!model.inStep())
        return;
    const int index = static_cast<int>(button);
    if (button < Button::Operator0)
        model.digit(static_cast<char>('0' + index));
    else if (button < Button::Decimal) {
        constexpr std::string_view captions = "/+X-=";
        model.press(captions[std::size_t(index - static_cast<int>(Button::Operator0))]);
    } else if (button == Button::Decimal)
        model.comma();
    else if (button == Button::Percent)
        model.percent();
    else if (button == Button::CancelEntry)
        model.clearEntry();
    else if (button == Button::Command6)
        model.negate();
    else if (button == Button::Command12)
        model.backspace();
    else if (button == Button::Command15)
        model.pi();
    else if (button != Button::Cancel)
        model.leaveStep();
    if (!model.inStep())
        return;
    require(s.state.readout == model.readout(),
        "the readout is the one worked out left to right in double",
        s.state.readout + " instead of " + model.readout());
    using Says = fuzz::PocketModel::Says;
    const Message *expected = model.says() == Says::Overflow ? &OverflowMessage
        : model.says() == Says::DivisionByZero               ? &DivisionByZeroMessage
                                                             : nullptr;
    require(shown == expected || (shown && expected && *shown == *expected),
        "a message box exactly where the calculation has one", shown ? shown->text : "no message");
}

void pressChecked(Calculation &s, Button button)
{
    const MemoryRegister before = s.memory;
    const std::string readoutBefore = s.state.readout;
    const int messagesBefore = s.messageCount;
    s.lastCall = HostCall::None;
    s.lastMessage = nullptr;
    press(s, button);
    if (s.lastCall != HostCall::Focus)
        fuzz::fail("every button ends with the focus on \"=\"", describe(s.state));
    checkMemoryStep(s, button, before, readoutBefore, s.messageCount > messagesBefore);
    followModel(s, button, s.lastMessage);
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
        if (const auto button = buttonOf(action))
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

// Codes 0x80 to 0xA3 press a button; 0xA4 to 0xAD are the other steps below; every other byte is
// a character typed on "=", where the focus always returns, so "12+3=" reads as typed.
constexpr std::uint8_t FirstButtonCode = 0x80;
enum class Step : std::uint8_t {
    Paste = FirstButtonCode + static_cast<std::uint8_t>(Button::Count),
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
        return pressChecked(s, static_cast<Button>(code - FirstButtonCode));
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
