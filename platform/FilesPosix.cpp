// The file calls on POSIX systems: Linux and the browser's file system.
#include "platform/FileCalls.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file_calls
{
namespace
{
void Describe(const struct stat& from, FileInfo& info)
{
    info.regular = S_ISREG(from.st_mode);
    info.directory = S_ISDIR(from.st_mode);
    info.size = static_cast<Offset>(from.st_size);
}

int Flags(OpenMode mode)
{
    switch (mode)
    {
    case OpenMode::kRead:
        return O_RDONLY;
    case OpenMode::kWriteCreate:
        return O_WRONLY | O_CREAT;
    case OpenMode::kWriteNew:
        break;
    }
    return O_WRONLY | O_CREAT | O_TRUNC;
}
} // namespace

bool StatPath(const std::string& path, FileInfo& info)
{
    struct stat found = {};
    if (stat(path.c_str(), &found) != 0)
    {
        return false;
    }
    Describe(found, info);
    return true;
}
bool IsLink(const std::string& path)
{
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}
bool StatOpen(int fd, FileInfo& info)
{
    struct stat found = {};
    if (fstat(fd, &found) != 0)
    {
        return false;
    }
    Describe(found, info);
    return true;
}
int OpenFile(const std::string& path, OpenMode mode)
{
    return open(path.c_str(), Flags(mode) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
}
long long ReadSome(int fd, char* into, std::size_t count)
{
    return read(fd, into, count);
}
long long WriteAt(int fd, const char* from, std::size_t count, Offset at)
{
    return pwrite(fd, from, count, static_cast<off_t>(at));
}
bool CutBack(int fd, Offset size)
{
    return ftruncate(fd, static_cast<off_t>(size)) == 0;
}
int CloseFile(int fd)
{
    return close(fd);
}
// An advisory lock: only the game's own writers take it, readers never wait.
// It goes with the descriptor, so a writer that dies mid-save frees it.
bool TryLock(int fd)
{
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}
void Unlock(int fd)
{
    flock(fd, LOCK_UN);
}
bool FlushToDisk(int fd)
{
    return fsync(fd) == 0;
}
bool RenameOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}
void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}
int ProcessId()
{
    return static_cast<int>(getpid());
}
} // namespace file_calls

std::string NativePath(const std::string& storedPath)
{
    std::string native = storedPath;
    for (char& c : native)
    {
        if (c == '\\')
        {
            c = '/';
        }
    }
    return native;
}

void OpenMissingStandardStreams()
{
    // Numbers are given lowest first, so /dev/null lands on the missing one
    // when the ones below it are open, which the loop's order makes sure of.
    for (int fd = 0; fd < 3; ++fd)
    {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
        {
            continue;
        }
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd)
        {
            dup2(null, fd);
            close(null);
        }
    }
}
