// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services the windows use, behind one class that tests replace.
#pragma once

#include "conversion/file_system.h"

#include <QMimeData>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace korvex {

class Registry;

class Platform
{
public:
    virtual ~Platform() = default;

    // The folder of the running executable.
    virtual QString programDirectory() const;
    // The file layer of the settings file.
    virtual FileSystem &files() { return m_files; }
    // Where "Korvex.cfg" lives. An installed program: always the user's configuration folder,
    // made at the first save. A portable copy or a build: beside the program when the file is there
    // already or the program may write there, else the user's folder.
    QString settingsDirectory();
    // The install prefix's bin folder or a system folder such as /usr/bin.
    static bool isInstalledFolder(const QString &folder);
    virtual bool isWritableDirectory(const QString &path) const;
    // $XDG_CONFIG_HOME/korvex, by default ~/.config/korvex.
    virtual QString userConfigDirectory() const;

    // Whether the clipboard offers text, found without fetching the text. Unreadable when the
    // program that holds the clipboard does not answer, or failed to give its text last time.
    enum class ClipboardOffer { Unreadable, NoText, Text };
    virtual ClipboardOffer clipboardOffer();
    // The clipboard's text as UTF-8, fetched once in the format the last offer found; empty when
    // it holds none, nothing when it cannot be read: no answer in time, an owner gone, a refusal or
    // a transfer cut short. On X11 each request waits at most 0.3 s, and the window keeps painting
    // while a large text arrives; on Wayland, Qt's own wait of 1 s for each piece holds.
    virtual std::optional<std::string> clipboardText();
    // Empties the clipboard, then puts the text on it.
    virtual void setClipboardText(const QString &text);

    // Ends the program as soon as the current event has been handled.
    virtual void quit();

    // Opens a web page or a "mailto:" link with the desktop's default application. A link that
    // cannot be opened is not reported.
    virtual void openLink(const QString &target);
    // The full path of the first program of that name on the PATH; empty when there is none.
    virtual QString findProgram(const QString &name) const;
    // Starts a program in a window of its own and returns at once; false when it did not start.
    virtual bool startProgram(const QString &path);
    // The system's registry, read-only; on systems without one, every key is missing.
    virtual Registry &registry();

private:
    PosixFileSystem m_files;
    QString m_textFormat; // what the last offer said to ask for; empty when it found no text
    bool m_x11Format = false; // m_textFormat is an X format, read over our own connection
    std::uint32_t m_failedOwner = 0; // the X window whose text could not be read last time
    QPointer<const QMimeData> m_failedOffer; // what Qt could not read; gone with the offer
};

} // namespace korvex
