// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/calculator.h"

#include "conversion/currency.h"
#include "conversion/settings_file.h"
#include "conversion/vat.h"
#include "engine/number_entry.h"
#include "engine/operators.h"
#include "functions/memory_register.h"
#include "functions/unary_functions.h"
#include "ui/about_window.h"
#include "ui/classic_frame.h"
#include "ui/edit_menu.h"
#include "ui/fonts.h"
#include "ui/help_window.h"
#include "ui/message_box.h"
#include "ui/module1.h"
#include "ui/platform.h"
#include "ui/settings_window.h"
#include "ui/tape_panel.h"
#include "ui/typed_key.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

using namespace Qt::StringLiterals;

// How a click and a typed key reach the core and come back to the screen:
//   click: the button's row in buttonTable() -> its action (through Number_Click or
//       Operator_Click for digits and operators) -> act() -> the core handler
//       (korvex::Operator_Click, Command5_Click, TtcToHt...), which calls the host back at the
//       very step the user must see (showMessage and moveFocusToEquals refresh first; record adds
//       to the tape; runLoadStep is Form_Load) -> refresh() as act() ends: the readout, Label1,
//       the memory indicator and the MR tooltip. The window's own buttons (Taux, ?, A propos,
//       Fin) open or close a window instead.
//   typed key: eventFilter() on the focused button -> handleKey() -> TypedKeyCodes() -> that
//       button's key handler (Operator_KeyPress, Number_KeyPress) -> OperatorKeyMap() or
//       NumberKeyMap() -> perform() clicks the button whose row the key command presses -> the
//       click's path. A key typed in the tape goes to "=" the same way (typedIntoTape()).

namespace korvex {

namespace {

    // The readout shows the end of a long pasted text: laying out a megabyte at every repaint would
    // freeze the window, and a right-aligned readout shows its end anyway.
    constexpr std::size_t shownReadoutBytes = 512;

    QString readoutDisplay(const std::string &readout)
    {
        std::size_t start =
            readout.size() > shownReadoutBytes ? readout.size() - shownReadoutBytes : 0;
        while (
            start < readout.size() && (static_cast<unsigned char>(readout[start]) & 0xC0) == 0x80)
            ++start;
        return QString::fromUtf8(
            readout.data() + start, static_cast<qsizetype>(readout.size() - start));
    }

    bool isArrowKey(int key)
    {
        // The number pad's arrows with NumLock off come as these keys too.
        return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up
            || key == Qt::Key_Down;
    }

    std::u32string ucs4(const QString &text)
    {
        const QList<uint> characters = text.toUcs4();
        return {characters.begin(), characters.end()};
    }

    QString fromUtf8(const std::string &text)
    {
        return QString::fromStdString(text);
    }

    // A screen reader hears the readout's whole text, even when only the end of a huge paste is
    // drawn. The text is made when asked for, so no second copy of a paste is kept meanwhile.
    class ReadoutAccessible : public QAccessibleWidget
    {
    public:
        ReadoutAccessible(QLabel *readout, const Calculator &calculator)
            : QAccessibleWidget(readout, QAccessible::StaticText)
            , m_calculator(calculator)
        {
        }
        QString text(QAccessible::Text t) const override
        {
            if (t == QAccessible::Name)
                return fromUtf8(m_calculator.state().readout);
            return QAccessibleWidget::text(t);
        }

    private:
        const Calculator &m_calculator;
    };

    QAccessibleInterface *readoutAccessible(const QString &, QObject *object)
    {
        auto *label = qobject_cast<QLabel *>(object);
        const auto *calculator =
            label != nullptr ? qobject_cast<const Calculator *>(label->window()) : nullptr;
        if (calculator == nullptr || calculator->readout() != label)
            return nullptr;
        return new ReadoutAccessible(label, *calculator);
    }

    // A caption too wide for its button breaks at a space onto centred lines, as classic push
    // buttons do; the lines are filled greedily. Room a caption leaves on each side of its button.
    constexpr int captionMargin = 2;

    QString wrappedCaption(const QString &caption, const QFontMetrics &metrics, int width)
    {
        QStringList lines;
        QString rest = caption;
        while (metrics.horizontalAdvance(rest) > width) {
            qsizetype cut = rest.lastIndexOf(QLatin1Char(' '));
            while (cut > 0 && metrics.horizontalAdvance(rest.left(cut).trimmed()) > width)
                cut = rest.lastIndexOf(QLatin1Char(' '), cut - 1);
            if (cut <= 0)
                break;
            lines << rest.left(cut).trimmed();
            rest = rest.mid(cut + 1).trimmed();
        }
        lines << rest;
        return lines.join(QLatin1Char('\n'));
    }

