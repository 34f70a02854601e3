#include "core/Platform.h"

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
    return SDL_GetKeyboardState(nullptr);
}

void SystemPlatform::Present(SDL_Renderer* renderer)
{
    SDL_RenderPresent(renderer);
}
