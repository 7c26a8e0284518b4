// The few file operations the settings file needs, behind one interface so that every step of a
// save can be made to fail.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

class FileSystem
{
public:
    // A file open for writing: the layer's own handle to it and the path it was created at.
    struct WriteFile
    {
        int handle = -1;
        std::string path;
    };

    virtual ~FileSystem() = default;

    // A regular file, or a link to one; a folder or a FIFO of that name is no file.
    virtual bool isRegularFile(const std::string &path) const = 0;
    // At most limit bytes from the start of a regular file; nothing when it cannot be read whole
    // up to there or closed.
    virtual std::optional<std::string> readStart(
        const std::string &path, std::size_t limit) const = 0;

    // A new, empty file in the same folder as target, under a name that no file has yet.
    virtual std::optional<WriteFile> createTemporary(const std::string &target) = 0;
    virtual bool write(const WriteFile &file, std::string_view bytes) = 0;
    virtual bool flush(const WriteFile &file) = 0; // down to the disk
    virtual bool close(const WriteFile &file) = 0;
    virtual bool rename(const std::string &from, const std::string &to) = 0;
    virtual void remove(const std::string &path) = 0;
    // The folder and its missing parents; true when it is there afterwards.
    virtual bool makeDirectories(const std::string &path) = 0;
};

// The program's files, through the POSIX calls.
class PosixFileSystem : public FileSystem
{
public:
    bool isRegularFile(const std::string &path) const override;
    std::optional<std::string> readStart(const std::string &path, std::size_t limit) const override;
    std::optional<WriteFile> createTemporary(const std::string &target) override;
    bool write(const WriteFile &file, std::string_view bytes) override;
    bool flush(const WriteFile &file) override;
    bool close(const WriteFile &file) override;
    bool rename(const std::string &from, const std::string &to) override;
    void remove(const std::string &path) override;
    bool makeDirectories(const std::string &path) override;
};

// Gives the file at path the pieces, written one after the other, all or nothing: a new file is
// completed and flushed beside it, then renamed over it. On failure the file keeps its old bytes
// (or stays absent) and no temporary file is left behind.
bool ReplaceFile(FileSystem &files, const std::string &path, std::span<const std::string> pieces);

} // namespace korvex
