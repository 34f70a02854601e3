// The per-frame input record, the screen queue, and the menu's buttons.

#include "tests/Harness.h"
#include "tests/Transcripts.h"

#include "core/Game.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/PlayState.h"
#include "core/Screens.h"
#include "gameplay/MenuState.h"
#include "graphics/Log.h"

#include <SDL.h>

#include <functional>
#include <memory>

using namespace harness;
using namespace transcript;

namespace
{
struct Seen
{
    bool quit;
    bool keyDown;
    int left;
    int middle;
    int right;
    float x;
    float y;
    float relX;
    float relY;
    float wheelX;
    float wheelY;
};

// A screen that records what the input record showed it in each frame.
class Probe final : public GameState
{
public:
    Probe() : GameState(nullptr)
    {
        m_alive = true;
        m_running = true;
    }
    bool Update() override
    {
        const Input* in = Input::Instance();
        m_seen.push_back({in->m_quit, in->m_keyDown, in->m_mouseLeft, in->m_mouseMiddle,
                          in->m_mouseRight, in->m_mouseX, in->m_mouseY, in->m_mouseRelX,
                          in->m_mouseRelY, in->m_wheelX, in->m_wheelY});
        return true;
    }
    bool Render() override { return true; }

    std::vector<Seen> m_seen;
};

// A screen that runs a script in each update and narrates its updates and
// its end, so the order of events shows in the log beside the frame counts.
class Scripted final : public GameState
{
public:
    using Script = std::function<void(Scripted&, int update)>;
    Scripted(std::string name, Script script, GameState* previous = nullptr)
        : GameState(previous), m_name(std::move(name)), m_script(std::move(script))
    {
        m_alive = true;
        m_running = true;
    }
    ~Scripted() override { LogLine(m_name + " destroyed"); }
    bool Update() override
    {
        ++m_updates;
        LogLine(m_name + " update " + std::to_string(m_updates));
        if (m_script)
        {
            m_script(*this, m_updates);
        }
        return true;
    }
    bool Render() override { return true; }

    std::string m_name;
    Script m_script;
    int m_updates = 0;
};

class InputTest : public GameTest
{
protected:
    // Starts the program with a probe as the only screen, past the events
    // that start-up leaves waiting.
    void StartProbe()
    {
        Start();
        Game::Instance()->m_states.clear();
        auto probe = std::make_unique<Probe>();
        m_probe = probe.get();
        Game::Instance()->PushStateFront(std::move(probe));
        Frame();
    }
    const Seen& Now() { return m_probe->m_seen.back(); }

    static void PushWheel(int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.x = x;
        event.wheel.y = y;
        SDL_PushEvent(&event);
    }
    static void PushKey(bool down)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = SDL_SCANCODE_A;
        SDL_PushEvent(&event);
    }

    Probe* m_probe = nullptr;
};

// Starts the program and replaces the menu by one scripted screen.
class QueueTest : public GameTest
{
protected:
    void StartWith(Scripted::Script first)
    {
        Start();
        Game::Instance()->m_states.clear();
        Game::Instance()->PushStateFront(std::make_unique<Scripted>("A", std::move(first)));
        m_out->Clear();
    }
};

// Puts a screen called `name` in front of `under`, running `script`.
void PushFront(Scripted& under, const char* name, Scripted::Script script = nullptr)
{
    Game::Instance()->PushStateFront(std::make_unique<Scripted>(name, std::move(script), &under));
}

// What the log shows once A, in its first update, has made a second screen.
Lines SecondScreenMade()
{
    Lines lines{"A update 1"};
    lines += Block("GameState Initialized successfully...");
    lines.push_back("2");
    return lines;
}

class MenuTest : public GameTest
{
protected:
    // Starts with the menu and clicks Guide, the press and the release either
    // waiting together (a tap) or a frame apart.
    void OpenGuide(bool tap)
    {
        InstallTestPictures();
        Start();
        Frame();
        PushMouseButton(100, 450, SDL_BUTTON_LEFT, true);
        if (tap)
        {
            PushMouseButton(100, 450, SDL_BUTTON_LEFT, false);
        }
        Frame();
        if (!tap)
        {
            PushMouseButton(100, 450, SDL_BUTTON_LEFT, false);
        }
    }
};

bool FrontIsMenu()
{
    const auto& states = Game::Instance()->m_states;
    return states.size() == 1 && dynamic_cast<MenuState*>(states.front().get()) != nullptr &&
           states.front()->m_running;
}
} // namespace

TEST_F(InputTest, CloseRequestLastsOneFrame)
{
    StartProbe();
    PushQuit();
    Frame();
    EXPECT_TRUE(Now().quit);
    Frame();
    EXPECT_FALSE(Now().quit);
}

