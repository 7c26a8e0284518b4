// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/file_system.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvex {

namespace {

    // A killed save's temporary file starts with this, beside the file it was to replace.
    std::string temporaryPrefix(const std::string &target)
    {
        const std::size_t slash = target.rfind('/');
        return '.' + target.substr(slash == std::string::npos ? 0 : slash + 1) + '.';
    }

    std::string folderPrefix(const std::string &target)
    {
        const std::size_t slash = target.rfind('/');
        return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
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

    bool isFolder(const std::string &path)
    {
        struct stat status
        {
        };
        return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    }

    // The user may add a file to the folder: an existing folder that the process may write.
    bool mayWriteIn(const std::string &folder)
    {
        return isFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
    }

    // A file without any write bit is one the user protected: even the superuser, whom access()
    // lets through, must not replace it.
    bool mayReplace(const std::string &path, const struct stat &status)
    {
        return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
            && ::access(path.c_str(), W_OK) == 0;
    }

    unsigned newFileMode()
    {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0644u & ~static_cast<unsigned>(mask);
    }

    std::optional<std::string> linkText(const std::string &path)
    {
        std::array<char, 4096> buffer{};
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) == buffer.size())
            return std::nullopt;
        return std::string(buffer.data(), static_cast<std::size_t>(length));
    }

    // The path still names the open file: nothing replaced it between the creation and the lock.
    bool namesOpenFile(const std::string &path, int descriptor)
    {
        struct stat opened
        {
        };
        struct stat named
        {
        };
        return ::fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode)
            && ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev
            && named.st_ino == opened.st_ino;
    }

} // namespace

int SystemCalls::open(const char *path, int flags, unsigned mode)
{
    return ::open(path, flags, static_cast<mode_t>(mode));
}

long SystemCalls::write(int descriptor, const void *bytes, std::size_t count)
{
    return ::write(descriptor, bytes, count);
}

int SystemCalls::fsync(int descriptor)
{
    return ::fsync(descriptor);
}

int SystemCalls::rename(const char *from, const char *to)
{
    return std::rename(from, to);
}

int SystemCalls::flock(int descriptor, int operation)
{
    return ::flock(descriptor, operation);
}

std::string SystemCalls::randomName()
{
    static constexpr std::string_view letters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    std::string name(6, ' ');
    for (char &c : name)
        c = letters[pick(random)];
    return name;
}

namespace {
    SystemCalls &realSystemCalls()
    {
        static SystemCalls calls;
        return calls;
    }
} // namespace

PosixFileSystem::PosixFileSystem()
    : m_calls(&realSystemCalls())
{
}

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

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

std::optional<FileSystem::SaveTarget> PosixFileSystem::saveTarget(const std::string &path) const
{
    std::string current = path;
    for (int links = 0; links < 40; ++links) {
        struct stat status
        {
        };
        if (::lstat(current.c_str(), &status) != 0) {
            // Only the file itself may be missing; a link to nothing is the user's mistake.
            if (errno != ENOENT || links > 0 || !mayWriteIn(FolderOf(current)))
                return std::nullopt;
            return SaveTarget{current, newFileMode(), std::nullopt};
        }
        if (S_ISLNK(status.st_mode)) {
            const auto text = linkText(current);
            if (!text)
                return std::nullopt;
            current = text->starts_with('/') ? *text : folderPrefix(current) + *text;
            continue;
        }
        if (!S_ISREG(status.st_mode) || !mayReplace(current, status)
            || !mayWriteIn(FolderOf(current)))
            return std::nullopt;
        return SaveTarget{current, status.st_mode & 07777u,
            std::pair<unsigned, unsigned>{status.st_uid, status.st_gid}};
    }
    return std::nullopt; // a loop of links
}

