#include "tests/Harness.h"

#include "core/Game.h"
#include "core/Input.h"

using namespace harness;

TEST_F(GameTest, EscapeOnTheMenuEndsTheProgram)
{
    InstallTestPictures();
    Start();
    Frame();
    Hold(kKeyEscape);
    Frame();
    EXPECT_TRUE(Game::Instance()->m_quit);
}