TEST_F(InputTest, PointerButtonsAndWheel)
{
    StartProbe();
    // Events are handled in order: the later motion stands.
    PushMouseMotion(10, 20, 1, 2);
    PushMouseMotion(30, 40, 5, -3);
    Frame();
    EXPECT_EQ(Now().x, 30.0f);
    EXPECT_EQ(Now().relX, 5.0f);
    // Behind some other event, the later of two motions stands: motions are
    // not summed.
    SDL_Event other{};
    other.type = SDL_USEREVENT;
    SDL_PushEvent(&other);
    PushMouseMotion(10, 20, 1, 2);
    PushMouseMotion(30, 40, 5, -3);
    Frame();
    EXPECT_EQ(Now().x, 30.0f);
    EXPECT_EQ(Now().y, 40.0f);
    EXPECT_EQ(Now().relX, 5.0f);
    EXPECT_EQ(Now().relY, -3.0f);
    Frame();
    EXPECT_EQ(Now().relX, 0.0f);
    EXPECT_EQ(Now().x, 30.0f);

    PushMouseButton(31, 41, SDL_BUTTON_LEFT, true);
    Frame();
    EXPECT_EQ(Now().left, 1);
    EXPECT_EQ(Now().x, 31.0f);

    PushWheel(2, -1);
    Frame();
    EXPECT_EQ(Now().wheelX, 2.0f);
    EXPECT_EQ(Now().wheelY, -1.0f);
    EXPECT_EQ(Now().x, 31.0f);
    EXPECT_EQ(Now().y, 41.0f);
    EXPECT_EQ(Now().left, 1);
    Frame();
    EXPECT_EQ(Now().wheelY, 0.0f);
    EXPECT_EQ(Now().left, 1) << "no release arrived: the button stays down";

    // A side button moves the pointer and changes no flag.
    PushMouseButton(50, 60, 4, true);
    Frame();
    EXPECT_EQ(Now().x, 50.0f);
    EXPECT_EQ(Now().y, 60.0f);
    EXPECT_EQ(Now().left + Now().middle + Now().right, 1);

    PushMouseButton(50, 60, SDL_BUTTON_RIGHT, true);
    PushMouseButton(50, 60, SDL_BUTTON_MIDDLE, true);
    Frame();
    EXPECT_EQ(Now().right, 1);
    EXPECT_EQ(Now().middle, 1);
    PushMouseButton(50, 60, SDL_BUTTON_RIGHT, false);
    PushMouseButton(50, 60, SDL_BUTTON_LEFT, false);
    Frame();
    EXPECT_EQ(Now().right, 0);
    EXPECT_EQ(Now().left, 0);
    EXPECT_EQ(Now().middle, 1);
}

TEST_F(InputTest, QuickPressIsSeenForOneFrameThenReleased)
{
    StartProbe();
    PushMouseButton(5, 5, SDL_BUTTON_LEFT, true);
    PushMouseButton(5, 5, SDL_BUTTON_LEFT, false);
    Frame();
    EXPECT_EQ(Now().left, 1);
    Frame();
    EXPECT_EQ(Now().left, 0);
    Frame();
    EXPECT_EQ(Now().left, 0);

    // The delayed release does not undo a new press.
    PushMouseButton(5, 5, SDL_BUTTON_LEFT, true);
    PushMouseButton(5, 5, SDL_BUTTON_LEFT, false);
    Frame();
    PushMouseButton(5, 5, SDL_BUTTON_LEFT, true);
    Frame();
    EXPECT_EQ(Now().left, 1);

    PushKey(true);
    PushKey(false);
    Frame();
    EXPECT_TRUE(Now().keyDown);
    Frame();
    EXPECT_FALSE(Now().keyDown);
    PushKey(true);
    Frame();
    Frame();
    EXPECT_TRUE(Now().keyDown) << "a held key stays down";
}

TEST_F(QueueTest, ScreenInFrontSuspendsAndResumes)
{
    // B goes in front of A and suspends it; B ends in its second update and
    // resumes A, which ends in its third.
    StartWith(
        [](Scripted& a, int update)
        {
            if (update == 1)
            {
                PushFront(a, "B",
                          [](Scripted& b, int n)
                          {
                              if (n == 2)
                              {
                                  b.End();
                                  b.m_previous->m_running = true;
                              }
                          });
                a.m_running = false;
            }
            if (update == 3)
            {
                a.End();
            }
        });
    Frames(5);
    EXPECT_TRUE(Game::Instance()->m_quit);
    Lines expected = SecondScreenMade();
    expected += {"B update 1", "2", "B update 2", "2", "B destroyed",
                 "A update 2", "1", "A update 3", "1", "A destroyed"};
    EXPECT_EQ(m_out->Lines(), expected);
}

TEST_F(QueueTest, ScreenAtTheBackRunsAfterTheFrontEnds)
{
    StartWith(
        [](Scripted& a, int)
        {
            Game::Instance()->PushStateBack(std::make_unique<Scripted>("B", nullptr, &a));
            a.End();
        });
    Frames(2);
    Lines expected = SecondScreenMade();
    expected += {"A destroyed", "B update 1", "1"};
    EXPECT_EQ(m_out->Lines(), expected);
}

