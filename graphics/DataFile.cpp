#include "graphics/DataFile.h"

#include "graphics/Log.h"
#include "graphics/Util.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
DataFile Failure(DataStatus status, int error)
{
    DataFile result;
    result.status = status;
    result.reason = std::strerror(error);
    return result;
}

// A directory is reported as such; anything else that is not a plain file
// (FIFO, device, socket) has no errno of its own.
DataFile NotRegular(mode_t mode)
{
    DataFile result = Failure(DataStatus::kNotOpened, EISDIR);
    if (!S_ISDIR(mode))
    {
        result.reason = "Not a regular file";
    }
    return result;
}

// Keeps a descriptor only for a regular file. A special file is refused
// before it is opened (opening a device can act on it), and checked again on
// the descriptor in case it was swapped in between; the open never blocks (a
// FIFO without a writer would wait for ever). Returns -1 and fills `failure`
// otherwise; `info` describes the file opened.
int OpenRegular(const std::string& storedPath, int flags, DataFile& failure, struct stat& info)
{
    const std::string path = NativePath(storedPath);
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    {
        failure = NotRegular(info.st_mode);
        return -1;
    }
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
    {
        failure = Failure(DataStatus::kNotOpened, errno);
        return -1;
    }
    if (fstat(fd, &info) != 0)
    {
        failure = Failure(DataStatus::kNotOpened, errno);
        close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode))
    {
        failure = NotRegular(info.st_mode);
        close(fd);
        return -1;
    }
    return fd;
}

DataFile Read(const std::string& storedPath, std::size_t limit, bool prefixOnly)
{
    DataFile result;
    struct stat info = {};
    const int fd = OpenRegular(storedPath, O_RDONLY, result, info);
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
        const ssize_t n = read(fd, result.bytes.data() + got, result.bytes.size() - got);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n < 0)
        {
            result = Failure(DataStatus::kFailed, errno);
            close(fd);
            return result;
        }
        if (n == 0)
        {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    result.bytes.resize(got);
    if (got > limit)
    {
        return Failure(DataStatus::kTooLarge, EFBIG);
    }
    result.status = DataStatus::kDone;
    return result;
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
    struct stat info = {};
    const int fd = OpenRegular(storedPath, O_WRONLY | O_CREAT, result, info);
    if (fd < 0)
    {
        return result;
    }
    const auto size = static_cast<off_t>(record.size());
    const off_t start = size > 0 ? info.st_size - info.st_size % size : info.st_size;
    std::size_t written = 0;
    while (written < record.size())
    {
        const ssize_t n = pwrite(fd, record.data() + written, record.size() - written,
                                 start + static_cast<off_t>(written));
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            result = Failure(DataStatus::kFailed, n < 0 ? errno : EIO);
            // Whatever part of the record got out is not a record: keep only
            // the whole ones that were there before.
            if (ftruncate(fd, start) != 0)
            {
                // Nothing more can be done; the reader ignores a partial tail.
            }
            close(fd);
            return result;
        }
        written += static_cast<std::size_t>(n);
    }
    // Some file systems report a failed write only when the file is closed.
    if (close(fd) != 0)
    {
        return Failure(DataStatus::kFailed, errno);
    }
    result.status = DataStatus::kDone;
    return result;
}

void LogReason(const std::string& reason)
{
    LogLine("Reason: " + reason);
}
