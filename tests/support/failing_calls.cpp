// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/failing_calls.h"

#include <cerrno>
#include <sys/stat.h>
#include <utility>

namespace korvex {

int FailingCalls::open(const char *path, int flags, unsigned mode)
{
    return succeeds("open") ? SystemCalls::open(path, flags, mode) : -1;
}

long FailingCalls::write(int descriptor, const void *bytes, std::size_t count)
{
    if (succeeds("write"))
        return SystemCalls::write(descriptor, bytes, count);
    SystemCalls::write(descriptor, bytes, count / 2);
    errno = EIO;
    return -1;
}

int FailingCalls::fsync(int descriptor)
{
    struct stat status
    {
    };
    ::fstat(descriptor, &status);
    return succeeds(S_ISDIR(status.st_mode) ? "flush folder" : "flush file")
        ? SystemCalls::fsync(descriptor)
        : -1;
}

int FailingCalls::rename(const char *from, const char *to)
{
    return succeeds("rename") ? SystemCalls::rename(from, to) : -1;
}

int FailingCalls::flock(int descriptor, int operation)
{
    return succeeds("lock") ? SystemCalls::flock(descriptor, operation) : -1;
}

std::string FailingCalls::randomName()
{
    succeeds("name");
    return names.empty() ? SystemCalls::randomName() : names.takeFirst().toStdString();
}

bool FailingCalls::succeeds(const QString &call)
{
    log << call;
    if (call == hookedCall && hook)
        std::exchange(hook, nullptr)();
    if (failing != call && failing != call + u' ' + QString::number(log.count(call)))
        return true;
    ++failures;
    errno = EIO;
    return false;
}

} // namespace korvex
