// The per-frame input record, filled from queued events with no window.

#include "core/Input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace
{
SDL_Event Button(Uint8 button, Uint8 state, Sint32 x = 0, Sint32 y = 0)
{
    const Uint32 type = state == SDL_PRESSED ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    return {.button = {type, 0, 0, 0, button, state, 1, 0, x, y}};
}

SDL_Event Motion(Sint32 x, Sint32 y, Sint32 dx, Sint32 dy)
{
    return {.motion = {SDL_MOUSEMOTION, 0, 0, 0, 0, x, y, dx, dy}};
}

// Stamped `step` ms after the last event: SDL_PushEvent would use the current tick.
void Queue(std::vector<SDL_Event> events, Uint32 step = 0)
{
    static Uint32 time = 0;
    for (SDL_Event& event : events)
    {
        event.common.timestamp = time += step;
        ASSERT_EQ(SDL_PeepEvents(&event, 1, SDL_ADDEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 1);
    }
}

// Each case has SDL's event queue to itself.
class InputRecord : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }
    Input& in = *Input::Instance();
};

TEST_F(InputRecord, ATapReadsDownForOneFrameAndAHeldButtonStaysDown)
{
    // One string a frame: D presses, U releases the three buttons and the keyboard alike.
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"U", "DU", ""}, "010"},                     // a release alone, a tap
        {{"DUDU", "", "DUD", "", "U", ""}, "101100"}, // two taps; a tap and a press: held
        {{"D", "", "UD", "", "U", ""}, "111100"},     // held, released and pressed again
    };
    for (Uint32 step : {0u, 5u})
    {
        for (const auto& [frames, reads] : rows)
        {
            for (std::size_t f = 0; f < frames.size(); ++f)
            {
                for (char c : frames[f])
                {
                    for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
                    {
                        Queue({Button(button, c == 'D' ? SDL_PRESSED : SDL_RELEASED)}, step);
                    }
                    Queue({{.type = c == 'D' ? SDL_KEYDOWN : SDL_KEYUP}}, step);
                }
                in.Fill(nullptr);
                std::ostringstream seen;
                seen << in.m_mouseLeft << in.m_mouseMiddle << in.m_mouseRight << in.m_keyDown;
                EXPECT_EQ(seen.str(), std::string(4, reads[f]))
                    << step << " ms apart, frame " << f << " of " << testing::PrintToString(frames);
            }
        }
    }
}

TEST_F(InputRecord, PositionWheelMotionAndCloseFollowTheLastEventOfTheFrame)
{
    SDL_Event wheel{.type = SDL_MOUSEWHEEL};
    wheel.wheel.x = 2;
    wheel.wheel.y = -1;
    // Motion, wheel and close count for one frame; side buttons change no button.
    // W stands for Up, which reads as a new press only in its first frame.
    const std::pair<std::vector<SDL_Event>, const char*> rows[] = {
        {{Motion(10, 20, 1, 2), Motion(30, 40, 3, 4)}, "30,40 moved 3,4 wheel 0,0 000 up 11"},
        {{Button(SDL_BUTTON_X1, SDL_PRESSED, 40, 50), Button(SDL_BUTTON_LEFT, SDL_PRESSED, 50, 60),
          wheel, SDL_Event{.type = SDL_QUIT}},
         "50,60 moved 0,0 wheel 2,-1 100 quit up 10"},
        {{Button(SDL_BUTTON_X2, SDL_RELEASED, 70, 80)}, "70,80 moved 0,0 wheel 0,0 100 up 00"},
    };
    const int held[] = {SDL_SCANCODE_W, kKeyUp, SDL_SCANCODE_UNKNOWN};
    for (int frame = 0; frame < 3; ++frame)
    {
        Uint8 keys[SDL_NUM_SCANCODES]{};
        keys[held[frame]] = held[frame] != SDL_SCANCODE_UNKNOWN ? 1 : 0;
        Queue(rows[frame].first);
        in.Fill(keys);
        std::ostringstream seen;
        seen << in.m_mouseX << "," << in.m_mouseY << " moved " << in.m_mouseRelX << ","
             << in.m_mouseRelY << " wheel " << in.m_wheelX << "," << in.m_wheelY << " "
             << in.m_mouseLeft << in.m_mouseMiddle << in.m_mouseRight << (in.m_quit ? " quit" : "")
             << " up " << +in.m_keys[kKeyUp] << in.Pressed(kKeyUp);
        EXPECT_EQ(seen.str(), rows[frame].second) << "frame " << frame;
    }
}

TEST_F(InputRecord, AKeyTappedWithinOneFrameIsANewPressThatIsNotHeld)
{
    // Down, S (which stands for Down), and Return with Alt (fullscreen's).
    for (const auto& [key, mod, reads, pressed] : {std::tuple(kKeyDown, 0, kKeyDown, true),
                                                   {SDL_SCANCODE_S, 0, kKeyDown, true},
                                                   {kKeyReturn, KMOD_LALT, kKeyReturn, false}})
    {
        SDL_Event down{.type = SDL_KEYDOWN};
        down.key.keysym.scancode = static_cast<SDL_Scancode>(key);
        down.key.keysym.mod = static_cast<Uint16>(mod);
        SDL_Event up = down;
        up.type = SDL_KEYUP;
        Queue({down, up});
        in.Fill(nullptr);
        EXPECT_EQ(std::pair(in.Pressed(reads), +in.m_keys[reads]), std::pair(pressed, 0)) << key;
        in.Fill(nullptr);
        EXPECT_FALSE(in.Pressed(reads)) << key;
    }
}

TEST_F(InputRecord, AWindowOutOfSightPausesPlayAsALostFocusDoes)
{
    const std::pair<SDL_WindowEventID, bool> rows[] = {
        {SDL_WINDOWEVENT_FOCUS_LOST, true}, {SDL_WINDOWEVENT_HIDDEN, true},
        {SDL_WINDOWEVENT_MINIMIZED, true},  {SDL_WINDOWEVENT_SHOWN, false},
        {SDL_WINDOWEVENT_RESTORED, false},  {SDL_WINDOWEVENT_FOCUS_GAINED, false},
    };
    for (const auto& [id, lost] : rows)
    {
        SDL_Event event{.type = SDL_WINDOWEVENT};
        event.window.event = static_cast<Uint8>(id);
        Queue({event});
        in.Fill(nullptr);
        EXPECT_EQ(in.m_focusLost, lost) << "window event " << id;
        in.Fill(nullptr);
        EXPECT_FALSE(in.m_focusLost) << "the frame after window event " << id;
    }
}
} // namespace