    // The red "M" keeps the light ground it was chosen against, whatever the theme; the empty
    // indicator is the theme's ground.
    QString memoryIndicatorStyle(bool shown)
    {
        return shown
            ? u"QLabel { background-color: %1; color: #FF0000; }"_s.arg(ClassicGround.name())
            : u"QLabel { color: #FF0000; }"_s;
    }

    QLabel *makeLabel(QWidget *parent, const QString &name, const QRect &geometry,
        const QFont &font, const QString &style)
    {
        auto *label = new QLabel(parent);
        label->setObjectName(name);
        label->setGeometry(geometry);
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAutoFillBackground(true);
        label->setStyleSheet(style);
        return label;
    }

} // namespace

struct Calculator::ButtonRow
{
    QString name; // the designer's name
    QString caption;
    QRect twips; // left, top, width, height
    QFont font;
    int tab;
    QString tooltip; // set at each load step; the recall button's comes from the memory
    QString spoken; // what a screen reader says: captions such as "V²", "¶" or "<=" say little
    KeyAction pressedBy; // the key command that presses it
    std::function<void()> action;
    QPushButton **member = nullptr; // the window's pointer to it, where its code needs it
    QPushButton *button = nullptr; // made from this row
};

// Every button of the window, in creation order: the whole layout and wiring at a glance.
std::vector<Calculator::ButtonRow> Calculator::buttonTable()
{
    using CoreAction = void (*)(CalculatorState &, Host &);
    using SettingsAction = void (*)(CalculatorState &, const Settings &, Host &);
    const auto engine = [this](CoreAction op, const std::function<void()> &trap) {
        return [this, op, trap] { act([this, op] { op(m_state, *this); }, trap); };
    };
    const auto overflowTrap = [this] { showMessage(OverflowMessage); };
    const auto noTrap = [] {};
    const auto function = [this, engine](CoreAction op) {
        return engine(op, [this] { showMessage(FunctionOverflowMessage); });
    };
    const auto conversion = [this](SettingsAction op) {
        return [this, op] {
            act([this, op] { op(m_state, m_module.settings, *this); },
                [this] { showMessage(ConversionOverflowMessage); });
        };
    };
    const auto memory = [this](const std::function<void()> &op) {
        return [this, op] { act(op, [] {}); };
    };
    const auto own = [this](void (Calculator::*handler)()) {
        return [this, handler] { (this->*handler)(); };
    };
    const auto digit = [this](std::int16_t i) { return [this, i] { Number_Click(i); }; };
    const auto operation = [this](std::int16_t i) { return [this, i] { Operator_Click(i); }; };
    // The operators' captions are the engine's, which the pending operator stores.
    const auto sign = [](std::size_t index) {
        return QString::fromLatin1(OperatorCaptions[index]);
    };
    const auto bold = [](qreal points) { return controlFont(points, true); };
    const auto regular = [](qreal points) { return controlFont(points, false); };
    using K = KeyCommand;
    const KeyAction noKey;

    return {
        {u"Command21"_s, u"A propos"_s, {6480, 1800, 975, 495}, bold(8.25), 42, {}, u"À propos"_s,
            noKey, own(&Calculator::Command21_Click)},
        {u"Command20"_s, u"TTC > HT"_s, {5280, 2400, 1095, 480}, bold(8.25), 41,
            u"Calcule le prix H.T. de la valeur affichée en prix T.T.C."_s,
            u"Prix T.T.C. en prix H.T."_s, noKey, conversion(&TtcToHt)},
        {u"Command19"_s, u"HT > TTC"_s, {5280, 1800, 1095, 480}, bold(8.25), 40,
            u"Calcule le prix T.T.C. de la valeur affichée en prix H.T."_s,
            u"Prix H.T. en prix T.T.C."_s, noKey, conversion(&HtToTtc)},
        {u"Command18"_s, u"Tan"_s, {4680, 1800, 495, 480}, bold(8.25), 39, {}, u"Tangente"_s,
            {K::Tangent}, function(&korvex::Command18_Click)},
        {u"Command17"_s, u"Cos"_s, {4680, 1200, 495, 480}, bold(8.25), 38, {}, u"Cosinus"_s,
            {K::Cosine}, function(&korvex::Command17_Click)},
        {u"Command16"_s, u"Sin"_s, {4680, 600, 495, 480}, bold(8.25), 37, {}, u"Sinus"_s, {K::Sine},
            function(&korvex::Command16_Click)},
        // The pi button shows the pilcrow, character 182 of its code page, not a Greek letter.
        {u"Command15"_s, u"¶"_s, {4680, 2400, 495, 480}, regular(18), 36, {}, u"Pi"_s, {K::Pi},
            function(&korvex::Command15_Click)},
        {u"Command14"_s, u"Fin"_s, {6480, 2400, 975, 480}, bold(9.75), 35,
            u"Quitter la calculatrice"_s, u"Quitter"_s, {K::Quit},
            own(&Calculator::Command14_Click)},
        {u"Command13"_s, u"1/x"_s, {4080, 600, 480, 480}, bold(9.75), 34, {}, u"Inverse"_s,
            {K::Inverse}, function(&korvex::Command13_Click)},
        {u"Command12"_s, u"<="_s, {3360, 1800, 480, 480}, bold(9.75), 33, u"Retour arrière"_s,
            u"Retour arrière"_s, {K::Backspace}, engine(&korvex::Command12_Click, noTrap)},
        {u"Command11"_s, u"M+"_s, {120, 2400, 515, 480}, bold(9.75), 31,
            u"Ajoute le nombre affiché au nombre déjà en mémoire"_s, u"Ajouter à la mémoire"_s,
            noKey, memory([this] { korvex::Command11_Click(m_module.memory, m_state, *this); })},
        {u"Command10"_s, u"MS"_s, {120, 1800, 515, 480}, bold(9.75), 30,
            u"Mise en mémoire du nombre affiché"_s, u"Mettre en mémoire"_s, noKey,
            memory([this] { korvex::Command10_Click(m_module.memory, m_state, *this); })},
        {u"Command9"_s, u"MR"_s, {120, 1200, 515, 480}, bold(9.75), 29, {},
            u"Rappeler la mémoire"_s, noKey,
            memory([this] { korvex::Command9_Click(m_module.memory, m_state, *this); }),
            &m_Command9},
        {u"Command8"_s, u"MC"_s, {120, 600, 515, 480}, bold(9.75), 28, u"Efface la mémoire"_s,
            u"Effacer la mémoire"_s, noKey,
            memory([this] { korvex::Command8_Click(m_module.memory, *this); })},
        {u"Command7"_s, u"?"_s, {6480, 1200, 975, 480}, bold(9.75), 27,
            u"Aide sur les commandes au clavier"_s, u"Aide sur les commandes au clavier"_s, noKey,
            own(&Calculator::Command7_Click)},
        {u"Command6"_s, u"+/-"_s, {2040, 2400, 495, 480}, bold(9.75), 26, {}, u"Changer de signe"_s,
            {K::Negate}, engine(&korvex::Command6_Click, overflowTrap)},
        {u"Command5"_s, u"V²"_s, {4080, 1800, 480, 480}, bold(9.75), 25, {}, u"Racine carrée"_s,
            {K::SquareRoot}, function(&korvex::Command5_Click)},
        {u"Command4"_s, u"Francs > Euro"_s, {5280, 1200, 1095, 480}, bold(8.25), 23,
            u"Conversion de la valeur affichée de Francs en Euro"_s, u"Francs en euros"_s, noKey,
            conversion(&FrancsToEuro)},
        {u"Command3"_s, u"Euro  > Francs"_s, {5280, 600, 1095, 480}, bold(8.25), 22,
            u"Conversion de la valeur affichée d'Euro en Francs"_s, u"Euros en francs"_s, noKey,
            conversion(&EuroToFrancs)},
        {u"Command2"_s, u"Taux"_s, {6480, 600, 975, 480}, bold(8.25), 21,
            u"Paramétrage du taux de conversion, du format du résultat et %T.V.A."_s,
            u"Taux de conversion et T.V.A."_s, noKey, own(&Calculator::Command2_Click)},
        {u"Command1"_s, u"x²"_s, {4080, 1200, 480, 480}, bold(9.75), 20, {}, u"Carré"_s,
            {K::Square}, function(&korvex::Command1_Click)},
        {u"Number7"_s, u"7"_s, {840, 600, 480, 480}, regular(12), 7, {}, {}, {K::Digit, 7},
            digit(7)},
        {u"Number8"_s, u"8"_s, {1440, 600, 480, 480}, regular(12), 8, {}, {}, {K::Digit, 8},
            digit(8)},
        {u"Number9"_s, u"9"_s, {2040, 600, 480, 480}, regular(12), 9, {}, {}, {K::Digit, 9},
            digit(9)},
        {u"Cancel"_s, u"C"_s, {3360, 600, 480, 480}, bold(9.75), 10, {}, u"Effacer"_s, {K::Cancel},
            engine(&korvex::Cancel_Click, noTrap)},
        {u"CancelEntry"_s, u"CE"_s, {3360, 1200, 480, 480}, bold(9.75), 11, {},
            u"Effacer l'entrée"_s, {K::CancelEntry}, engine(&korvex::CancelEntry_Click, noTrap)},
        {u"Number4"_s, u"4"_s, {840, 1200, 480, 480}, regular(12), 4, {}, {}, {K::Digit, 4},
            digit(4)},
        {u"Number5"_s, u"5"_s, {1440, 1200, 480, 480}, regular(12), 5, {}, {}, {K::Digit, 5},
            digit(5)},
        {u"Number6"_s, u"6"_s, {2040, 1200, 480, 480}, regular(12), 6, {}, {}, {K::Digit, 6},
            digit(6)},
        {u"Operator1"_s, sign(1), {2760, 600, 480, 480}, bold(12), 12, {}, u"Additionner"_s,
            {K::Operator, 1}, operation(1)},
        {u"Operator3"_s, sign(3), {2760, 1200, 480, 480}, bold(12), 13, {}, u"Soustraire"_s,
            {K::Operator, 3}, operation(3)},
        {u"Number1"_s, u"1"_s, {840, 1800, 480, 480}, regular(12), 1, {}, {}, {K::Digit, 1},
            digit(1)},
        {u"Number2"_s, u"2"_s, {1440, 1800, 480, 480}, regular(12), 2, {}, {}, {K::Digit, 2},
            digit(2)},
        {u"Number3"_s, u"3"_s, {2040, 1800, 480, 480}, regular(12), 3, {}, {}, {K::Digit, 3},
            digit(3)},
        {u"Operator2"_s, sign(2), {2760, 1800, 480, 480}, bold(9.75), 14, {}, u"Multiplier"_s,
            {K::Operator, 2}, operation(2)},
        {u"Operator0"_s, sign(0), {2760, 2400, 480, 480}, bold(9.75), 15, {}, u"Diviser"_s,
            {K::Operator, 0}, operation(0)},
        {u"Number0"_s, u"0"_s, {840, 2400, 480, 480}, regular(12), 0, {}, {}, {K::Digit, 0},
            digit(0)},
        {u"Decimal"_s, u","_s, {1440, 2400, 480, 480}, bold(12), 18, {}, u"Virgule"_s, {K::Decimal},
            engine(&korvex::Decimal_Click, noTrap)},
        {u"Operator4"_s, sign(4), {3360, 2400, 480, 480}, bold(12), 16, {}, u"Égal"_s,
            {K::Operator, EqualsIndex}, operation(EqualsIndex), &m_equals},
        {u"Percent"_s, u"%"_s, {4080, 2400, 480, 480}, bold(9.75), 17, {}, u"Pourcentage"_s,
            {K::Percent}, engine(&korvex::Percent_Click, overflowTrap)},
    };
}

Calculator::Calculator(Module1 &module, Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_module(module)
    , m_platform(platform)
    , m_settingsDirectory(platform.settingsDirectory().toStdString())
{
    PrepareWindow(*this, u"Calculator"_s);
    setWindowTitle(u"Calculatrice et Conversion Francs/Euros"_s);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_presentMessage = [this](const Message &message) {
        // Over the settings dialog when it asks, so the box never hides behind what it blocks.
        QWidget *owner = QApplication::activeModalWidget();
        presentMessageBox(message, owner != nullptr ? owner : this);
    };
    m_runDialog = [](QDialog &dialog) { dialog.exec(); };

    // The designed client area, and at its right the tape when it is shown: the window grows to
    // the right and the keypad stays where it was.
    auto *container = new QWidget(this);
    auto *columns = new QHBoxLayout(container);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->setSizeConstraint(QLayout::SetFixedSize);
    m_client = new QWidget(container);
    m_client->setFixedSize(twipsToPixels(7575), twipsToPixels(3000));
    columns->addWidget(m_client);
    setCentralWidget(container);
    buildButtons();
    buildLabels(m_client);
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // "=" is the window's cancel button: Escape performs it wherever the focus is, but in the
    // tape, where it only leads back to the calculator.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (tapeHasFocus())
            return m_equals->setFocus(Qt::ShortcutFocusReason);
        m_equals->click();
    });
    // F6 goes from one pane to the other, as in most programs with panes.
    auto *nextPane = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(nextPane, &QShortcut::activated, this, [this] { switchPane(); });

