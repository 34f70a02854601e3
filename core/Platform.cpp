#include "core/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

Platform::TimePoint SystemPlatform::Now()
{
    return std::chrono::steady_clock::now();
}

void SystemPlatform::SleepFor(std::chrono::nanoseconds duration)
{
    std::this_thread::sleep_for(duration);
}

const Uint8* SystemPlatform::Keys()
{
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    std::copy(keys, keys + m_keys.size(), m_keys.begin());
    // Return held with Alt toggles fullscreen; the screens do not see it.
    if ((SDL_GetModState() & KMOD_ALT) != 0)
    {
        m_keys[SDL_SCANCODE_RETURN] = 0;
    }
    return m_keys.data();
}

void SystemPlatform::Present(SDL_Renderer* renderer)
{
    SDL_RenderPresent(renderer);
}

void OpenMissingStandardStreams()
{
#ifdef _WIN32
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
#else
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
#endif
}
