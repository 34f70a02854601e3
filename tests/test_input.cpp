// The per-frame input record, filled from queued events as the main loop
// fills it, with no window.

#include "core/Input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
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
    static SDL_Event Button(Uint8 button, bool down, int x = 0, int y = 0)
    {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    static SDL_Event Motion(int x, int y, int dx, int dy)
    {
        SDL_Event e = Of(SDL_MOUSEMOTION);
        e.motion.x = x;
        e.motion.y = y;
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        return e;
    }
    static SDL_Event Wheel(int x, int y)
    {
        SDL_Event e = Of(SDL_MOUSEWHEEL);
        e.wheel.x = x;
        e.wheel.y = y;
        return e;
    }
    static SDL_Event Of(Uint32 type)
    {
        SDL_Event e{};
        e.type = type;
        return e;
    }
    void Frame() { Input::Instance()->Fill(m_keys.data()); }

    Uint32 m_time = 1000;
    Uint32 m_step = 0;
    std::array<Uint8, SDL_NUM_SCANCODES> m_keys{};
};

// Each string is one frame's events of one button: D press, U release. The
// button must read down for exactly the frames marked 1.
TEST_F(InputRecord, ATapReadsDownForOneFrameAndAHeldButtonStaysDown)
{
    const struct
    {
        std::vector<std::string> frames;
        std::string reads;
    } rows[] = {
        {{"DU", ""}, "10"},                // a tap
        {{"DUDU", ""}, "10"},              // two taps in one frame
        {{"DUD", "", "U", ""}, "1100"},    // a tap and a press: held
        {{"D", "", "", "U", ""}, "11100"}, // held, released in a later frame
        {{"D", "UD", ""}, "111"},          // released and pressed again
        {{"U", ""}, "00"},                 // a release with no press
    };
    const Uint32 types[] = {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, 0};
    Input* in = Input::Instance();
    for (Uint32 step : {0u, 5u})
    {
        m_step = step;
        for (Uint32 type : types)
        {
            for (const auto& r : rows)
            {
                std::string reads;
                for (const std::string& frame : r.frames)
                {
                    for (char c : frame)
                    {
                        // Type 0 stands for the keyboard.
                        Queue(type == 0 ? Of(c == 'D' ? SDL_KEYDOWN : SDL_KEYUP)
                                        : Button(static_cast<Uint8>(type), c == 'D'));
                    }
                    Frame();
                    const int value = type == SDL_BUTTON_LEFT     ? in->m_mouseLeft
                                      : type == SDL_BUTTON_MIDDLE ? in->m_mouseMiddle
                                      : type == SDL_BUTTON_RIGHT  ? in->m_mouseRight
                                                                  : int{in->m_keyDown};
                    reads += std::to_string(value);
                }
                EXPECT_EQ(reads, r.reads)
                    << "button " << type << ", timestamps " << step << " ms apart, frames "
                    << ::testing::PrintToString(r.frames);
            }
        }
    }
}

TEST_F(InputRecord, PositionWheelMotionAndCloseFollowTheLastEventOfTheFrame)
{
    const struct
    {
        std::vector<SDL_Event> events;
        float x, y, relX, relY, wheelX, wheelY;
        int left;
        bool quit;
    } rows[] = {
        {{Motion(10, 20, 1, 2), Motion(30, 40, 3, 4)}, 30, 40, 3, 4, 0, 0, 0, false},
        {{}, 30, 40, 0, 0, 0, 0, 0, false},
        {{Button(SDL_BUTTON_LEFT, true, 50, 60), Wheel(2, -1)}, 50, 60, 0, 0, 2, -1, 1, false},
        {{}, 50, 60, 0, 0, 0, 0, 1, false},
        // Side buttons move the pointer and change no button.
        {{Button(SDL_BUTTON_X1, true, 70, 80), Button(SDL_BUTTON_X2, false, 71, 81)},
         71,
         81,
         0,
         0,
         0,
         0,
         1,
         false},
        {{Of(SDL_QUIT)}, 71, 81, 0, 0, 0, 0, 1, true},
        {{}, 71, 81, 0, 0, 0, 0, 1, false},
    };
    const Input* in = Input::Instance();
    int frame = 0;
    for (const auto& r : rows)
    {
        SCOPED_TRACE(++frame);
        for (const SDL_Event& e : r.events)
        {
            Queue(e);
        }
        Frame();
        EXPECT_EQ(in->m_keys, m_keys.data());
        EXPECT_EQ(in->m_mouseX, r.x);
        EXPECT_EQ(in->m_mouseY, r.y);
        EXPECT_EQ(in->m_mouseRelX, r.relX);
        EXPECT_EQ(in->m_mouseRelY, r.relY);
        EXPECT_EQ(in->m_wheelX, r.wheelX);
        EXPECT_EQ(in->m_wheelY, r.wheelY);
        EXPECT_EQ(in->m_mouseLeft, r.left);
        EXPECT_EQ(in->m_mouseMiddle + in->m_mouseRight, 0);
        EXPECT_EQ(in->m_quit, r.quit);
    }
}
} // namespace