    Form_Load();
}

Calculator::~Calculator() = default;

// Only the digit, operator and comma buttons handle typed keys, and they are exactly the buttons
// that the digit, operator and decimal key commands press.
Calculator::KeyHandler Calculator::keyHandlerOf(KeyCommand command)
{
    switch (command) {
    case KeyCommand::Digit:
        return KeyHandler::Number;
    case KeyCommand::Operator:
        return KeyHandler::Operator;
    case KeyCommand::Decimal:
        return KeyHandler::Decimal;
    default:
        return KeyHandler::None;
    }
}

void Calculator::buildButtons()
{
    m_buttons = buttonTable();
    std::vector<ButtonRow *> byTab;
    for (ButtonRow &row : m_buttons)
        byTab.push_back(&row);
    std::sort(byTab.begin(), byTab.end(),
        [](const ButtonRow *a, const ButtonRow *b) { return a->tab < b->tab; });
    QWidget *previous = nullptr;
    for (ButtonRow *row : byTab) {
        auto *button = new QPushButton(m_client);
        button->setObjectName(row->name);
        button->setFont(row->font);
        button->setGeometry(
            twipsRect(row->twips.x(), row->twips.y(), row->twips.width(), row->twips.height()));
        button->setText(wrappedCaption(
            row->caption, button->fontMetrics(), button->width() - 2 * captionMargin));
        if (!row->spoken.isEmpty())
            button->setAccessibleName(row->spoken);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, row->action);
        m_keyHandlers[button] = keyHandlerOf(row->pressedBy.command);
        if (row->member != nullptr)
            *row->member = button;
        row->button = button;
        if (previous != nullptr)
            setTabOrder(previous, button);
        previous = button;
    }
}

