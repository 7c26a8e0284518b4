// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings_window.h"

#include "conversion/settings.h"
#include "conversion/settings_dialog.h"
#include "conversion/settings_file.h"
#include "engine/host.h"
#include "ui/classic_frame.h"
#include "ui/fonts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace korvex {

namespace {

    enum class Kind { Label, TextBox, Picture, Frame, Option, Button };

    const QColor lightGreen(0xC0, 0xFF, 0xC0);

    // Whether a key press may reach a field. Only typed characters are filtered: keys that type
    // nothing (arrows, Home, End, Delete, which some platforms give the text DEL) and Tab, which
    // moves the focus, always pass.
    bool reachesField(const QKeyEvent &event)
    {
        const int key = event.key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
            return true;
        // Control with a letter types that letter's control code, whatever text the platform
        // gives the event: Ctrl+V is the character 22 and never pastes.
        if (event.modifiers().testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
            return AcceptFieldCharacter(char32_t(key - Qt::Key_A + 1));
        const QList<uint> characters = event.text().toUcs4();
        return std::all_of(characters.begin(), characters.end(),
            [](uint code) { return AcceptFieldCharacter(char32_t(code)); });
    }

    // No exception may cross Qt's event loop. Should one ever leave the core, the dialog stays
    // open with the settings the core had committed, and the caller answers as for a failure.
    template <typename Action> bool guarded(Action action)
    {
        try {
            action();
            return true;
        } catch (...) {
            return false;
        }
    }

} // namespace

struct Form1::ControlRow
{
    QString name;
    Kind kind;
    QString caption;
    QRect twips; // left, top, width, height; the option buttons' from the frame's corner
    int tab; // -1: the focus never reaches it
    bool bold;
    QString tooltip;
    Handler onClick;
    QString spoken = {}; // what a screen reader calls it, where a caption is missing or misleads
    int number = 0; // N of TextN and OptionN, by which the core knows the fields and the options
    QWidget *widget = nullptr; // made from this row
};

// Every control of the dialog, the frame before the option buttons it holds. The runs of blanks in
// the option captions line up the digits under one another; a screen reader would read the
// patterns out sign by sign, so the options are named in words. The fields have no caption of
// their own: they are named after what they hold.
std::vector<Form1::ControlRow> Form1::controlTable()
{
    return {
        {u"Label1"_s, Kind::Label, u"Taux de conversion Francs > Euros"_s, {120, 120, 3030, 195}, 4,
            true, {}, nullptr},
        {u"Text1"_s, Kind::TextBox, {}, {240, 480, 2295, 285}, 0, false, {}, nullptr,
            u"Taux de conversion"_s, 1},
        {u"Image1"_s, Kind::Picture, {}, {2640, 360, 495, 495}, -1, false, {}, nullptr},
        {u"Frame1"_s, Kind::Frame, u"Format du résultat conversion"_s, {240, 840, 2775, 1935}, 5,
            false, {}, nullptr},
        {u"Option4"_s, Kind::Option, u"Résultat non formaté"_s, {240, 360, 2175, 255}, 9, false, {},
            &Form1::Option4_Click, {}, 4},
        {u"Option1"_s, Kind::Option, u"##,##     2 décimales"_s, {240, 720, 2175, 255}, 6, false,
            u"Résultat arrondi suivant la norme monétaire"_s, &Form1::Option1_Click,
            u"2 décimales"_s, 1},
        {u"Option2"_s, Kind::Option, u"##,###   3 décimales"_s, {240, 1080, 2175, 375}, 7, false,
            {}, &Form1::Option2_Click, u"3 décimales"_s, 2},
        {u"Option3"_s, Kind::Option, u"##,#### 4 décimales"_s, {240, 1560, 2175, 255}, 8, false, {},
            &Form1::Option3_Click, u"4 décimales"_s, 3},
        {u"Label2"_s, Kind::Label, u"T.V.A en pourcentage"_s, {480, 2880, 1890, 195}, 11, true, {},
            nullptr},
        {u"Text2"_s, Kind::TextBox, {}, {480, 3120, 2295, 285}, 10, false, {}, nullptr,
            u"Taux de TVA"_s, 2},
        {u"Command1"_s, Kind::Button, u"&OK"_s, {240, 3600, 615, 495}, 1, true,
            u"Modifications prises en compte"_s, &Form1::Command1_Click},
        {u"Command2"_s, Kind::Button, u"&Annuler"_s, {960, 3600, 975, 495}, 2, false,
            u"Ne prend pas en compte les modifications"_s, &Form1::Command2_Click},
        {u"Command3"_s, Kind::Button, u"&Sauver"_s, {2040, 3600, 975, 495}, 3, false,
            u"Sauvegarde des paramètres"_s, &Form1::Command3_Click},
    };
}

Form1::Form1(Settings &settings, FileSystem &files, Host &host, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_files(files)
    , m_host(host)
{
    PrepareFixedDialog(*this, u"Form1"_s, 3270, 4200);
    setWindowTitle(u"Taux de conversion et T.V.A."_s);
    setFont(controlFont(8.25));
    buildControls();
    Form_Load();
    m_Text[0]->setFocus(Qt::OtherFocusReason);
}

Form1::~Form1() = default;

// Without an owner the toolkit would centre the dialog on the screen, away from the calculator the
// user looks at. Its title bar is not known before it shows: the window's own stands in for it.
// The window system still learns whose dialog it is: it keeps the dialog in front of the
// calculator, and on Wayland, where a program cannot place its windows, the compositor may centre
// it there.
void Form1::centreOver(const QWidget &window)
{
    if (QWindow *owner = window.windowHandle()) {
        winId();
        windowHandle()->setTransientParent(owner);
    }
    const QRect over = window.frameGeometry();
    QRect frame({}, size() + over.size() - window.size());
    frame.moveCenter(over.center());
    if (const QScreen *screen = window.screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(std::clamp(
            frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
        frame.moveTop(std::clamp(
            frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    }
    move(frame.topLeft());
}

// The option buttons go into the frame made before them.
void Form1::buildControls()
{
    m_controls = controlTable();
    QWidget *frame = nullptr;
    std::vector<const ControlRow *> byTab;
    for (ControlRow &row : m_controls) {
        row.widget = makeControl(row, row.kind == Kind::Option ? frame : this);
        if (row.kind == Kind::Frame)
            frame = row.widget;
        if (row.tab >= 0)
            byTab.push_back(&row);
    }
    std::sort(byTab.begin(), byTab.end(),
        [](const ControlRow *a, const ControlRow *b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < byTab.size(); ++i)
        setTabOrder(byTab[i - 1]->widget, byTab[i]->widget);
}

QWidget *Form1::makeControl(const ControlRow &row, QWidget *parent)
{
    QWidget *control = nullptr;
    switch (row.kind) {
    case Kind::Label: {
        auto *label = new QLabel(row.caption, parent);
        label->setTextFormat(Qt::PlainText);
        control = label;
        break;
    }
    case Kind::TextBox: {
        auto *field = new QLineEdit(parent);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, lightGreen);
        palette.setColor(QPalette::Text, Qt::black);
        field->setPalette(palette);
        field->installEventFilter(this);
        // An input method would commit its text past the key filter.
        field->setAttribute(Qt::WA_InputMethodEnabled, false);
        control = m_Text[static_cast<std::size_t>(row.number - 1)] = field;
        break;
    }
    case Kind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setPixmap(QPixmap(u":/korvex/icons/korvex-32.png"_s));
        picture->setScaledContents(true);
        control = picture;
        break;
    }
    case Kind::Frame:
        control = new ClassicFrame(row.caption, parent);
        break;
    case Kind::Option:
        control = m_Option[static_cast<std::size_t>(row.number - 1)] =
            new QRadioButton(row.caption, parent);
        break;
    case Kind::Button: {
        auto *button = new QPushButton(row.caption, parent);
        // A dialog's push buttons are auto-default: Enter would press the focused one.
        button->setAutoDefault(false);
        control = button;
        break;
    }
    }
    control->setObjectName(row.name);
    control->setAccessibleName(row.spoken);
    if (row.bold)
        control->setFont(controlFont(8.25, true));
    control->setGeometry(
        twipsRect(row.twips.x(), row.twips.y(), row.twips.width(), row.twips.height()));
    if (row.kind == Kind::Label)
        control->adjustSize(); // from the top-left corner, to fit its text
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        connect(button, &QAbstractButton::clicked, this,
            [this, handler = row.onClick] { (this->*handler)(); });
    return control;
}

void Form1::Form_Load()
{
    for (const ControlRow &row : m_controls) {
        if (!row.tooltip.isEmpty())
            row.widget->setToolTip(row.tooltip);
    }
    const form1::Fields fields = form1::Form1_Load(m_settings);
    if (fields.option) {
        QRadioButton *selected = m_Option[static_cast<std::size_t>(*fields.option - 1)];
        // Selecting it runs its click action, which stores the same format again.
        selected->click();
        // Tab enters the frame at the selected option; the toolkit would enter at the first one
        // and from then on at the one that last had the focus.
        for (QRadioButton *option : m_Option) {
            if (option != selected)
                option->setFocusPolicy(Qt::FocusPolicy(option->focusPolicy() & ~Qt::TabFocus));
        }
    }
    m_Text[0]->setText(QString::fromStdString(fields.Text1));
    m_Text[1]->setText(QString::fromStdString(fields.Text2));
}

void Form1::Option1_Click()
{
    form1::Option1_Click(m_settings);
}

void Form1::Option2_Click()
{
    form1::Option2_Click(m_settings);
}

void Form1::Option3_Click()
{
    form1::Option3_Click(m_settings);
}

void Form1::Option4_Click()
{
    form1::Option4_Click(m_settings);
}

void Form1::Command1_Click()
{
    auto step = form1::DialogStep::StayOpen;
    guarded([this, &step] {
        step = form1::Command1_Click(
            m_settings, m_Text[0]->text().toStdString(), m_Text[1]->text().toStdString());
    });
    if (step == form1::DialogStep::Close)
        accept();
}

void Form1::Command2_Click()
{
    form1::Command2_Click(m_settings);
    reject();
}

// Stays open, whether the save worked or not.
void Form1::Command3_Click()
{
    const bool ran = guarded([this] {
        form1::Command3_Click(m_settings, m_Text[0]->text().toStdString(),
            m_Text[1]->text().toStdString(), m_files, m_host);
    });
    if (!ran)
        m_host.showMessage(SaveFailureMessage);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_Text[0] || watched == m_Text[1]))
        return !reachesField(*static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

// No button is the default or the cancel button: Enter and Escape press nothing and close nothing.
void Form1::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace korvex
