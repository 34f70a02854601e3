#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The few system calls the readers and the writers of Files.cpp need, each
// system's in a file of its own (FilesPosix.cpp, FilesWin32.cpp), chosen by
// the build. Every file is opened in binary mode (Windows' text mode would
// turn a score byte 0a into 0d 0a and stop reading at 1a), is never inherited
// by another program, and never blocks on opening. A failed call leaves the
// system's errno.
namespace file_calls
{
using Offset = std::int64_t;

// What the game asks of a file's status.
struct FileInfo
{
    bool regular = false;
    bool directory = false;
    Offset size = 0;
};

enum class OpenMode
{
    kRead,        // read-only
    kWriteCreate, // write, creating a missing file
    kWriteNew,    // write, creating a missing file and emptying an old one
};

bool StatPath(const std::string& path, FileInfo& info);
// Whether the path itself is a symbolic link.
bool IsLink(const std::string& path);
bool StatOpen(int fd, FileInfo& info);
int OpenFile(const std::string& path, OpenMode mode);
long long ReadSome(int fd, char* into, std::size_t count);
long long WriteAt(int fd, const char* from, std::size_t count, Offset at);
bool CutBack(int fd, Offset size);
int CloseFile(int fd);
// An exclusive lock only the game's own writers take; readers never wait.
bool TryLock(int fd);
void Unlock(int fd);
// The kernel's own files (under /proc and /sys) claim to be regular files,
// but reading one can be endless or act on the system. Only Linux has them:
// the System*.cpp of each system says.
bool OnPseudoFileSystem(int fd);
bool FlushToDisk(int fd);
// Renames `from` over `to`, replacing it.
bool RenameOver(const std::string& from, const std::string& to);
void RemoveFile(const std::string& path);
int ProcessId();
} // namespace file_calls