void Calculator::buildLabels(QWidget *client)
{
    m_Label2 = makeLabel(client, u"Label2"_s, twipsRect(120, 240, 495, 285),
        controlFont(9.75, true), memoryIndicatorStyle(false));
    m_Label2->setAlignment(Qt::AlignCenter);
    m_Label1 = makeLabel(client, u"Label1"_s, twipsRect(5900, 120, 135, 320), controlFont(9.75),
        u"QLabel { background-color: #C0FFFF; color: #000000; }"_s);
    m_Label1->setAlignment(Qt::AlignCenter);
    m_Readout = makeLabel(client, u"Readout"_s, twipsRect(840, 105, 4680, 360), controlFont(12),
        u"QLabel { background-color: #C0FFC0; color: #000000; }"_s);
    m_Readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_Readout->setText(u"0,"_s);
    // No fixed name: the readout's name is then the number it shows, and a label without one
    // announces each change of its text to screen readers.
    m_Readout->setAccessibleDescription(u"Affichage de la calculatrice"_s);
    static const bool readoutSpeaksWhole = [] {
        QAccessible::installFactory(&readoutAccessible);
        return true;
    }();
    Q_UNUSED(readoutSpeaksWhole);
    m_Label1->setAccessibleName(u"Unité"_s);
    m_Label2->setAccessibleName(u"Indicateur de mémoire"_s);
}

