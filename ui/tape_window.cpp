// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tape_window.h"

#include "engine/host.h"
#include "engine/tape.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/platform.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace korvex {

namespace {

    // A failed operation on a pasted megabyte makes a megabyte entry: the list shows its start,
    // copying and saving give it whole.
    constexpr qsizetype shownEntryCharacters = 200;

    QString shownEntry(const std::string &entry)
    {
        const QString text = QString::fromStdString(entry);
        return text.size() > shownEntryCharacters ? text.left(shownEntryCharacters) + u'…' : text;
    }

    QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
    {
        auto *button = new QPushButton(caption, parent);
        button->setObjectName(name);
        button->setFocusPolicy(Qt::ClickFocus);
        button->setAutoDefault(false);
        return button;
    }

} // namespace

TapeWindow::TapeWindow(Tape &tape, Platform &platform, QWidget *calculator)
    : QWidget(calculator, Qt::Window)
    , m_tape(tape)
    , m_platform(platform)
    , m_calculator(calculator)
{
    PrepareWindow(*this, u"Historique"_s);
    setWindowTitle(u"Historique"_s);
    setAccessibleName(u"Historique des calculs"_s);
    // Shown or updated, the tape leaves the keyboard to the calculator.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::ClickFocus);

    m_list = new QListWidget(this);
    m_list->setObjectName(u"Liste"_s);
    m_list->setAccessibleName(u"Calculs"_s);
    m_list->setFont(controlFont(12)); // the readout's font
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->setUniformItemSizes(true);
    m_list->installEventFilter(this);

    auto *copyAllButton = makeButton(u"&Copier tout"_s, u"CopierTout"_s, this);
    auto *saveButton = makeButton(u"&Enregistrer..."_s, u"Enregistrer"_s, this);
    auto *clearButton = makeButton(u"&Effacer"_s, u"Effacer"_s, this);
    connect(copyAllButton, &QPushButton::clicked, this, [this] { copyAll(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(clearButton, &QPushButton::clicked, this, [this] { clearTape(); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(copyAllButton);
    buttons->addWidget(saveButton);
    buttons->addWidget(clearButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    m_choosePath = [this](const QString &proposed) {
        return QFileDialog::getSaveFileName(
            this, u"Enregistrer l'historique"_s, proposed, u"Texte (*.txt)"_s);
    };
    m_presentMessage = [this](const Message &message) { presentMessageBox(message, this); };
}

void TapeWindow::open()
{
    reload();
    if (!m_placed) {
        placeBesideCalculator();
        m_placed = true;
    }
    show();
    raise();
}

// To the right of the calculator, as high as it; to its left when the screen ends on the right,
// and narrower, or at last over the calculator's edge, when neither side has room.
void TapeWindow::placeBesideCalculator()
{
    const QRect calculator = m_calculator->frameGeometry();
    resize(std::max(sizeHint().width(), 320), std::max(calculator.height(), 240));
    const int gap = 8;
    QPoint place(calculator.right() + gap, calculator.top());
    if (const QScreen *screen = m_calculator->screen()) {
        const QRect room = screen->availableGeometry();
        const int rightRoom = room.right() + 1 - place.x();
        if (width() > rightRoom && calculator.left() - gap - width() >= room.left())
            place.setX(calculator.left() - gap - width());
        else if (width() > rightRoom)
            resize(std::max(minimumSizeHint().width(), rightRoom), height());
        place.setX(std::min(place.x(), room.right() + 1 - width()));
    }
    move(place);
}

void TapeWindow::reload()
{
    m_list->clear();
    for (const std::string &entry : m_tape.entries())
        m_list->addItem(shownEntry(entry));
    m_list->scrollToBottom();
}

void TapeWindow::showNewEntry()
{
    if (!isVisible() || m_tape.entries().empty())
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

bool TapeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The selected lines in the tape's order, each ended by a line feed as in "Copier tout".
void TapeWindow::copySelection()
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

void TapeWindow::copyAll()
{
    m_platform.setClipboardText(QString::fromStdString(m_tape.text()));
}

// Written whole or not at all: the file appears only once every byte is on the disk.
void TapeWindow::save()
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

void TapeWindow::clearTape()
{
    m_tape.clear();
    m_list->clear();
}

void TapeWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (m_onClosed)
        m_onClosed();
}

} // namespace korvex
