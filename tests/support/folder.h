// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh temporary folder standing for the program's own, and the files in it.
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <string>

namespace korvex {

// What Folder::read gives when no file is read.
inline const std::string noFile = "(none)";

struct Folder
{
    QTemporaryDir dir;
    std::string path = dir.path().toStdString();

    std::string at(const std::string &name = "Korvex.cfg") const { return path + '/' + name; }
    // Makes Korvex.cfg, or the named file, hold these bytes with this mode; failing fails the test.
    void write(const std::string &bytes) const { write("Korvex.cfg", bytes); }
    void write(const std::string &name, const std::string &bytes, unsigned mode = 0644) const;
    // What reading the name gives, through any link; noFile when it names no regular file.
    std::string read(const std::string &name = "Korvex.cfg") const;
    // Every name in the folder, hidden ones too.
    QStringList entries() const;
};

} // namespace korvex
