// Windows: no kernel files among the player's, a window of real pixels, and
// the narration where a player can read it.
#include "platform/FileCalls.h"
#include "platform/System.h"

#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iostream>

// The program's manifest leaves the desktop's scaling to the game: the
// window, the pointer and the picture are all counted in real pixels, so
// game.ini's size is the window's size in pixels at any scaling. (The
// high-DPI flag would only matter with SDL's own scaling, in points.)
std::uint32_t SystemWindowFlags()
{
    return 0;
}

bool SystemCoversTheScreen(SDL_Window* /*window*/)
{
    return true;
}

bool file_calls::OnPseudoFileSystem(int /*fd*/)
{
    return false;
}

namespace
{
bool Usable(DWORD stream)
{
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// The narration goes through std::cout alone, so it is std::cout that is
// pointed elsewhere: the C library cannot reopen a stream the program was
// started without. The file stays open (and is never freed) until the
// process ends, after the last line.
bool NarrateInto(const std::filesystem::path& path)
{
    auto* const file = new std::filebuf;
    // Text mode, as standard output is: CR LF line ends.
    if (file->open(path, std::ios::out | std::ios::trunc) == nullptr)
    {
        delete file;
        return false;
    }
    std::cout.rdbuf(file);
    return true;
}
} // namespace

bool SystemShowsSharp(SDL_Renderer* /*renderer*/, SDL_Texture* /*picture*/, int /*factor*/,
                      const SDL_Rect& /*place*/)
{
    return false;
}

// A Windows program is started from the Start menu or Explorer without a
// console or standard output. Its narration then goes where it can be read:
// a console the program was started from, else
// %LOCALAPPDATA%\Dungeon Gold\last-run.log, the run before kept as
// previous-run.log. A folder that cannot be used leaves the game without a
// log, never without a game.
void NarrateWhereItCanBeRead()
{
    // Redirected to a file or a pipe, or handed a console: there, as on Linux.
    if (Usable(STD_OUTPUT_HANDLE))
    {
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS) && NarrateInto("CONOUT$"))
    {
        return;
    }
    PWSTR appData = nullptr;
    std::filesystem::path folder;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &appData) == S_OK)
    {
        folder = std::filesystem::path(appData) / L"Dungeon Gold";
    }
    CoTaskMemFree(appData);
    std::error_code error;
    if (folder.empty() || (!std::filesystem::create_directory(folder, error) && error))
    {
        return;
    }
    // No run before (or a log another game still writes) keeps nothing.
    std::filesystem::rename(folder / "last-run.log", folder / "previous-run.log", error);
    NarrateInto(folder / "last-run.log");
}