void Calculator::buildMenus()
{
    QMenu *fichier = menuBar()->addMenu(u"&Fichier"_s);
    fichier->setObjectName(u"Mnu_Fichier"_s);
    QAction *quitter = fichier->addAction(u"&Quitter"_s, this, [this] { MnuQuitter_Click(); });
    quitter->setObjectName(u"MnuQuitter"_s);
    quitter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    m_Mnu_Edition = menuBar()->addMenu(u"&Edition"_s);
    m_Mnu_Edition->setObjectName(u"Mnu_Edition"_s);
    connect(m_Mnu_Edition, &QMenu::aboutToShow, this, [this] { Mnu_Edition_Click(); });
    QAction *copier = m_Mnu_Edition->addAction(u"&Copier"_s, this, [this] { Mnu_Copier_Click(); });
    copier->setObjectName(u"Mnu_Copier"_s);
    copier->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_Mnu_Coller = m_Mnu_Edition->addAction(u"Co&ller"_s, this, [this] { Mnu_Coller_Click(); });
    m_Mnu_Coller->setObjectName(u"Mnu_Coller"_s);
    m_Mnu_Coller->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // F9 types no character, so no key of the calculator is taken.
    m_Mnu_Historique =
        m_Mnu_Edition->addAction(u"&Historique"_s, this, [this] { Mnu_Historique_Click(); });
    m_Mnu_Historique->setObjectName(u"Mnu_Historique"_s);
    m_Mnu_Historique->setShortcut(QKeySequence(Qt::Key_F9));
    m_Mnu_Historique->setCheckable(true); // checked while the tape is shown

    QMenu *aide = menuBar()->addMenu(u"?"_s);
    aide->setObjectName(u"Mnu_Aide"_s);
    aide->addAction(u"Aide"_s, this, [this] { Command7_Click(); })
        ->setObjectName(u"Mnu_AideClavier"_s);
    aide->addSeparator()->setObjectName(u"sep1"_s);
    aide->addAction(u"A propos"_s, this, [this] { Command21_Click(); })
        ->setObjectName(u"Mnu_APropos"_s);
}

