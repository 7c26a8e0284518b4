// SPDX-License-Identifier: GPL-3.0-or-later
// The one save-fault injector of the tests: the real system calls of the file layer, written down
// by kind, any of them made to fail, with a hook that runs just before a chosen call.
#pragma once

#include "conversion/file_system.h"

#include <QStringList>
#include <functional>

namespace korvex {

class FailingCalls : public SystemCalls
{
public:
    int open(const char *path, int flags, unsigned mode) override;
    // A failing write leaves half its bytes on the disk, as a disk that fills up does.
    long write(int descriptor, const void *bytes, std::size_t count) override;
    int fsync(int descriptor) override; // "flush file", or "flush folder" on a folder
    int rename(const char *from, const char *to) override;
    int flock(int descriptor, int operation) override; // "lock"
    std::string randomName() override; // "name"

    QStringList log; // the kinds, in order
    // Every call of this kind fails with EIO; "write 2": only the second of its kind.
    QString failing;
    int failures = 0;
    QString hookedCall; // the hook runs once, just before the first call of this kind
    std::function<void()> hook;
    QStringList names; // the random parts handed out first

private:
    bool succeeds(const QString &call);
};

} // namespace korvex
