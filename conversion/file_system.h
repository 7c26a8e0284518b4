// SPDX-License-Identifier: GPL-3.0-or-later
// The few file operations the settings file needs, behind one interface so that every step of a
// save can be made to fail.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace korvex {

// The system calls whose order and outcome a save depends on, so that a test can watch them and
// step in between; the real ones by default.
class SystemCalls
{
public:
    virtual ~SystemCalls() = default;
    virtual int open(const char *path, int flags, unsigned mode);
    virtual long write(int descriptor, const void *bytes, std::size_t count);
    virtual int fsync(int descriptor);
    virtual int rename(const char *from, const char *to);
    virtual int flock(int descriptor, int operation);
    // The random part of a temporary file's name: six letters or digits.
    virtual std::string randomName();
};

class FileSystem
{
public:
    // A file open for writing: the layer's own handle to it and the path it was created at.
    struct WriteFile
    {
        int handle = -1;
        std::string path;
    };

    // The file a save replaces: a symbolic link's final target, so the link stays a link, with
    // the permission bits and owner the new file takes over. A new file has no owner to keep.
    struct SaveTarget
    {
        std::string path;
        unsigned mode = 0644;
        std::optional<std::pair<unsigned, unsigned>> owner; // user and group
    };

    virtual ~FileSystem() = default;

    // A regular file, or a link to one; a folder or a FIFO of that name is no file.
    virtual bool isRegularFile(const std::string &path) const = 0;
    // At most limit bytes from the start of a regular file; nothing when it cannot be read whole
    // up to there or closed.
    virtual std::optional<std::string> readStart(
        const std::string &path, std::size_t limit) const = 0;

    // Where a save of path writes; nothing when it may not: a dangling link, a folder or other
    // non-file, a file the user may not write, a folder that is gone or not the user's to write.
    virtual std::optional<SaveTarget> saveTarget(const std::string &path) const = 0;
    // Removes the temporary files that killed saves left beside target: those whose lock is free.
    virtual void removeStaleTemporaries(const std::string &target) = 0;
    // A new, empty file in the same folder as target.path, under a name no file had, locked for
    // as long as it is open and given the target's mode and owner.
    virtual std::optional<WriteFile> createTemporary(const SaveTarget &target) = 0;
    virtual bool write(const WriteFile &file, std::string_view bytes) = 0;
    virtual bool flush(const WriteFile &file) = 0; // down to the disk
    virtual bool close(const WriteFile &file) = 0;
    virtual bool rename(const std::string &from, const std::string &to) = 0;
    // Writes the folder's entries down to the disk, so that a rename in it survives a power cut.
    virtual bool flushFolder(const std::string &path) = 0;
    virtual void remove(const std::string &path) = 0;
    // True when the folder is there afterwards. Only the user's settings folder is ever made,
    // with the folder above it when missing, both private (0700); any other missing folder stays
    // missing, so a save never rebuilds a program folder deleted meanwhile.
    virtual bool makeSettingsFolder(const std::string &path) = 0;
};

// The program's files, through the POSIX calls.
class PosixFileSystem : public FileSystem
{
public:
    PosixFileSystem();
    explicit PosixFileSystem(SystemCalls &calls)
        : m_calls(&calls)
    {
    }

    // The only folder a save may make: the user's settings folder, when the settings live there.
    void setUserFolder(std::string path) { m_userFolder = std::move(path); }

    bool isRegularFile(const std::string &path) const override;
    std::optional<std::string> readStart(const std::string &path, std::size_t limit) const override;
    std::optional<SaveTarget> saveTarget(const std::string &path) const override;
    void removeStaleTemporaries(const std::string &target) override;
    std::optional<WriteFile> createTemporary(const SaveTarget &target) override;
    bool write(const WriteFile &file, std::string_view bytes) override;
    bool flush(const WriteFile &file) override;
    bool close(const WriteFile &file) override;
    bool rename(const std::string &from, const std::string &to) override;
    bool flushFolder(const std::string &path) override;
    void remove(const std::string &path) override;
    bool makeSettingsFolder(const std::string &path) override;

private:
    SystemCalls *m_calls;
    std::string m_userFolder;
};

// The folder part of a path, without its last separator: "." for a bare name.
std::string FolderOf(const std::string &path);

// Gives the file at path the pieces, written one after the other, all or nothing: a new file is
// completed and flushed beside the file (beside a link's target), then renamed over it, and the
// folder is flushed. On failure the file keeps its old bytes (or stays absent) and no temporary
// file is left behind; one left by a save killed earlier is removed first.
bool ReplaceFile(FileSystem &files, const std::string &path, std::span<const std::string> pieces);

} // namespace korvex
