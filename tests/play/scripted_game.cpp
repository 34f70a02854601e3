// One whole session of the game, headless, for memcheck: start, a game played
// to the win with a pause on the way, the scores screen, back to the menu, a
// game left alone until the loss, and Exit. Exits non-zero when the game did
// not go where a player would expect.
#include "tests/play/ScriptedPlay.h"

#include "gameplay/Player.h"
#include "world/Map.h"

#include <cstdlib>
#include <iostream>

int main()
{
    scripted::ScratchFolder scratch("dungeon-scripted");
    scratch.CopyAssets();
    // A small window keeps the thousands of frames quick; see ScriptedPlay.h.
    scratch.WriteSettings("Dungeon 80 60 0\n");
    scripted::Driver driver;
    std::int32_t score = 0;
    bool won = false;
    {
        scripted::SilentCout quiet;
        if (driver.Start() && driver.ClickPlay())
        {
            std::srand(scripted::FavourableSeed(1));
            won = driver.WalkToWin(20);
            score = Map::Instance()->m_player->m_score;
            if (!won)
            {
                driver.Fail("the route through the gold did not win");
            }
        }
        if (won && driver.ReturnToMenu() && driver.VisitScores() && driver.ClickPlay() &&
            driver.WaitForLoss() && driver.ReturnToMenu())
        {
            driver.ClickExit();
        }
        driver.Shutdown();
    }
    // The won game appended its score once, and the scores screen showed it.
    const std::string bytes = support::ReadFile(scratch.Path() / "Assets" / "bin" / "scores.bin");
    if (won && bytes != support::Records({score}))
    {
        driver.Fail("the score file does not hold exactly the one score " + std::to_string(score));
    }
    if (won && (driver.ScoreLines().empty() ||
                driver.ScoreLines()[0] != "Score: " + std::to_string(score)))
    {
        driver.Fail("the scores screen did not show the score " + std::to_string(score));
    }
    std::cerr << "scripted game: " << driver.FramesRun() << " frames, score " << score << ", "
              << (driver.Failed() ? "FAILED" : "as expected") << std::endl;
    return driver.Failed() ? 1 : 0;
}
