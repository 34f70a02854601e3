// The per-frame input record, filled from queued events as the main loop
// fills it, with no window.

#include "core/Input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
class InputRecord : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    // SDL_PushEvent stamps events with the current tick, so events are added
    // with SDL_PeepEvents to keep the timestamps set here.
    void Queue(SDL_Event event)
    {
        event.common.timestamp = m_time;
        m_time += m_step;
        ASSERT_EQ(SDL_PeepEvents(&event, 1, SDL_ADDEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 1);
    }
    static SDL_Event Of(Uint32 type)
    {
        SDL_Event e{};
        e.type = type;
        return e;
    }
    static SDL_Event Button(Uint8 button, bool down, int x = 0, int y = 0)
    {
        SDL_Event e = Of(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    static SDL_Event Motion(int x, int y, int dx, int dy)
    {
        SDL_Event e = Of(SDL_MOUSEMOTION);
        e.motion = {e.type, 0, 0, 0, 0, x, y, dx, dy};
        return e;
    }
    static SDL_Event Wheel(int x, int y)
    {
        SDL_Event e = Of(SDL_MOUSEWHEEL);
        e.wheel.x = x;
        e.wheel.y = y;
        return e;
    }
    void Frame() { Input::Instance()->Fill(m_keys.data()); }

    Uint32 m_time = 1000;
    Uint32 m_step = 0;
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

// Each string is one frame's events: D press, U release, sent alike to the
// three buttons and the keyboard, interleaved. Each must read down for
// exactly the frames marked 1, whatever the events' timestamps.
TEST_F(InputRecord, ATapReadsDownForOneFrameAndAHeldButtonStaysDown)
{
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"DU", ""}, "10"},                // a tap
        {{"DUDU", ""}, "10"},              // two taps in one frame
        {{"DUD", "", "U", ""}, "1100"},    // a tap and a press: held
        {{"D", "", "", "U", ""}, "11100"}, // held, released in a later frame
        {{"D", "UD", ""}, "111"},          // released and pressed again
        {{"U", ""}, "00"},                 // a release with no press
    };
    const Input* in = Input::Instance();
    for (Uint32 step : {0u, 5u})
    {
        m_step = step;
        for (const auto& [frames, reads] : rows)
        {
            std::string left, middle, right, key;
            for (const std::string& frame : frames)
            {
                for (char c : frame)
                {
                    for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
                    {
                        Queue(Button(button, c == 'D'));
                    }
                    Queue(Of(c == 'D' ? SDL_KEYDOWN : SDL_KEYUP));
                }
                Frame();
                left += std::to_string(in->m_mouseLeft);
                middle += std::to_string(in->m_mouseMiddle);
                right += std::to_string(in->m_mouseRight);
                key += std::to_string(in->m_keyDown);
            }
            EXPECT_EQ(left + " " + middle + " " + right + " " + key,
                      reads + " " + reads + " " + reads + " " + reads)
                << "timestamps " << step << " ms apart, frames "
                << ::testing::PrintToString(frames);
        }
    }
}

TEST_F(InputRecord, PositionWheelMotionAndCloseFollowTheLastEventOfTheFrame)
{
    const std::pair<std::vector<SDL_Event>, const char*> rows[] = {
        {{Motion(10, 20, 1, 2), Motion(30, 40, 3, 4)}, "at 30,40 moved 3,4 wheel 0,0 buttons 000"},
        {{}, "at 30,40 moved 0,0 wheel 0,0 buttons 000"},
        {{Button(SDL_BUTTON_LEFT, true, 50, 60), Wheel(2, -1)},
         "at 50,60 moved 0,0 wheel 2,-1 buttons 100"},
        {{}, "at 50,60 moved 0,0 wheel 0,0 buttons 100"},
        // Side buttons move the pointer and change no button.
        {{Button(SDL_BUTTON_X1, true, 70, 80), Button(SDL_BUTTON_X2, false, 71, 81)},
         "at 71,81 moved 0,0 wheel 0,0 buttons 100"},
        {{Of(SDL_QUIT)}, "at 71,81 moved 0,0 wheel 0,0 buttons 100 quit"},
        {{}, "at 71,81 moved 0,0 wheel 0,0 buttons 100"},
    };
    const Input* in = Input::Instance();
    int frame = 0;
    for (const auto& [events, expected] : rows)
    {
        for (const SDL_Event& e : events)
        {
            Queue(e);
        }
        // The key-state array may move from frame to frame.
        Input::Instance()->Fill(m_keys.data() + ++frame);
        std::ostringstream seen;
        seen << "at " << in->m_mouseX << "," << in->m_mouseY << " moved " << in->m_mouseRelX << ","
             << in->m_mouseRelY << " wheel " << in->m_wheelX << "," << in->m_wheelY << " buttons "
             << in->m_mouseLeft << in->m_mouseMiddle << in->m_mouseRight
             << (in->m_quit ? " quit" : "");
        EXPECT_EQ(in->m_keys, m_keys.data() + frame);
        EXPECT_EQ(seen.str(), expected) << "frame " << frame;
    }
}
} // namespace
