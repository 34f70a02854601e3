// The file calls on Windows, through the C run-time library's descriptors.
#include "platform/FileCalls.h"
#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

namespace file_calls
{
namespace
{
void Describe(const struct _stat64& from, FileInfo& info)
{
    info.regular = (from.st_mode & _S_IFMT) == _S_IFREG;
    info.directory = (from.st_mode & _S_IFMT) == _S_IFDIR;
    info.size = static_cast<Offset>(from.st_size);
}

int Flags(OpenMode mode)
{
    switch (mode)
    {
    case OpenMode::kRead:
        return _O_RDONLY;
    case OpenMode::kWriteCreate:
        return _O_WRONLY | _O_CREAT;
    case OpenMode::kWriteNew:
        break;
    }
    return _O_WRONLY | _O_CREAT | _O_TRUNC;
}

// Windows' locks are mandatory: a lock on the records would make a reader's
// read fail. The writers agree on one byte far past any score file instead.
OVERLAPPED LockByte()
{
    OVERLAPPED where = {};
    where.Offset = 0xFFFFFFFEu;
    where.OffsetHigh = 0x7FFFFFFFu;
    return where;
}
} // namespace

bool StatPath(const std::string& path, FileInfo& info)
{
    struct _stat64 found = {};
    if (_stat64(path.c_str(), &found) != 0)
    {
        return false;
    }
    Describe(found, info);
    return true;
}
// Windows has no symbolic links a player makes by accident.
bool IsLink(const std::string& /*path*/)
{
    return false;
}
bool StatOpen(int fd, FileInfo& info)
{
    struct _stat64 found = {};
    if (_fstat64(fd, &found) != 0)
    {
        return false;
    }
    Describe(found, info);
    return true;
}
int OpenFile(const std::string& path, OpenMode mode)
{
    return _open(path.c_str(), Flags(mode) | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
long long ReadSome(int fd, char* into, std::size_t count)
{
    return _read(fd, into, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}
long long WriteAt(int fd, const char* from, std::size_t count, Offset at)
{
    if (_lseeki64(fd, at, SEEK_SET) != at)
    {
        return -1;
    }
    return _write(fd, from, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}
bool CutBack(int fd, Offset size)
{
    return _chsize_s(fd, size) == 0;
}
int CloseFile(int fd)
{
    return _close(fd);
}
bool TryLock(int fd)
{
    OVERLAPPED where = LockByte();
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &where) != 0;
}
void Unlock(int fd)
{
    OVERLAPPED where = LockByte();
    UnlockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), 0, 1, 0, &where);
}
bool FlushToDisk(int fd)
{
    return _commit(fd) == 0;
}
bool RenameOver(const std::string& from, const std::string& to)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        return true;
    }
    errno = EACCES;
    return false;
}
void RemoveFile(const std::string& path)
{
    _unlink(path.c_str());
}
int ProcessId()
{
    return _getpid();
}
} // namespace file_calls

// Windows takes the stored backslashes as they are.
std::string NativePath(const std::string& storedPath)
{
    return storedPath;
}

void OpenMissingStandardStreams()
{
    // The C library's streams of a program started without them are not
    // usable; point them at NUL so that writing to them is harmless.
    FILE* const streams[] = {stdin, stdout, stderr};
    const char* const modes[] = {"r", "w", "w"};
    for (int fd = 0; fd < 3; ++fd)
    {
        if (_get_osfhandle(fd) == -1 || _get_osfhandle(fd) == -2)
        {
            if (std::freopen("NUL", modes[fd], streams[fd]) == nullptr)
            {
                // Nothing more can be done; the stream stays unusable.
            }
        }
    }
}
