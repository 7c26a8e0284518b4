// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex {

void Folder::write(const std::string &name, const std::string &bytes, unsigned mode) const
{
    const int descriptor = ::open(at(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(descriptor >= 0);
    QCOMPARE(::write(descriptor, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    QCOMPARE(::fchmod(descriptor, mode), 0);
    ::close(descriptor);
}

std::string Folder::read(const std::string &name) const
{
    QFile file(QString::fromStdString(at(name)));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return noFile;
    return file.readAll().toStdString();
}

QStringList Folder::entries() const
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace korvex
