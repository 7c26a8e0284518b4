#include "conversion/file_system.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvex {

namespace {

    std::string decimalText(long value)
    {
        std::array<char, 24> buffer{};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        return std::string(buffer.data(), result.ptr);
    }

    // A temporary name beside the target, unique to this process and this attempt.
    std::string temporaryPath(const std::string &target, int attempt)
    {
        return target + '.' + decimalText(::getpid()) + '-' + decimalText(attempt) + ".tmp";
    }

    // Reads up to limit bytes; a short count only at the end of the file.
    bool readUpTo(int descriptor, std::string &bytes, std::size_t limit)
    {
        std::array<char, 8192> buffer{};
        while (bytes.size() < limit) {
            const std::size_t wanted = std::min(buffer.size(), limit - bytes.size());
            const ssize_t count = ::read(descriptor, buffer.data(), wanted);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                return false;
            if (count == 0)
                break;
            bytes.append(buffer.data(), static_cast<std::size_t>(count));
        }
        return true;
    }

} // namespace

bool PosixFileSystem::isRegularFile(const std::string &path) const
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<std::string> PosixFileSystem::readStart(
    const std::string &path, std::size_t limit) const
{
    // Non-blocking, and checked again once open: the path may have become a FIFO since the test.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status
    {
    };
    std::string bytes;
    const bool read = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)
        && readUpTo(descriptor, bytes, limit);
    const bool closed = ::close(descriptor) == 0;
    if (!read || !closed)
        return std::nullopt;
    return bytes;
}

std::optional<FileSystem::WriteFile> PosixFileSystem::createTemporary(const std::string &target)
{
    // Created fresh (O_EXCL) with the mode an ordinary new file gets, so a stale temporary file
    // or a link placed there is never written through.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = temporaryPath(target, attempt);
        const int descriptor =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (descriptor >= 0)
            return WriteFile{descriptor, std::move(path)};
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

bool PosixFileSystem::write(const WriteFile &file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(file.handle, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

bool PosixFileSystem::flush(const WriteFile &file)
{
    return ::fsync(file.handle) == 0;
}

bool PosixFileSystem::close(const WriteFile &file)
{
    // Not retried on EINTR: on Linux the descriptor is released whatever close returns.
    return ::close(file.handle) == 0;
}

bool PosixFileSystem::rename(const std::string &from, const std::string &to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void PosixFileSystem::remove(const std::string &path)
{
    ::unlink(path.c_str());
}

bool PosixFileSystem::makeDirectories(const std::string &path)
{
    for (std::size_t end = path.find('/', 1); end != std::string::npos;
         end = path.find('/', end + 1))
        ::mkdir(path.substr(0, end).c_str(), 0777);
    ::mkdir(path.c_str(), 0777);
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool ReplaceFile(FileSystem &files, const std::string &path, std::span<const std::string> pieces)
{
    const auto file = files.createTemporary(path);
    if (!file)
        return false;
    bool written = true;
    for (const std::string &piece : pieces) {
        written = files.write(*file, piece);
        if (!written)
            break;
    }
    written = written && files.flush(*file);
    const bool closed = files.close(*file); // whatever happened, the file must not stay open
    if (written && closed && files.rename(file->path, path))
        return true;
    files.remove(file->path);
    return false;
}

} // namespace korvex
