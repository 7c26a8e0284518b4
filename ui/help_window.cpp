// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help_window.h"

#include "ui/classic_frame.h"
#include "ui/fonts.h"
#include "ui/maker.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <functional>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace korvex {

namespace {

    // Plain labels are 8.25 in the theme's text colour, left-aligned and sized to their text.
    enum class Look {
        Plain,
        Operators, // 9.75
        Title, // 9.75 bold italic, centred, sized to its text
        Credit, // a hair tighter than plain
        Contact, // blue
        Address, // blue, centred in its own box
        Memory, // the memory indicator's sample: bold red, centred in its bordered box
        Frame, // bold caption, the controls of its row inside
        Picture, // the program icon, scaled to its box
        Button, // bold; the window's only button, its default, which closes it
    };

    struct ControlRow
    {
        QString name = {};
        QString text = {}; // a picture's resource; a frame's caption ends with a space, on its edge
        int left = 0; // twips, from the top-left corner of the frame or window that holds it
        int top = 0;
        int width = 0; // the box of a label that does not size itself to its text
        int height = 0;
        Look look = Look::Plain;
        std::vector<ControlRow> inside = {}; // a frame's controls
    };

    // Every control of the window, in creation order, each frame with its labels. The runs of
    // spaces in the captions line up the colons of a column: they are part of the texts.
    std::vector<ControlRow> controlTable()
    {
        const QString email = u"E-Mail : "_s + MakerEmail.toString();
        const QString site = u"URL : "_s + MakerWebSite.toString();
        const QString download = u"URL : "_s + MakerDownloadSite.toString();
        return {
            {u"Frame1"_s, {}, 240, 5280, 5175, 975, Look::Frame,
                {
                    {u"Label21"_s, email, 1680, 240, 0, 0, Look::Contact},
                    {u"Label23"_s, site, 1200, 480, 2415, 255, Look::Address},
                    {u"Label22"_s, download, 1200, 720, 0, 0, Look::Contact},
                }},
            {u"Frame2"_s, u"Affichage "_s, 2880, 3720, 2535, 855, Look::Frame,
                {
                    {u"Label13"_s, u": Nombre en mémoire"_s, 720, 360},
                    {u"Label12"_s, u"M"_s, 120, 360, 495, 255, Look::Memory},
                }},
            {u"Frame3"_s, u"Fonctions "_s, 2880, 2040, 2535, 1455, Look::Frame,
                {
                    {u"Label9"_s, u"% : Pourcentage"_s, 120, 1080},
                    {u"Label5"_s, u"V : Racine carrée"_s, 120, 840},
                    {u"Label6"_s, u"X : Elevation au carré"_s, 120, 600},
                    {u"Label19"_s, u"I  : Inverse (1/x)"_s, 120, 360},
                }},
            {u"Frame4"_s, u"Commandes "_s, 240, 720, 2415, 1935, Look::Frame,
                {
                    {u"Label20"_s, u"<=        : Retour arrière"_s, 120, 1320},
                    {u"Label18"_s, u"F/Q      : Quitter le programme"_s, 120, 1560},
                    {u"Label8"_s, u"Entrée  : Egal"_s, 120, 1080},
                    {u"Label4"_s, u"N : Inversion du signe <> +/-"_s, 120, 840},
                    {u"Label3"_s, u"E : Effacement partiel"_s, 120, 600},
                    {u"Label2"_s, u"C : Effacement"_s, 120, 360},
                }},
            {u"Frame5"_s, u"Fonctions trigonométriques "_s, 2880, 720, 2535, 1095, Look::Frame,
                {
                    {u"Label17"_s, u"P : Pi  (3.14....)"_s, 1200, 600},
                    {u"Label16"_s, u"T : Tangente"_s, 120, 600},
                    {u"Label15"_s, u"O : Cosinus"_s, 1200, 360},
                    {u"Label7"_s, u"S : Sinus"_s, 120, 360},
                }},
            {u"Frame6"_s, u"Opérateurs "_s, 240, 2880, 2415, 1095, Look::Frame,
                {
                    {u"Label10"_s, u".  : Séparateur décimal"_s, 360, 600},
                    {u"Label14"_s, u"+  -  /  *"_s, 840, 360, 0, 0, Look::Operators},
                }},
            {u"Command1"_s, u"&OK"_s, 2280, 4800, 1095, 375, Look::Button},
            {u"Image1"_s, u":/korvex/icons/korvex-32.png"_s, 240, 120, 495, 495, Look::Picture},
            {u"Label11"_s, MakerCredit.toString(), 360, 4320, 0, 0, Look::Credit},
            {u"Label1"_s, u"Les commandes au clavier"_s, 1200, 240, 2925, 240, Look::Title},
        };
    }

