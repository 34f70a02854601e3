// The game started, played and shut down twice in one process (the browser
// page's "Play again"): the second run must find every manager as a fresh
// process does. Anything left over from the first run (paths, the world, the
// font, the quit flag, a held key, the cursor) shows as a different narration,
// a different picture or a crash.

#include "tests/golden/Session.h"
#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

TEST(Restart, ASecondRunInOneProcessNarratesAndDrawsAsTheFirst)
{
    support::ScratchFolder scratch("restart");
    scratch.CopyAssets("Dungeon 800 608 0\n");
    std::ifstream script(DUNGEON_GOLDEN_DIR "/restart.script");
    std::vector<golden::Command> commands;
    ASSERT_TRUE(golden::Parse(script, commands));
    std::string text;
    {
        support::SilentCout narration(true);
        golden::Session session;
        ASSERT_TRUE(session.Run(commands)) << narration.Tail();
        text = narration.Text();
    }
    // The second run begins with the first line of a start-up after the
    // first shutdown.
    const std::size_t second = text.find("FileManager Initialize function called",
                                         text.find("Game shut down successfully."));
    ASSERT_NE(second, std::string::npos) << "the game did not start twice";
    const std::string one = text.substr(0, second);
    const std::string two = text.substr(second);
    EXPECT_EQ(one, two);
    // The runs played: the player walked, and the picture was taken in play.
    EXPECT_EQ(two.find("#> player at 16,15"), std::string::npos);
    EXPECT_NE(two.find("#> player at "), std::string::npos);
    EXPECT_NE(two.find("PlayState constructor initialized successfully..."), std::string::npos);
}
