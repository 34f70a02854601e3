#pragma once

#include <cstddef>
#include <string>

// The one way the game opens, checks and closes its data files (settings,
// level layers, scores), in binary mode on every system. Only a regular file
// is ever used: a directory, FIFO, device or kernel file is refused without
// blocking on it, and reading stops at a bound,
// so no file can hang the game or fill its memory. Paths are the stored ones
// (backslashes); they are mapped to the system's separator here.

// Most a reader takes of its file.
inline constexpr std::size_t kSettingsFileLimit = std::size_t{64} * 1024;
inline constexpr std::size_t kLayerFileLimit = std::size_t{1024} * 1024;

enum class DataStatus
{
    kDone,
    kNotOpened, // missing, not permitted, or not a regular file
    kTooLarge,  // longer than the reader's bound
    kFailed,    // the system failed while reading, writing or closing
};

struct DataFile
{
    DataStatus status = DataStatus::kNotOpened;
    std::string bytes;
    // Why the system refused, for the line after the game's own.
    std::string reason;
    // Not opened because nothing is there: for a file the game may lack.
    bool missing = false;
};

// The whole file, read-only; a file longer than `limit` is kTooLarge.
DataFile ReadDataFile(const std::string& storedPath, std::size_t limit);

// At most the first `limit` bytes of the file, read-only; a longer file is
// not an error.
DataFile ReadDataPrefix(const std::string& storedPath, std::size_t limit);

// Writes one record of `record.size()` bytes right after the last whole
// record of the file, creating it when missing. Stray bytes of an earlier,
// interrupted write (a partial record at the end) are overwritten, so the new
// record reads back as written; but a file reached through a symbolic link
// may belong to someone else, and with stray bytes it is refused (kFailed) and
// left untouched. The end is found, written and repaired under an exclusive
// lock, so games saving at the same moment each keep their record. A failed
// write or close is kFailed, and the file is then cut back to its whole
// records. `bytes` stays empty.
DataFile WriteRecord(const std::string& storedPath, const std::string& record);

// Replaces the whole file with `bytes`, creating it when missing: they go to
// a new file beside it, which is flushed to the disk and then renamed over the
// old one, so a crash leaves the old file or the new one, never a part. A
// directory or special file of that name is refused (kNotOpened) and left
// alone. For small files of the player's own, never for the score file.
DataFile WriteWholeFile(const std::string& storedPath, const std::string& bytes);

// Paths are stored and printed with backslashes; this is the one place that
// turns them into the separator of the system, right before a file is opened.
std::string NativePath(const std::string& storedPath);

// Gives each of standard input, output and error that the program was started
// without (`dungeon 2>&-`) the null device. Otherwise the next file the
// program or a library opens takes that number, and a library's diagnostics
// written to "standard error" land in it: in the X connection they hang the
// game. Called first thing, before anything opens a file.
void OpenMissingStandardStreams();
