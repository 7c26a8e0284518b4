// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tape_panel.h"

#include "engine/host.h"
#include "engine/tape.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/platform.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace korvex {

namespace {

    // A failed operation on a pasted megabyte makes a megabyte entry: the list shows its start,
    // copying and saving give it whole.
    constexpr qsizetype shownEntryCharacters = 200;

    constexpr int panelWidthTwips = 4800;

    QString shownEntry(const std::string &entry)
    {
        const QString text = QString::fromStdString(entry);
        return text.size() > shownEntryCharacters ? text.left(shownEntryCharacters) + u'…' : text;
    }

} // namespace

TapePanel::TapePanel(Tape &tape, Platform &platform, int height, QWidget *parent)
    : QWidget(parent)
    , m_tape(tape)
    , m_platform(platform)
{
    setObjectName(u"Historique"_s);
    setAccessibleName(u"Historique"_s);
    // Wide enough for a conversion line with its rate, as tall as the keypad.
    setFixedSize(twipsToPixels(panelWidthTwips), height);

    m_list = new QListWidget(this);
    m_list->setObjectName(u"Liste"_s);
    m_list->setAccessibleName(u"Historique des calculs"_s);
    m_list->setFont(controlFont(12)); // the readout's font
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Out of the Tab cycle, which stays the keypad's; F6 and a click lead into it.
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->setUniformItemSizes(true);
    // A line too long for the panel keeps its start and its result, and no scroll bar takes a line.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);

    // Access letters apart from the menus' F and E.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(twipsToPixels(120));
    buttons->addWidget(addButton(u"&Copier tout"_s, u"CopierTout"_s, &TapePanel::copyAll));
    buttons->addWidget(addButton(u"En&registrer..."_s, u"Enregistrer"_s, &TapePanel::save));
    buttons->addWidget(addButton(u"Eff&acer"_s, u"Effacer"_s, &TapePanel::clearTape));
    auto *layout = new QVBoxLayout(this);
    // The list's top at the readout's, the buttons' bottom at the keypad's.
    layout->setContentsMargins(0, twipsToPixels(105), twipsToPixels(120), twipsToPixels(120));
    layout->setSpacing(twipsToPixels(60));
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    m_choosePath = [this](const QString &proposed) {
        return QFileDialog::getSaveFileName(
            this, u"Enregistrer l'historique"_s, proposed, u"Texte (*.txt)"_s);
    };
    m_presentMessage = [this](const Message &message) { presentMessageBox(message, this); };
}

// The buttons never take the keyboard: clicked, they leave it where it was, so typing goes on.
QPushButton *TapePanel::addButton(
    const QString &caption, const QString &name, void (TapePanel::*action)())
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    return button;
}

void TapePanel::showTape()
{
    m_list->clear();
    for (const std::string &entry : m_tape.entries())
        m_list->addItem(shownEntry(entry));
    show();
    m_list->scrollToBottom();
}

void TapePanel::showNewEntry()
{
    if (isHidden() || m_tape.entries().empty())
        return;
    const std::string &entry = m_tape.entries().back();
    m_list->addItem(shownEntry(entry));
    // The tape dropped its oldest entry: so does the list, and row n stays entry n.
    while (static_cast<std::size_t>(m_list->count()) > m_tape.entries().size())
        delete m_list->takeItem(0);
    m_list->scrollToBottom();
    // A screen reader announces the list's new description.
    m_list->setAccessibleDescription(QString::fromStdString(entry));
}

// The window's Ctrl+C copies the readout; while the list has the keyboard, Ctrl+C copies its
// selected lines and Ctrl+A selects them all.
bool TapePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_list
        || (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress))
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const bool copy = key->matches(QKeySequence::Copy);
    const bool selectAll = key->matches(QKeySequence::SelectAll);
    if (!copy && !selectAll)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept(); // the list takes the key before the window's shortcuts
        return true;
    }
    if (copy)
        copySelection();
    else
        m_list->selectAll();
    return true;
}

// The selected lines in the tape's order, each ended by a line feed as in "Copier tout".
void TapePanel::copySelection()
{
    std::string text;
    const auto &entries = m_tape.entries();
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->isSelected() && static_cast<std::size_t>(row) < entries.size())
            text += entries[static_cast<std::size_t>(row)] + '\n';
    }
    if (!text.empty())
        m_platform.setClipboardText(QString::fromStdString(text));
}

void TapePanel::copyAll()
{
    m_platform.setClipboardText(QString::fromStdString(m_tape.text()));
}

// Written whole or not at all: the file appears only once every byte is on the disk.
void TapePanel::save()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = m_choosePath(folder + u"/Historique.txt"_s);
    if (path.isEmpty())
        return;
    const std::string text = m_tape.text();
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly)
        && file.write(text.data(), static_cast<qint64>(text.size()))
            == static_cast<qint64>(text.size())
        && file.commit();
    if (!written) {
        file.cancelWriting();
        m_presentMessage(Message{"L'historique n'a pas pu être enregistré dans « "
                + QDir::toNativeSeparators(path).toStdString() + " ».",
            "Historique", MessageIcon::Error});
    }
}

void TapePanel::clearTape()
{
    m_tape.clear();
    m_list->clear();
}

} // namespace korvex
