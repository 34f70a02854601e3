#include "core/Game.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/System.h"

#include <SDL.h>

#include <csignal>

int main(int /*argc*/, char* /*argv*/[])
{
    NarrateWhereItCanBeRead();
    OpenMissingStandardStreams();
#ifdef SIGPIPE
    // A log whose reader went away (`dungeon | head`) must not end the game:
    // the failed write then only puts std::cout in its failed state, which
    // makes every later log line a no-op, and the game plays on.
    std::signal(SIGPIPE, SIG_IGN);
#endif
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