void Calculator::Form_Load()
{
    for (const ButtonRow &row : m_buttons) {
        if (!row.tooltip.isEmpty())
            row.button->setToolTip(row.tooltip);
    }
    ComposeMemoryTooltip(m_module.memory);
    LoadSettings(m_module.settings, m_settingsDirectory, m_platform.files());
    ResetCalculator(m_state);
    refresh();
}

// The focus goes to "=" when the window is first shown and when one of the program's own windows
// closes; not after a message box, so a key message leaves the focus where it was.
void Calculator::Form_Activate()
{
    m_equals->setFocus(Qt::ActiveWindowFocusReason);
}

void Calculator::setMessagePresenter(MessagePresenter presenter)
{
    m_presentMessage = std::move(presenter);
}

void Calculator::setDialogRunner(DialogRunner runner)
{
    m_runDialog = std::move(runner);
}

void Calculator::showMessage(const Message &message)
{
    refresh(); // the box shows over the state of this very step
    m_presentMessage(message);
}

void Calculator::runLoadStep()
{
    Form_Load();
}

void Calculator::moveFocusToEquals()
{
    refresh();
    m_equals->setFocus(Qt::OtherFocusReason);
}

void Calculator::refresh()
{
    const QString shown = readoutDisplay(m_state.readout);
    m_Readout->setText(shown);
    // A pasted text with a line break shows its first line from the top, whole, as one line is
    // shown centred: centring several lines in the one-line readout would cut them all in half.
    m_Readout->setAlignment(
        Qt::AlignRight | (shown.contains(u'\n') ? Qt::AlignTop : Qt::AlignVCenter));
    // Screen readers follow the focused control, not a label that never has the focus: "=", which
    // holds it nearly always, describes itself by the readout, so each change of the readout is a
    // description change of the focused control. Only a change is sent, once, though several steps
    // refresh.
    if (m_equals->accessibleDescription() != shown)
        m_equals->setAccessibleDescription(shown);
    const QString label1 = fromUtf8(m_state.label1);
    if (m_Label1->text() != label1) {
        m_Label1->setText(label1);
        // The label's name is the unit it shows, so a screen reader says "Francs", not "Unité".
        m_Label1->setAccessibleName(label1.trimmed().isEmpty() ? u"Unité"_s : label1.trimmed());
        // The status label grows from its left edge to fit its text.
        m_Label1->resize(
            std::max(m_Label1->sizeHint().width(), twipsToPixels(135)), m_Label1->height());
    }
    const QString indicator = fromUtf8(m_module.memory.indicator);
    if (m_Label2->text() != indicator || m_Label2->accessibleDescription().isEmpty()) {
        m_Label2->setText(indicator);
        m_Label2->setStyleSheet(memoryIndicatorStyle(!indicator.isEmpty()));
        m_Label2->setAccessibleDescription(
            indicator.isEmpty() ? u"Mémoire vide"_s : u"Nombre en mémoire"_s);
    }
    m_Command9->setToolTip(fromUtf8(m_module.memory.tooltip));
}

