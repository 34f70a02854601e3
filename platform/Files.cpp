#include "platform/Files.h"

#include "platform/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace
{
using namespace file_calls;

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
    return info.directory ? Failure(DataStatus::kNotOpened, EISDIR)
                          : Refusal(DataStatus::kNotOpened, "Not a regular file");
}

// Keeps a descriptor only for a regular file. A special file is refused
// before it is opened (opening a device can act on it), and checked again on
// the descriptor in case it was swapped in between; the open never blocks (a
// FIFO without a writer would wait for ever). Returns -1 and fills `failure`
// otherwise; `info` describes the file opened.
int OpenRegular(const std::string& path, OpenMode mode, DataFile& failure, FileInfo& info)
{
    if (StatPath(path, info) && !info.regular)
    {
        failure = NotRegular(info);
        return -1;
    }
    const int fd = OpenFile(path, mode);
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
    if (!info.regular || OnPseudoFileSystem(fd))
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
    const int fd = OpenRegular(NativePath(storedPath), OpenMode::kRead, result, info);
    if (fd < 0)
    {
        return result;
    }
    // One byte past the bound tells a file of exactly `limit` bytes from a
    // longer one. The size the file claims only sets the first buffer: the
    // bound is what stops the reading.
    const std::size_t want = prefixOnly ? limit : limit + 1;
    const auto claimed = static_cast<std::size_t>(info.size > 0 ? info.size : 0);
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
    const int fd = OpenRegular(path, OpenMode::kWriteCreate, result, info);
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
    const Offset stray = size > 0 ? info.size % size : 0;
    const Offset start = info.size - stray;
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
    if (StatPath(path, info) && !info.regular)
    {
        return NotRegular(info);
    }
    // Named for this process, so two games saving at once never write into
    // one new file.
    const std::string fresh = path + "." + std::to_string(ProcessId()) + ".new";
    const int fd = OpenRegular(fresh, OpenMode::kWriteNew, result, info);
    if (fd < 0)
    {
        return result;
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
    if (result.status == DataStatus::kDone && !RenameOver(fresh, path))
    {
        result = Failure(DataStatus::kFailed, errno);
    }
    if (result.status != DataStatus::kDone)
    {
        RemoveFile(fresh);
    }
    return result;
}
