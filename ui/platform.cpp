// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform.h"

#include "conversion/settings_file.h"
#include "ui/sys_info.h"
#include "ui/x11_clipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <memory>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace korvex {

QString Platform::programDirectory() const
{
    return QCoreApplication::applicationDirPath();
}

bool Platform::isInstalledFolder(const QString &folder)
{
    // Run from there, even by root, the program must not leave a file that every other user reads
    // and no package removes.
    static const QStringList systemFolders{u"/usr/bin"_s, u"/bin"_s, u"/usr/local/bin"_s,
        u"/usr/games"_s, u"/usr/local/games"_s, u"/usr/sbin"_s, u"/sbin"_s};
    const QString canonical = QDir(folder).canonicalPath();
    const QString installed = QDir(QString::fromUtf8(KORVEX_INSTALL_BINDIR)).canonicalPath();
    return systemFolders.contains(QDir::cleanPath(folder)) || systemFolders.contains(canonical)
        || (!installed.isEmpty() && canonical == installed);
}

QString Platform::settingsDirectory()
{
    const QString program = programDirectory();
    const std::string file = program.toStdString() + '/' + std::string(SettingsFileName);
    if (!isInstalledFolder(program) && (FileExists(file, files()) || isWritableDirectory(program)))
        return program;
    const QString user = QDir::cleanPath(userConfigDirectory());
    m_files.setUserFolder(QFile::encodeName(QDir::cleanPath(user)).toStdString());
    return user;
}

bool Platform::isWritableDirectory(const QString &path) const
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString Platform::userConfigDirectory() const
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + u"/.config"_s;
    return base + u"/korvex"_s;
}

namespace {

    // How long the clipboard's owner has to answer each request: what it offers, its text, each
    // next piece of a large text. Qt waits 5 s for each of its own requests, and a hung owner
    // would freeze the window that long at every menu opening and paste; a live owner answers
    // within milliseconds, so a third of a second leaves room for a busy one while the window
    // never seems stuck.
    constexpr std::chrono::milliseconds ownerWait{300};

    // Qt's Wayland plug-in reads the owner's pipe itself, waiting up to a second for each piece,
    // and gives a failed read as an empty text; only its warning tells the two apart. Its offers
    // are out of our reach, and compositors tell the clipboard to one data device per program,
    // Qt's, so we cannot read it ourselves with a shorter wait.
    bool failedRead = false;
    QtMessageHandler usualHandler = nullptr;

    void noticeFailedRead(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg
            && (message.startsWith(u"QWaylandDataOffer:"_s)
                || message.startsWith(u"QWaylandMimeData:"_s)))
            failedRead = true;
        if (usualHandler != nullptr)
            usualHandler(type, context, message);
    }

    void paintMeanwhile()
    {
        // Keys and clicks wait for the paste to end: they act on the readout it is about to set.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

} // namespace

Platform::ClipboardOffer Platform::clipboardOffer()
{
    m_textFormat.clear();
    m_x11Format = false;
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return ClipboardOffer::Unreadable;
    // On X11 the owner is asked first with our own deadline, so a hung one never reaches Qt's
    // wait. Our own copy is answered from memory: asking over the server would wait on ourselves.
    if (QGuiApplication::platformName() == u"xcb"_s && !clipboard->ownsClipboard()) {
        const X11ClipboardTargets targets = AskClipboardTargets(ownerWait);
        // An owner that failed the last read, and answers its list again, gets a second chance
        // only after the menu has shown it unreadable once. A copy of ours since then means the
        // window is another owner's, even if the server gave it the same number.
        if (targets.owner != 0 && std::exchange(m_failedOwner, 0) == targets.owner)
            return ClipboardOffer::Unreadable;
        switch (targets.answer) {
        case X11ClipboardTargets::Answer::NoAnswer:
            return ClipboardOffer::Unreadable;
        case X11ClipboardTargets::Answer::Given:
            if (targets.text.empty())
                return ClipboardOffer::NoText;
            m_textFormat = QString::fromStdString(targets.text.front());
            m_x11Format = true;
            return ClipboardOffer::Text;
        case X11ClipboardTargets::Answer::NoConnection:
            break; // Qt's own way below
        }
    }
    const QMimeData *data = clipboard->mimeData();
    if (data == nullptr || !data->hasText())
        return ClipboardOffer::NoText;
    // Qt keeps what a failed read gave, an empty text, for as long as the owner's offer stands.
    if (data == m_failedOffer)
        return ClipboardOffer::Unreadable;
    m_textFormat = u"text/plain"_s;
    return ClipboardOffer::Text;
}

std::optional<std::string> Platform::clipboardText()
{
    if (m_textFormat.isEmpty() && clipboardOffer() != ClipboardOffer::Text)
        return std::nullopt;
    const QString format = std::exchange(m_textFormat, QString());
    if (std::exchange(m_x11Format, false)) {
        X11ClipboardText read = ReadClipboardText(format.toStdString(), ownerWait, paintMeanwhile);
        // The keys held back meanwhile wait for the event loop's next turn, which no new event
        // from the server may bring soon: one is asked for, or a Ctrl+C typed during the paste
        // would sit unhandled until the mouse moves.
        QTimer::singleShot(0, [] {});
        if (read.answer == X11ClipboardText::Answer::Given)
            return std::move(read.text);
        m_failedOwner = read.owner;
        return std::nullopt;
    }
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (data == nullptr)
        return std::nullopt;
    // The bytes are fetched once and copied once, into the text the readout keeps.
    failedRead = false;
    usualHandler = qInstallMessageHandler(noticeFailedRead);
    const QByteArray bytes = data->data(format);
    qInstallMessageHandler(usualHandler);
    if (failedRead) {
        m_failedOffer = data;
        return std::nullopt;
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void Platform::setClipboardText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return;
    clipboard->clear();
    clipboard->setText(text);
    m_failedOwner = 0;
    m_failedOffer = nullptr;
}

void Platform::quit()
{
    QCoreApplication::quit();
}

void Platform::openLink(const QString &target)
{
    QDesktopServices::openUrl(QUrl(target));
}

QString Platform::findProgram(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}

bool Platform::startProgram(const QString &path)
{
    return QProcess::startDetached(path, {});
}

Registry &Platform::registry()
{
    // The system's registry keeps no state of its own: one reader serves every window.
    static const std::unique_ptr<Registry> system = SystemRegistry();
    return *system;
}

} // namespace korvex
