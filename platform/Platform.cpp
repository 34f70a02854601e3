#include "platform/Platform.h"

#include <algorithm>
#include <thread>

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