// No exception may cross Qt's event loop; should one ever escape the core, the user sees the
// handler's own trap, and the focus rule still holds.
void Calculator::act(const std::function<void()> &action, const std::function<void()> &trap)
{
    try {
        action();
    } catch (...) {
        trap();
        moveFocusToEquals();
    }
    refresh();
}

void Calculator::Number_Click(std::int16_t index)
{
    act([this, index] { korvex::Number_Click(m_state, *this, index); },
        [this] { showMessage(OverflowMessage); });
}

void Calculator::Operator_Click(std::int16_t index)
{
    act([this, index] { korvex::Operator_Click(m_state, *this, index); },
        [this] {
            showMessage(OverflowMessage);
            Form_Load();
        });
}

// A key command presses the button whose row it names, as a click would.
void Calculator::perform(KeyAction action)
{
    if (action.command == KeyCommand::None)
        return;
    for (const ButtonRow &row : m_buttons) {
        if (row.pressedBy == action)
            return row.button->click();
    }
}

void Calculator::Operator_KeyPress(int &keyCode)
{
    perform(OperatorKeyMap(keyCode));
}

void Calculator::Number_KeyPress(int &keyCode)
{
    perform(NumberKeyMap(keyCode));
}

// The "," button answers every key with its code, and runs nothing.
void Calculator::Decimal_KeyPress(int &keyCode)
{
    const std::string code = std::to_string(keyCode);
    m_presentMessage(Message{code, " " + code, MessageIcon::None});
}

bool Calculator::handleKey(
    QPushButton *button, KeyHandler handler, const QString &text, int key, bool control)
{
    // Enter goes through the key maps of "=" and of the digits only; on any other button it
    // presses that button, as the toolkit does for push buttons.
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter && handler != KeyHandler::Number && button != m_equals) {
        button->click();
        return true;
    }
    if (handler == KeyHandler::None)
        return true; // buttons without a key handler swallow characters
    // Only what a key types reaches the key maps: Delete, the arrows, the function keys and
    // Control with anything but a letter type nothing, not even on the "," button.
    for (int keyCode : TypedKeyCodes(key, ucs4(text), control)) {
        switch (handler) {
        case KeyHandler::Operator:
            Operator_KeyPress(keyCode);
            break;
        case KeyHandler::Number:
            Number_KeyPress(keyCode);
            break;
        case KeyHandler::Decimal:
            Decimal_KeyPress(keyCode);
            break;
        case KeyHandler::None:
            break;
        }
    }
    return true;
}

bool Calculator::event(QEvent *event)
{
    // Ctrl+V decides "Co&ller" afresh, before the shortcut looks at it: a text copied since the
    // menu was last opened, by this program or another, pastes at once. No widget of the window
    // takes Ctrl+V for itself, so the key climbs to here wherever the focus is, the menu bar left
    // active by Alt+E then Escape included.
    if (event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->keyCombination()
            == QKeyCombination(Qt::ControlModifier, Qt::Key_V))
        Mnu_Edition_Click();
    return QMainWindow::event(event);
}

bool Calculator::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const int key = keyEvent->key();
    if (m_tapePanel != nullptr && watched == m_tapePanel->list())
        return typedIntoTape(*keyEvent);
    // An arrow would walk the focus off "=" and silently change what the next Enter presses.
    if (isArrowKey(key))
        return true;
    // Tab moves along the tab order and Space presses the focused button, as usual.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Space)
        return false;
    if (keyEvent->text().isEmpty())
        return false;
    // Alt with a letter is a menu's access key, never a typed character.
    if (keyEvent->modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return true;
    const auto handler = m_keyHandlers.find(watched);
    if (handler == m_keyHandlers.end())
        return false;
    return handleKey(static_cast<QPushButton *>(watched), handler->second, keyEvent->text(), key,
        keyEvent->modifiers().testFlag(Qt::ControlModifier));
}

void Calculator::closeEvent(QCloseEvent *event)
{
    event->accept();
    MnuQuitter_Click();
}

void Calculator::showOwnWindow(QDialog &dialog)
{
    m_runDialog(dialog);
    Form_Activate();
}

void Calculator::Command2_Click()
{
    Form1 dialog(m_module.settings, m_platform.files(), *this);
    dialog.centreOver(*this);
    showOwnWindow(dialog);
}