void PosixFileSystem::removeStaleTemporaries(const std::string &target)
{
    const std::string prefix = temporaryPrefix(target);
    const std::string folder = FolderOf(target);
    DIR *listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    while (const dirent *entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!name.starts_with(prefix))
            continue;
        const std::string path = folder + '/' + name;
        // A link of that name is not a save's: only regular files are ever opened here.
        const int descriptor =
            ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0)
            continue;
        // A free lock means the save that made the file is gone; a live one holds it.
        if (namesOpenFile(path, descriptor) && m_calls->flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(descriptor);
    }
    ::closedir(listing);
}

std::optional<FileSystem::WriteFile> PosixFileSystem::createTemporary(const SaveTarget &target)
{
    const std::string stem = folderPrefix(target.path) + temporaryPrefix(target.path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = stem + m_calls->randomName();
        // Made fresh: a file or a link already of that name is refused, never written through.
        const int descriptor =
            m_calls->open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        if (descriptor < 0)
            return std::nullopt;
        // Another save's clean-up may have taken the file before the lock: then try another name.
        if (m_calls->flock(descriptor, LOCK_EX | LOCK_NB) != 0
            || !namesOpenFile(path, descriptor)) {
            ::close(descriptor);
            continue;
        }
        // The owner first: a change of owner may clear mode bits. Keeping the owner needs
        // privileges; without them the file is the user's own, which is all a user can have. The
        // result is named because glibc's fortified headers refuse a cast to void.
        if (target.owner) {
            [[maybe_unused]] const int refused =
                ::fchown(descriptor, target.owner->first, target.owner->second);
        }
        if (::fchmod(descriptor, target.mode & 07777) != 0) {
            ::unlink(path.c_str());
            ::close(descriptor);
            return std::nullopt;
        }
        return WriteFile{descriptor, std::move(path)};
    }
    return std::nullopt;
}

bool PosixFileSystem::write(const WriteFile &file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const long count = m_calls->write(file.handle, bytes.data(), bytes.size());
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
    return m_calls->fsync(file.handle) == 0;
}

bool PosixFileSystem::close(const WriteFile &file)
{
    // Not retried on EINTR: on Linux the descriptor is released whatever close returns.
    return ::close(file.handle) == 0;
}

bool PosixFileSystem::rename(const std::string &from, const std::string &to)
{
    return m_calls->rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::flushFolder(const std::string &path)
{
    const int descriptor = m_calls->open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (descriptor < 0)
        return false;
    const bool flushed = m_calls->fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && flushed;
}

void PosixFileSystem::remove(const std::string &path)
{
    ::unlink(path.c_str());
}

bool PosixFileSystem::makeSettingsFolder(const std::string &path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.ends_with('/'))
        folder.pop_back();
    if (isFolder(folder))
        return true;
    if (m_userFolder.empty() || folder != m_userFolder)
        return false;
    // Every missing level, from the top down and each private: $XDG_CONFIG_HOME itself may not
    // exist yet, nor the folder above it.
    std::vector<std::string> missing;
    for (std::string level = folder; level != "/" && level != "." && !isFolder(level);
         level = FolderOf(level))
        missing.push_back(level);
    for (auto level = missing.rbegin(); level != missing.rend(); ++level)
        ::mkdir(level->c_str(), 0700);
    return isFolder(folder);
}

bool ReplaceFile(FileSystem &files, const std::string &path, std::span<const std::string> pieces)
{
    const auto target = files.saveTarget(path);
    if (!target)
        return false;
    files.removeStaleTemporaries(target->path);
    const auto file = files.createTemporary(*target);
    if (!file)
        return false;
    bool written = true;
    for (const std::string &piece : pieces) {
        written = files.write(*file, piece);
        if (!written)
            break;
    }
    written = written && files.flush(*file);
    // Renamed while still open and locked, so no other save takes it for a killed one's.
    const bool renamed = written && files.rename(file->path, target->path);
    if (!renamed)
        files.remove(file->path);
    // Once renamed the bytes are on the disk: a failing close loses nothing.
    files.close(*file);
    return renamed && files.flushFolder(FolderOf(target->path));
}

} // namespace korvex
