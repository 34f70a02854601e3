// The browser: a page's own file system, and a window of all its pixels.
#include "platform/FileCalls.h"
#include "platform/System.h"

#include <SDL.h>

// High DPI in the browser: a page with more pixels than points (a phone)
// gets them all, and the view is fitted to them.
std::uint32_t SystemWindowFlags()
{
    return SDL_WINDOW_ALLOW_HIGHDPI;
}

bool SystemCoversTheScreen(SDL_Window* /*window*/)
{
    return true;
}

void NarrateWhereItCanBeRead() {}

bool file_calls::OnPseudoFileSystem(int /*fd*/)
{
    return false;
}
