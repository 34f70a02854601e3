#include "core/Game.h"
#include "core/Platform.h"

#include <SDL.h>

int main(int /*argc*/, char* /*argv*/[])
{
    Game* game = Game::Instance();
    // A failed start-up is reported by the exit status as well as in the log.
    if (!game->Initialize())
    {
        return 1;
    }
    SystemPlatform platform;
    if (game->Run(platform))
    {
        game->Shutdown();
    }
    return 0;
}