// The help window's openers put the focus back on "=" themselves; the About window's return does
// nothing more, and the activation does it.
void Calculator::Command7_Click()
{
    FrmAide help(this);
    showOwnWindow(help);
    moveFocusToEquals();
}

void Calculator::Command21_Click()
{
    frmAbout about(m_platform, this);
    showOwnWindow(about);
}

// "Co&ller" follows whether the clipboard offers text, not whether that text is empty: telling
// the two apart would fetch the whole text, maybe many megabytes, at every opening. So an offered
// but empty text leaves "Co&ller" enabled, and pasting it empties the readout. A clipboard whose
// owner does not answer counts as holding no text.
void Calculator::Mnu_Edition_Click()
{
    m_Mnu_Coller->setEnabled(m_platform.clipboardOffer() == Platform::ClipboardOffer::Text);
}

void Calculator::Mnu_Copier_Click()
{
    m_platform.setClipboardText(fromUtf8(m_state.readout));
    moveFocusToEquals();
}

void Calculator::Mnu_Coller_Click()
{
    if (auto text = m_platform.clipboardText())
        PasteIntoReadout(m_state, std::move(*text));
    moveFocusToEquals();
}

// The tape panel is made at its first showing and then only hidden and shown; the window is
// fixed-size in both states. Hidden, it gives the keyboard back to "=".
void Calculator::Mnu_Historique_Click()
{
    if (m_tapePanel == nullptr) {
        const int keypadHeight = m_client->height();
        m_tapePanel = new TapePanel(m_module.tape, m_platform, keypadHeight, centralWidget());
        m_tapePanel->setMessagePresenter([this](const Message &message) { showMessage(message); });
        m_tapePanel->hide();
        m_tapePanel->list()->installEventFilter(this);
        centralWidget()->layout()->addWidget(m_tapePanel);
    }
    const bool show = m_tapePanel->isHidden();
    const bool hadFocus = tapeHasFocus();
    if (show)
        m_tapePanel->showTape();
    else
        m_tapePanel->hide();
    m_Mnu_Historique->setChecked(show);
    // The new fixed size at once, not at the next pass of the event loop.
    centralWidget()->layout()->activate();
    layout()->activate();
    if (hadFocus)
        m_equals->setFocus(Qt::OtherFocusReason);
}

bool Calculator::tapeHasFocus() const
{
    return m_tapePanel != nullptr && m_tapePanel->isAncestorOf(QApplication::focusWidget());
}

// From the calculator into the tape, its current line in view, and back to "=".
void Calculator::switchPane()
{
    if (m_tapePanel == nullptr || m_tapePanel->isHidden())
        return;
    if (tapeHasFocus())
        return m_equals->setFocus(Qt::OtherFocusReason);
    QListWidget *list = m_tapePanel->list();
    if (list->currentRow() < 0 && list->count() > 0)
        list->setCurrentRow(list->count() - 1, QItemSelectionModel::NoUpdate);
    list->setFocus(Qt::OtherFocusReason);
}

// Typing never stays in the tape: a key that "=" acts on goes to "=", as if typed there.
bool Calculator::typedIntoTape(const QKeyEvent &keyEvent)
{
    if (keyEvent.modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool control = keyEvent.modifiers().testFlag(Qt::ControlModifier);
    const std::vector<int> codes = TypedKeyCodes(keyEvent.key(), ucs4(keyEvent.text()), control);
    const bool forEquals = std::any_of(codes.begin(), codes.end(), [](int code) {
        OperatorKeyMap(code);
        return code != 0; // "," too: accepted by "=", which does nothing with it
    });
    if (!forEquals)
        return false; // the list's own keys: arrows, pages, Home, End, Ctrl+A, Ctrl+C...
    m_equals->setFocus(Qt::OtherFocusReason);
    return handleKey(m_equals, KeyHandler::Operator, keyEvent.text(), keyEvent.key(), control);
}

void Calculator::record(std::string_view entry)
{
    if (m_module.tape.add(entry) && m_tapePanel != nullptr)
        m_tapePanel->showNewEntry();
}

void Calculator::Command14_Click()
{
    MnuQuitter_Click();
}

// Ends the program at once: no question, nothing written.
void Calculator::MnuQuitter_Click()
{
    m_platform.quit();
}

} // namespace korvex
