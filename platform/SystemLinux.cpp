// Linux: kernel files to keep away from, a window of points, and an X
// screen that may have no window manager.
#include "platform/FileCalls.h"
#include "platform/System.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <sys/vfs.h>

std::uint32_t SystemWindowFlags()
{
    return 0;
}

#if defined(SDL_VIDEO_DRIVER_X11)
namespace
{
// Xlib's calls, from the library SDL loaded at run time: the game links no X
// library of its own, so it still starts on a system without one.
struct Xlib
{
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getProperty = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XSync) sync = nullptr;
    decltype(&XSetErrorHandler) setErrorHandler = nullptr;
};

// The window `from`'s _NET_SUPPORTING_WM_CHECK names, or none.
Window CheckWindow(const Xlib& x, Display* display, Window from, Atom check)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Window named = None;
    if (x.getProperty(display, from, check, 0, 1, False, XA_WINDOW, &type, &format, &items, &after,
                      &data) == Success &&
        type == XA_WINDOW && format == 32 && items == 1 && data != nullptr)
    {
        named = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr)
    {
        x.free(data);
    }
    return named;
}

int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/)
{
    return 0;
}

// A window manager names a window of its own on the root window, and that
// window names itself; a manager that has quit leaves the root's name of a
// window that is gone, or that names nothing.
bool WindowManagerRunning(const Xlib& x, Display* display, Window root)
{
    const Atom check = x.internAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Window named = CheckWindow(x, display, root, check);
    if (named == None)
    {
        return false;
    }
    x.sync(display, False);
    const auto before = x.setErrorHandler(IgnoreXError);
    const bool alive = CheckWindow(x, display, named, check) == named;
    x.sync(display, False);
    x.setErrorHandler(before);
    return alive;
}
} // namespace
#endif

bool SystemCoversTheScreen(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    // Wayland's compositor covers the screen; a display that shows nothing
    // has no screen. Asked first, so that no SDL error is left behind there.
    const char* driver = SDL_GetCurrentVideoDriver();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (driver == nullptr || SDL_strcmp(driver, "x11") != 0 ||
        SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
    {
        return true;
    }
    void* library = SDL_LoadObject("libX11.so.6");
    if (library == nullptr)
    {
        return true;
    }
    Xlib x;
    x.internAtom =
        reinterpret_cast<decltype(x.internAtom)>(SDL_LoadFunction(library, "XInternAtom"));
    x.getProperty =
        reinterpret_cast<decltype(x.getProperty)>(SDL_LoadFunction(library, "XGetWindowProperty"));
    x.free = reinterpret_cast<decltype(x.free)>(SDL_LoadFunction(library, "XFree"));
    x.sync = reinterpret_cast<decltype(x.sync)>(SDL_LoadFunction(library, "XSync"));
    x.setErrorHandler = reinterpret_cast<decltype(x.setErrorHandler)>(
        SDL_LoadFunction(library, "XSetErrorHandler"));
    bool covered = true;
    if (x.internAtom != nullptr && x.getProperty != nullptr && x.free != nullptr &&
        x.sync != nullptr && x.setErrorHandler != nullptr)
    {
        Display* display = info.info.x11.display;
        covered = WindowManagerRunning(x, display, DefaultRootWindow(display));
    }
    SDL_UnloadObject(library);
    return covered;
#else
    (void)window;
    return true;
#endif
}

bool SystemShowsSharp(SDL_Renderer* /*renderer*/, SDL_Texture* /*picture*/, int /*factor*/,
                      const SDL_Rect& /*place*/)
{
    return false;
}

void NarrateWhereItCanBeRead() {}

bool file_calls::OnPseudoFileSystem(int fd)
{
    constexpr unsigned long kProc = 0x9fa0;
    constexpr unsigned long kSysfs = 0x62656572;
    struct statfs where = {};
    if (fstatfs(fd, &where) != 0)
    {
        return false;
    }
    const auto type = static_cast<unsigned long>(where.f_type);
    return type == kProc || type == kSysfs;
}
