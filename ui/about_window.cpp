// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about_window.h"

#include "ui/fonts.h"
#include "ui/maker.h"
#include "ui/message_box.h"
#include "ui/platform.h"
#include "ui/sys_info.h"
#include "ui/version.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace korvex {

namespace {

    const QColor green(0x00, 0xFF, 0x00);
    const QColor red(0xFF, 0x00, 0x00);
    const QColor blue(0x00, 0x00, 0xFF);

    struct SeparatorLine
    {
        QPoint from; // twips
        QPoint to;
        QColor colour;
        int width;
    };

    // Grey first, then white above it: together an etched line under the title block.
    const SeparatorLine separatorLines[] = {
        {{0, 1217}, {5564, 1217}, QColor(0x80, 0x80, 0x80), 1},
        {{0, 1200}, {5549, 1200}, QColor(0xFF, 0xFF, 0xFF), 2},
    };

    QString versionNumbers()
    {
        return u"%1.%2.%3"_s.arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
    }

    // The lines are separated by a carriage return alone; the box on screen breaks lines there.
    Message detailsMessage()
    {
        const QStringList lines{
            QString::fromLatin1(ApplicationTitle) + u" version "_s + versionNumbers(),
            u"Calculatrice Euros/Francs"_s,
            QString(),
            MakerCredit.toString(),
            u"E-Mail : "_s + MakerEmail.toString(),
            u"Url : "_s + MakerWebSite.toString(),
            QString(),
            u"Logiciel FREEWARE"_s,
        };
        return {lines.join(u'\r').toStdString(), "A propos", MessageIcon::Information};
    }