TEST_F(QueueTest, EndingTogetherWithTheScreenBehind)
{
    StartWith(
        [](Scripted& a, int)
        {
            PushFront(a, "B",
                      [](Scripted& b, int)
                      {
                          b.End();
                          b.m_previous->m_alive = false;
                      });
            a.m_running = false;
        });
    Frames(3);
    EXPECT_TRUE(Game::Instance()->m_quit);
    Lines expected = SecondScreenMade();
    expected += {"B update 1", "2", "B destroyed", "A destroyed"};
    EXPECT_EQ(m_out->Lines(), expected);
}

TEST_F(QueueTest, EndingWhilePushingFrontTakesTheNewScreenDownUnseen)
{
    StartWith(
        [](Scripted& a, int)
        {
            PushFront(a, "B");
            a.End();
        });
    EXPECT_TRUE(Step());
    EXPECT_EQ(Game::Instance()->m_states.size(), 1u);
    EXPECT_FALSE(Step()) << "the ending screen is removed without another frame";
    EXPECT_TRUE(Game::Instance()->m_states.empty());
    EXPECT_TRUE(Game::Instance()->m_quit);
    Lines expected = SecondScreenMade();
    expected += {"B destroyed", "A destroyed"};
    EXPECT_EQ(m_out->Lines(), expected);
}

TEST_F(MenuTest, PlayStartsFromTheTopLeftPixelOfItsButton)
{
    InstallTestPictures();
    Start();
    Frame();
    m_out->Clear();
    PushMouseButton(70, 310, SDL_BUTTON_LEFT, true);
    Frame();
    const auto& states = Game::Instance()->m_states;
    ASSERT_EQ(states.size(), 1u);
    EXPECT_NE(dynamic_cast<PlayState*>(states.front().get()), nullptr);
    const Lines lines = m_out->Lines();
    const int play = Find(lines, "PlayState constructor called...");
    const int menuGone = Find(lines, "MenuState destructor called...");
    EXPECT_TRUE(play > 0 && menuGone > play);
    EXPECT_GE(Find(lines, "Error opening map file: Assets\\Maps\\collisionMap.map"), 0);

    // Without a level the game still runs and ends normally.
    Frames(3);
    Hold(kKeyEscape);
    Frame();
    EXPECT_TRUE(Game::Instance()->m_quit);
    Game::Instance()->Shutdown();
    EXPECT_TRUE(ContainsBlock(m_out->Lines(), Block("Game shut down successfully.")));
}

TEST_F(MenuTest, PointerJustOutsideThePlayButtonDoesNothing)
{
    InstallTestPictures();
    Start();
    Frame();
    PushMouseButton(69, 310, SDL_BUTTON_LEFT, true);
    Frame();
    EXPECT_TRUE(FrontIsMenu());
    for (const auto& [x, y] : {std::pair{198, 310}, {70, 309}, {197, 359}, {69, 358}})
    {
        PushMouseMotion(x, y);
        Frame();
        EXPECT_TRUE(FrontIsMenu()) << x << "," << y;
    }
    // Moving onto the button with the left button held down presses it.
    PushMouseMotion(197, 358);
    Frame();
    EXPECT_NE(dynamic_cast<PlayState*>(Game::Instance()->m_states.front().get()), nullptr);
}

TEST_F(MenuTest, ReturnFromTheGuideResumesTheMenu)
{
    OpenGuide(true);
    auto& states = Game::Instance()->m_states;
    ASSERT_EQ(states.size(), 2u);
    EXPECT_NE(dynamic_cast<GuideState*>(states.front().get()), nullptr);
    EXPECT_FALSE(states.back()->m_running);
    EXPECT_TRUE(states.back()->m_alive);
    Frame();
    Hold(kKeyReturn);
    Frame();
    Release(kKeyReturn);
    // The tap is over: the resumed menu must not open the guide again.
    Frames(3);
    EXPECT_TRUE(FrontIsMenu());
    const Lines lines = m_out->Lines();
    EXPECT_EQ(Count(lines, "GuideState constructor called..."), 1);
    const Lines tail(lines.end() - 8, lines.end());
    Lines expected{"2", "2"};
    expected += ObjectDestruction("Background", "Guide");
    expected += {"1", "1", "1"};
    EXPECT_EQ(tail, expected);
}

TEST_F(MenuTest, EscapeOnTheGuideEndsTheProgram)
{
    OpenGuide(false);
    m_out->Clear();
    Hold(kKeyEscape);
    Frames(2);
    EXPECT_TRUE(Game::Instance()->m_quit);
    // The suspended menu is removed without running another frame.
    Lines expected{"2"};
    expected += ObjectDestruction("Background", "Guide");
    expected += MenuDestruction();
    EXPECT_EQ(m_out->Lines(), expected);
}

TEST_F(MenuTest, EscapeAndReturnTogetherOnTheGuide)
{
    OpenGuide(false);
    m_out->Clear();
    Hold(kKeyEscape);
    Hold(kKeyReturn);
    Frames(2);
    EXPECT_TRUE(Game::Instance()->m_quit);
    // The menu was set running but not kept alive: it runs once more and goes.
    Lines expected{"2"};
    expected += ObjectDestruction("Background", "Guide");
    expected.push_back("1");
    expected += MenuDestruction();
    EXPECT_EQ(m_out->Lines(), expected);
}
