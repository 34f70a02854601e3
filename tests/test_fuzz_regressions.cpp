// Inputs the fuzz targets of the file readers found, kept as tests.
#include "tests/Harness.h"

#include "core/Game.h"
#include "world/FileManager.h"

using namespace harness;

// Found by the settings target: a second reading of a file with fewer than four
// tokens kept the missing tokens of the first file, so a window asked for by
// the old file stayed a window.
TEST_F(GameTest, ReadingSettingsAgainTakesNothingFromTheEarlierFile)
{
    FileManager::Instance()->Initialize();
    Game* game = Game::Instance();
    WriteSettings("Dungeon 800 608 0\n");
    ASSERT_TRUE(game->ReadSettings());
    EXPECT_FALSE(game->m_fullscreen);

    WriteSettings("Other 640");
    ASSERT_TRUE(game->ReadSettings());
    EXPECT_EQ(game->m_settings[0], "Other");
    EXPECT_EQ(game->m_settings[1], "640");
    EXPECT_EQ(game->m_settings[2], "");
    EXPECT_EQ(game->m_settings[3], "");
    EXPECT_EQ(game->m_width, 640);
    EXPECT_EQ(game->m_height, 608);
    EXPECT_TRUE(game->m_fullscreen);
    EXPECT_STREQ(game->m_title, "Other");
}