    // Only the contact labels and the memory sample have a colour of their own; every other
    // text takes the theme's, so it reads on a dark theme as on a light one.
    std::optional<QColor> lookColour(Look look)
    {
        switch (look) {
        case Look::Contact:
        case Look::Address:
            return QColor(0x00, 0x00, 0xFF);
        case Look::Memory:
            return QColor(0xFF, 0x00, 0x00);
        default:
            return std::nullopt;
        }
    }

    // Liberation Sans runs a little wider than the bitmap font the layout was made with: a hair
    // tighter, the credit line ends clear of the "Affichage " frame beside it.
    QFont labelFont(Look look)
    {
        const bool title = look == Look::Title;
        QFont font = controlFont(
            title || look == Look::Operators ? 9.75 : 8.25, title || look == Look::Memory, title);
        if (look == Look::Credit)
            font.setLetterSpacing(QFont::AbsoluteSpacing, -0.2);
        return font;
    }

    // Labels write from their top edge. One sized to its text keeps the point its alignment hangs
    // from: its left edge, or for a centred one its centre, so the text stays where it was placed.
    QLabel *makeLabel(QWidget *parent, const ControlRow &row)
    {
        const Look look = row.look;
        const bool fixedBox = look == Look::Address || look == Look::Memory;
        const bool centred = look == Look::Title || fixedBox;
        auto *label = new QLabel(row.text, parent);
        label->setObjectName(row.name);
        label->setTextFormat(Qt::PlainText);
        label->setFont(labelFont(look));
        label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        if (const auto colour = lookColour(look)) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, *colour);
            label->setPalette(palette);
        }
        // The red sample and the blue contact lines keep the light ground they were chosen
        // against; around them the ground is the theme's.
        if (look == Look::Memory || look == Look::Contact || look == Look::Address)
            setFixedColours(*label, *lookColour(look), ClassicGround);
        if (look == Look::Memory) {
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
        }
        label->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
        if (fixedBox)
            return label;
        const QRect placed = label->geometry();
        const QSize size = label->sizeHint();
        const int left = centred ? placed.x() + (placed.width() - size.width()) / 2 : placed.x();
        label->setGeometry(left, placed.y(), size.width(), size.height());
        return label;
    }

    // The rows' controls inside parent, and each frame's inside it. onClick is the button's.
    void makeControls(
        QWidget *parent, const std::vector<ControlRow> &rows, const std::function<void()> &onClick)
    {
        for (const ControlRow &row : rows) {
            QWidget *control = nullptr;
            if (row.look == Look::Frame) {
                control = new ClassicFrame(row.text, parent);
                control->setFont(controlFont(8.25, true));
            } else if (row.look == Look::Picture) {
                auto *picture = new QLabel(parent);
                picture->setPixmap(QPixmap(row.text));
                picture->setScaledContents(true);
                control = picture;
            } else if (row.look == Look::Button) {
                auto *button = new QPushButton(row.text, parent);
                button->setFont(controlFont(8.25, true));
                button->setDefault(true);
                button->setFocus();
                QObject::connect(button, &QPushButton::clicked, button, onClick);
                control = button;
            } else {
                makeLabel(parent, row);
                continue;
            }
            control->setObjectName(row.name);
            control->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
            makeControls(control, row.inside, onClick);
        }
    }

} // namespace

FrmAide::FrmAide(QWidget *parent)
    : QDialog(parent)
{
    PrepareFixedDialog(*this, u"FrmAide"_s, 5640, 6405);
    setWindowTitle(u"Aide"_s);
    makeControls(this, controlTable(), [this] { Command1_Click(); });
}

// Escape does nothing here: the window has no cancel button.
void FrmAide::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

// The close box does what "&OK" does.
void FrmAide::closeEvent(QCloseEvent *event)
{
    Command1_Click();
    event->accept();
}

void FrmAide::Command1_Click()
{
    accept();
}

} // namespace korvex