    // Labels write from their top edge. A link is sized to its text and keeps its centre, so the
    // text stays where it was placed whatever the font's widths.
    void styleLabel(QLabel *label, const QString &text, const QColor &colour, bool link)
    {
        label->setText(text);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment((link ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
        if (!link)
            return;
        const QRect placed = label->geometry();
        const QSize size = label->sizeHint();
        label->setGeometry(placed.x() + (placed.width() - size.width()) / 2, placed.y(),
            size.width(), size.height());
    }

} // namespace

struct frmAbout::ControlRow
{
    enum Kind { Button, Label, Link, Picture };
    Kind kind = Label;
    QString name = {};
    QString caption = {}; // a picture's resource
    QRect twips = {};
    QFont font = comicFont(8.25);
    QColor colour = {};
    int tab = 0; // buttons and links: other labels and pictures never take the focus
    Handler onClick = nullptr; // a picture or a label with one is a link
    QString tooltip = {};
    QString spoken = {}; // a picture's name for screen readers
    bool isDefault = false; // Enter presses it, and it has the focus at opening
    QWidget *widget = nullptr; // made from this row

    // The default button is drawn bold.
    static ControlRow button(const QString &name, const QString &caption, QRect twips, int tab,
        Handler onClick, bool isDefault = false, const QString &tooltip = {})
    {
        return {Button, name, caption, twips, comicFont(8.25, isDefault), {}, tab, onClick, tooltip,
            {}, isDefault};
    }
    static ControlRow label(const QString &name, const QString &caption, QRect twips,
        const QColor &colour, qreal points = 8.25, bool bold = false)
    {
        return {Label, name, caption, twips, comicFont(points, bold), colour};
    }
    // Blue, centred, sized to its text.
    static ControlRow link(const QString &name, const QString &caption, QRect twips, int tab,
        Handler onClick, const QString &tooltip)
    {
        return {Link, name, caption, twips, comicFont(8.25), blue, tab, onClick, tooltip};
    }
    static ControlRow picture(const QString &name, const QString &resource, QRect twips)
    {
        return {Picture, name, resource, twips, comicFont(8.25)};
    }
    static ControlRow pictureLink(const QString &name, const QString &resource, QRect twips,
        int tab, Handler onClick, const QString &tooltip, const QString &spoken)
    {
        return {Picture, name, resource, twips, comicFont(8.25), {}, tab, onClick, tooltip, spoken};
    }
};

frmAbout::frmAbout(Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_presentMessage([this](const Message &message) { presentMessageBox(message, this); })
{
    PrepareFixedDialog(*this, u"frmAbout"_s, 5730, 3255);
    buildControls();
    Form_Load();
}

frmAbout::~frmAbout() = default;

// Every control of the window, in creation order: the whole layout at a glance. The links take
// the focus at their labels' place in the tab order; the donation picture, which has none, last.
std::vector<frmAbout::ControlRow> frmAbout::controlTable()
{
    using C = ControlRow;
    const QString donationTip =
        u"Faire un don avec PayPal - Un solution gratuite, rapide et sécurisée."_s;
    return {
        C::button(
            u"Command1"_s, u"Détails..."_s, {3960, 2280, 1455, 375}, 8, &frmAbout::Command1_Click),
        C::button(u"cmdOK"_s, u"OK"_s, {3960, 1440, 1500, 585}, 0, &frmAbout::cmdOK_Click, true),
        C::button(u"cmdSysInfo"_s, u"&Système Info..."_s, {3960, 2760, 1485, 345}, 1,
            &frmAbout::cmdSysInfo_Click, false, u"Informations système"_s),
        C::pictureLink(u"Image2"_s, u":/korvex/icons/donation.png"_s, {1200, 2400, 1500, 660}, 9,
            &frmAbout::Image2_Click, donationTip, u"Faire un don"_s),
        C::link(u"Label3"_s, u"URL : "_s + MakerWebSite.toString(), {240, 1680, 3315, 225}, 7,
            &frmAbout::Label3_Click, u"Visitez le site officiel Quiblo"_s),
        C::picture(u"Image1"_s, u":/korvex/icons/korvex-32.png"_s, {120, 240, 720, 720}),
        C::label(u"Label2"_s, u"Logiciel FREEWARE"_s, {960, 2040, 2175, 255}, red, 9.75, true),
        C::label(u"lblDescription"_s, MakerCredit.toString(), {1080, 840, 3885, 330}, green),
        C::label(u"lblTitle"_s, QString::fromLatin1(ApplicationTitle), {1080, 120, 3885, 360},
            green, 9.75, true),
        C::label(u"lblVersion"_s, u"Version "_s + versionNumbers(), {1080, 480, 3885, 225}, green),
        C::link(u"lblDisclaimer"_s, u"E-Mail : "_s + MakerEmail.toString(), {240, 1320, 3315, 225},
            3, &frmAbout::lblDisclaimer_Click, u"Envoyer un courriel"_s),
    };
}

void frmAbout::buildControls()
{
    // Over a link the pointer is a hand whose raised finger's tip points.
    const QCursor hand(QPixmap(u":/korvex/icons/hand.png"_s), 12, 1);
    m_controls = controlTable();
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (ControlRow &row : m_controls) {
        row.widget = makeControl(row, hand);
        if (row.kind == ControlRow::Button || row.onClick != nullptr)
            tabOrder.emplace_back(row.tab, row.widget);
    }
    std::sort(tabOrder.begin(), tabOrder.end());
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
}

// A label or picture with a click action; nothing for any other control.
const frmAbout::ControlRow *frmAbout::linkOf(const QObject *control) const
{
    for (const ControlRow &row : m_controls) {
        if (row.widget == control && row.kind != ControlRow::Button && row.onClick != nullptr)
            return &row;
    }
    return nullptr;
}

QWidget *frmAbout::makeControl(const ControlRow &row, const QCursor &linkCursor)
{
    QWidget *control = nullptr;
    if (row.kind == ControlRow::Button) {
        auto *button = new QPushButton(row.caption, this);
        connect(button, &QPushButton::clicked, this,
            [this, handler = row.onClick] { (this->*handler)(); });
        if (row.isDefault) {
            button->setDefault(true);
            button->setFocus();
        }
        control = button;
    } else {
        auto *label = new QLabel(this);
        if (row.onClick != nullptr) {
            // Tab only: a click opens the link and leaves the focus, and so Enter, on "OK".
            label->setFocusPolicy(Qt::TabFocus);
            label->setCursor(linkCursor);
            label->installEventFilter(this);
        }
        control = label;
    }
    control->setObjectName(row.name);
    control->setFont(row.font);
    control->setGeometry(
        twipsRect(row.twips.x(), row.twips.y(), row.twips.width(), row.twips.height()));
    control->setToolTip(row.tooltip);
    control->setAccessibleName(row.spoken);
    auto *label = qobject_cast<QLabel *>(control);
    if (row.kind == ControlRow::Picture) {
        label->setPixmap(QPixmap(row.caption));
        label->setScaledContents(true);
    } else if (row.kind != ControlRow::Button) {
        styleLabel(label, row.caption, row.colour, row.kind == ControlRow::Link);
    }
    return control;
}

void frmAbout::setMessagePresenter(MessagePresenter presenter)
{
    m_presentMessage = std::move(presenter);
}

void frmAbout::Form_Load()
{
    setWindowTitle(u"A propos "_s + QString::fromLatin1(ApplicationTitle));
}

void frmAbout::reject()
{
    cmdOK_Click();
}

void frmAbout::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    for (const SeparatorLine &line : separatorLines) {
        painter.setPen(QPen(line.colour, line.width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPoint(twipsToPixels(line.from.x()), twipsToPixels(line.from.y())),
            QPoint(twipsToPixels(line.to.x()), twipsToPixels(line.to.y())));
    }
    // A link has no frame of its own to show the focus in: the dialog rings the focused one, in
    // white on its black ground, which no desktop theme changes.
    QWidget *focused = focusWidget();
    if (focused != nullptr && focused->hasFocus() && linkOf(focused) != nullptr) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(focused->geometry().marginsAdded({2, 2, 1, 1}));
    }
}

// A link opens when the left button is released over it, or with Space or Enter while it has the
// focus: Enter then opens the link, as in a browser, rather than pressing "OK". A held key opens it
// once.
bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    const ControlRow *link = linkOf(watched);
    if (link == nullptr)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto *widget = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton
            && widget->rect().contains(mouse->position().toPoint()))
            (this->*link->onClick)();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool opens = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return
            || key->key() == Qt::Key_Enter;
        if (opens && !key->isAutoRepeat())
            (this->*link->onClick)();
        if (opens)
            return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update(); // the focus ring
    return QDialog::eventFilter(watched, event);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::Command1_Click()
{
    m_presentMessage(detailsMessage());
}

// Any failure at all, a failed start included, gets the one message of a missing tool.
void frmAbout::cmdSysInfo_Click()
{
    try {
        StartSysInfo(m_platform, m_presentMessage);
    } catch (...) {
        m_presentMessage(SysInfoMissingMessage);
    }
}

void frmAbout::Image2_Click()
{
    openLink(MakerDonationPage.toString());
}

void frmAbout::Label3_Click()
{
    openLink(MakerWebSite.toString());
}

void frmAbout::lblDisclaimer_Click()
{
    openLink(u"mailto:"_s + MakerEmail.toString());
}

// A link that does not open is not reported: nothing opening is answer enough.
void frmAbout::openLink(const QString &target)
{
    try {
        m_platform.openLink(target);
    } catch (...) {
    }
}

} // namespace korvex
