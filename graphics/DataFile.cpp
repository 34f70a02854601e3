#include "graphics/DataFile.h"

#include "graphics/Log.h"
#include "graphics/Util.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif
#endif

namespace
{
// The few system calls the readers and the score writer need, on each system.
// Every file is opened in binary mode (Windows' text mode would turn a score
// byte 0a into 0d 0a and stop reading at 1a), is never inherited by another
// program, and never blocks on opening.
#ifdef _WIN32
using FileInfo = struct _stat64;
using Offset = std::int64_t;
constexpr int kReadOnly = _O_RDONLY;
constexpr int kWriteCreate = _O_WRONLY | _O_CREAT;

bool IsRegular(const FileInfo& info)
{
    return (info.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsDirectory(const FileInfo& info)
{
    return (info.st_mode & _S_IFMT) == _S_IFDIR;
}
bool StatPath(const std::string& path, FileInfo& info)
{
    return _stat64(path.c_str(), &info) == 0;
}
// Windows has no symbolic links a player makes by accident.
bool IsLink(const std::string& /*path*/)
{
    return false;
}
bool StatOpen(int fd, FileInfo& info)
{
    return _fstat64(fd, &info) == 0;
}
int OpenFile(const std::string& path, int flags)
{
    return _open(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
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
// Windows' locks are mandatory: a lock on the records would make a reader's
// read fail. The writers agree on one byte far past any score file instead.
OVERLAPPED LockByte()
{
    OVERLAPPED where = {};
    where.Offset = 0xFFFFFFFEu;
    where.OffsetHigh = 0x7FFFFFFFu;
    return where;
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
bool OnPseudoFileSystem(int /*fd*/)
{
    return false;
}
// Never an existing file: the CRT opens these with CREATE_NEW.
constexpr int kWriteNew = _O_WRONLY | _O_CREAT | _O_EXCL;
constexpr int kLockFile = _O_RDWR | _O_CREAT;
// The read-only attribute, which _stat reports as a mode without write.
bool ReadOnly(const FileInfo& info)
{
    return (info.st_mode & _S_IWRITE) == 0;
}
bool FlushToDisk(int fd)
{
    return _commit(fd) == 0;
}
bool ReplaceFile(const std::string& from, const std::string& to)
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
#else
using FileInfo = struct stat;
using Offset = off_t;
constexpr int kReadOnly = O_RDONLY;
constexpr int kWriteCreate = O_WRONLY | O_CREAT;

bool IsRegular(const FileInfo& info)
{
    return S_ISREG(info.st_mode);
}
bool IsDirectory(const FileInfo& info)
{
    return S_ISDIR(info.st_mode);
}
bool StatPath(const std::string& path, FileInfo& info)
{
    return stat(path.c_str(), &info) == 0;
}
bool IsLink(const std::string& path)
{
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}
bool StatOpen(int fd, FileInfo& info)
{
    return fstat(fd, &info) == 0;
}
int OpenFile(const std::string& path, int flags)
{
    return open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
}
long long ReadSome(int fd, char* into, std::size_t count)
{
    return read(fd, into, count);
}
long long WriteAt(int fd, const char* from, std::size_t count, Offset at)
{
    return pwrite(fd, from, count, at);
}
bool CutBack(int fd, Offset size)
{
    return ftruncate(fd, size) == 0;
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
// The kernel's own files (under /proc and /sys) claim to be regular files,
// but reading one can be endless or act on the system.
bool OnPseudoFileSystem(int fd)
{
#if defined(__linux__)
    constexpr unsigned long kProc = 0x9fa0;
    constexpr unsigned long kSysfs = 0x62656572;
    struct statfs where = {};
    if (fstatfs(fd, &where) != 0)
    {
        return false;
    }
    const auto type = static_cast<unsigned long>(where.f_type);
    return type == kProc || type == kSysfs;
#else
    (void)fd;
    return false;
#endif
}
// Never an existing file, nor a link: one planted at the name is not
// written through.
constexpr int kWriteNew = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
constexpr int kLockFile = O_RDWR | O_CREAT | O_NOFOLLOW;
// No write permission for anyone, as the player sets it with chmod a-w: root
// could write anyway, but the player said not to.
bool ReadOnly(const FileInfo& info)
{
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}
bool FlushToDisk(int fd)
{
    return fsync(fd) == 0;
}
bool ReplaceFile(const std::string& from, const std::string& to)
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
#endif

// Another game may be saving at the same moment: its save takes a moment, so
// wait for it, but not for ever (a writer held by a debugger must not freeze
// this game; the save is then refused instead).
constexpr auto kLockPatience = std::chrono::seconds(2);

bool Lock(int fd)
{
    const auto giveUp = std::chrono::steady_clock::now() + kLockPatience;
    while (!TryLock(fd))
    {
        if (std::chrono::steady_clock::now() > giveUp)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

DataFile Failure(DataStatus status, int error)
{
    DataFile result;
    result.status = status;
    result.reason = std::strerror(error);
    return result;
}

DataFile Refusal(DataStatus status, const char* reason)
{
    DataFile result;
    result.status = status;
    result.reason = reason;
    return result;
}

// A directory is reported as such; anything else that is not a plain file
// (FIFO, device, socket, a kernel file) has no errno of its own.
DataFile NotRegular(const FileInfo& info)
{
    return IsDirectory(info) ? Failure(DataStatus::kNotOpened, EISDIR)
                             : Refusal(DataStatus::kNotOpened, "Not a regular file");
}

// Keeps a descriptor only for a regular file. A special file is refused
// before it is opened (opening a device can act on it), and checked again on
// the descriptor in case it was swapped in between; the open never blocks (a
// FIFO without a writer would wait for ever). Returns -1 and fills `failure`
// otherwise; `info` describes the file opened.
int OpenRegular(const std::string& path, int flags, DataFile& failure, FileInfo& info)
{
    if (StatPath(path, info) && !IsRegular(info))
    {
        failure = NotRegular(info);
        return -1;
    }
    const int fd = OpenFile(path, flags);
    if (fd < 0)
    {
        const int error = errno;
        failure = Failure(DataStatus::kNotOpened, error);
        failure.missing = error == ENOENT;
        return -1;
    }
    if (!StatOpen(fd, info))
    {
        failure = Failure(DataStatus::kNotOpened, errno);
        CloseFile(fd);
        return -1;
    }
    if (!IsRegular(info) || OnPseudoFileSystem(fd))
    {
        failure = NotRegular(info);
        CloseFile(fd);
        return -1;
    }
    return fd;
}

DataFile Read(const std::string& storedPath, std::size_t limit, bool prefixOnly)
{
    DataFile result;
    FileInfo info = {};
    const int fd = OpenRegular(NativePath(storedPath), kReadOnly, result, info);
    if (fd < 0)
    {
        return result;
    }
    // One byte past the bound tells a file of exactly `limit` bytes from a
    // longer one. The size the file claims only sets the first buffer: the
    // bound is what stops the reading.
    const std::size_t want = prefixOnly ? limit : limit + 1;
    const auto claimed = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    result.bytes.resize(std::min(want, claimed + 1));
    std::size_t got = 0;
    while (got < want)
    {
        if (got == result.bytes.size())
        {
            result.bytes.resize(std::min(want, 2 * got + 4096));
        }
        const long long n = ReadSome(fd, result.bytes.data() + got, result.bytes.size() - got);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n < 0)
        {
            result = Failure(DataStatus::kFailed, errno);
            CloseFile(fd);
            return result;
        }
        if (n == 0)
        {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    CloseFile(fd);
    result.bytes.resize(got);
    if (got > limit)
    {
        return Failure(DataStatus::kTooLarge, EFBIG);
    }
    result.status = DataStatus::kDone;
    return result;
}

// Writes the record at `start`; on failure the file is cut back to `start`,
// since whatever part got out is not a record. Runs under the lock.
DataFile Append(int fd, const std::string& record, Offset start)
{
    std::size_t written = 0;
    while (written < record.size())
    {
        const long long n = WriteAt(fd, record.data() + written, record.size() - written,
                                    start + static_cast<Offset>(written));
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            DataFile failure = Failure(DataStatus::kFailed, n < 0 ? errno : EIO);
            if (!CutBack(fd, start))
            {
                // Nothing more can be done; the reader ignores a partial tail.
            }
            return failure;
        }
        written += static_cast<std::size_t>(n);
    }
    DataFile done;
    done.status = DataStatus::kDone;
    return done;
}
} // namespace

DataFile ReadDataFile(const std::string& storedPath, std::size_t limit)
{
    return Read(storedPath, limit, false);
}

DataFile ReadDataPrefix(const std::string& storedPath, std::size_t limit)
{
    return Read(storedPath, limit, true);
}

DataFile WriteRecord(const std::string& storedPath, const std::string& record)
{
    DataFile result;
    FileInfo info = {};
    const std::string path = NativePath(storedPath);
    const int fd = OpenRegular(path, kWriteCreate, result, info);
    if (fd < 0)
    {
        return result;
    }
    // The end is read under the lock: another game's save in between would
    // otherwise be written over.
    if (!Lock(fd))
    {
        CloseFile(fd);
        return Refusal(DataStatus::kFailed, "Another program kept the file locked");
    }
    if (!StatOpen(fd, info))
    {
        result = Failure(DataStatus::kFailed, errno);
        Unlock(fd);
        CloseFile(fd);
        return result;
    }
    const auto size = static_cast<Offset>(record.size());
    const Offset stray = size > 0 ? static_cast<Offset>(info.st_size) % size : 0;
    const Offset start = static_cast<Offset>(info.st_size) - stray;
    // A partial record at the end is an interrupted save of our own, unless
    // the file is only named here through a link: then it is someone else's
    // file, and its bytes are not ours to overwrite.
    if (stray != 0 && IsLink(path))
    {
        Unlock(fd);
        CloseFile(fd);
        return Refusal(DataStatus::kFailed,
                       "The file is a link to a file that does not end in whole records");
    }
    result = Append(fd, record, start);
    Unlock(fd);
    // Some file systems report a failed write only when the file is closed.
    if (CloseFile(fd) != 0 && result.status == DataStatus::kDone)
    {
        return Failure(DataStatus::kFailed, errno);
    }
    return result;
}

DataFile WriteWholeFile(const std::string& storedPath, const std::string& bytes)
{
    DataFile result;
    FileInfo info = {};
    const std::string path = NativePath(storedPath);
    if (StatPath(path, info) && !IsRegular(info))
    {
        return NotRegular(info);
    }
    // A file the player made read-only is theirs to keep as it is.
    if (StatPath(path, info) && ReadOnly(info))
    {
        return Failure(DataStatus::kNotOpened, EACCES);
    }
    // Named for this process, so two games saving at once never write into
    // one new file, and always created new: whatever has the name already
    // (left by a game that stopped mid-save, or a link planted there) is
    // removed, never opened.
    const std::string fresh = path + "." + std::to_string(ProcessId()) + ".new";
    int fd = OpenFile(fresh, kWriteNew);
    if (fd < 0 && errno == EEXIST)
    {
        RemoveFile(fresh);
        fd = OpenFile(fresh, kWriteNew);
    }
    if (fd < 0)
    {
        return Failure(DataStatus::kNotOpened, errno);
    }
    result = Append(fd, bytes, 0);
    if (result.status == DataStatus::kDone && !FlushToDisk(fd))
    {
        result = Failure(DataStatus::kFailed, errno);
    }
    if (CloseFile(fd) != 0 && result.status == DataStatus::kDone)
    {
        result = Failure(DataStatus::kFailed, errno);
    }
    if (result.status == DataStatus::kDone && !ReplaceFile(fresh, path))
    {
        result = Failure(DataStatus::kFailed, errno);
    }
    if (result.status != DataStatus::kDone)
    {
        RemoveFile(fresh);
    }
    return result;
}

DataFile ChangeWholeFile(const std::string& storedPath, std::size_t limit,
                         const std::function<std::string(const DataFile&)>& change)
{
    // The file itself is replaced by every save, so the games agree on a
    // lock file beside it that stays.
    DataFile result;
    FileInfo info = {};
    const int lock = OpenRegular(NativePath(storedPath) + ".lock", kLockFile, result, info);
    if (lock < 0)
    {
        return result;
    }
    if (!Lock(lock))
    {
        CloseFile(lock);
        return Refusal(DataStatus::kFailed, "Another program kept the file locked");
    }
    result = WriteWholeFile(storedPath, change(Read(storedPath, limit, false)));
    Unlock(lock);
    CloseFile(lock);
    return result;
}

void LogReason(const std::string& reason)
{
    LogLine("Reason: " + reason);
}
