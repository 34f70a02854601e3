// The on-screen touch controls: fingers hold keys in the input record, a
// touch on a control clicks nothing, and the controls keep clear of the view
// and the heads-up panel.

#include "core/Input.h"
#include "gameplay/Interface.h"
#include "graphics/View.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace
{
// A phone in portrait, 1170 x 2430 output pixels, the view across the middle.
constexpr SDL_Rect kPortraitView{0, 770, 1170, 889};
constexpr int kOutputW = 1170;
constexpr int kOutputH = 2430;
// The heads-up panel, in the view's pixels.
constexpr SDL_Rect kPanel{kPanelX, kPanelY, kPanelWidth, kPanelHeight};

using Control = TouchControls::Control;

// Where a finger touches a control, as a fraction of the window: on a pad
// direction, three quarters of the way out from the pad's middle.
SDL_FPoint On(const TouchControls& touch, Control c)
{
    const SDL_Rect r = touch.Rect(c);
    float x = static_cast<float>(r.x) + static_cast<float>(r.w) / 2.0f;
    float y = static_cast<float>(r.y) + static_cast<float>(r.h) / 2.0f;
    const float reach = static_cast<float>(r.w) * 0.375f;
    x += c == TouchControls::kRight ? reach : c == TouchControls::kLeft ? -reach : 0.0f;
    y += c == TouchControls::kDown ? reach : c == TouchControls::kUp ? -reach : 0.0f;
    return {x / kOutputW, y / kOutputH};
}

SDL_Event Finger(Uint32 type, SDL_FingerID id, SDL_FPoint at)
{
    SDL_Event e{};
    e.tfinger = {type, 0, 1, id, at.x, at.y, 0.0f, 0.0f, 1.0f, 0};
    return e;
}

// The game's keys held, as letters: R L D U (arrows), E (Return), P, S (Space).
std::string Held(const Input& in)
{
    std::string held;
    const std::pair<int, char> keys[] = {{kKeyRight, 'R'}, {kKeyLeft, 'L'},   {kKeyDown, 'D'},
                                         {kKeyUp, 'U'},    {kKeyReturn, 'E'}, {kKeyP, 'P'},
                                         {kKeySpace, 'S'}};
    for (const auto& [key, letter] : keys)
    {
        held += in.m_keys[key] != 0 ? std::string(1, letter) : "";
    }
    return held;
}

void Frame(Input& in, std::vector<SDL_Event> events)
{
    for (SDL_Event& e : events)
    {
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    in.Fill(nullptr);
}
} // namespace

TEST(TouchControls, FingersHoldTheKeysOfTheControlsTheyAreOn)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    Input& in = *Input::Instance();
    in.WatchTouches();
    TouchControls& touch = in.m_touch;
    touch.Layout(kPortraitView, kOutputW, kOutputH, kPanel);
    const SDL_FPoint right = On(touch, TouchControls::kRight);
    const SDL_FPoint up = On(touch, TouchControls::kUp);
    const SDL_FPoint pause = On(touch, TouchControls::kPause);
    const SDL_FPoint ret = On(touch, TouchControls::kReturn);
    const SDL_FPoint inView{0.5f, 0.5f};
    const std::pair<std::vector<SDL_Event>, const char*> frames[] = {
        // Before the controls are shown a finger shows them and holds nothing.
        {{Finger(SDL_FINGERDOWN, 1, right)}, ""},
        {{Finger(SDL_FINGERUP, 1, right)}, ""},
        {{Finger(SDL_FINGERDOWN, 1, right)}, "R"},
        {{}, "R"},
        {{Finger(SDL_FINGERMOTION, 1, up)}, "U"},
        {{Finger(SDL_FINGERDOWN, 2, pause)}, "UP"},
        {{Finger(SDL_FINGERUP, 1, up)}, "P"},
        {{Finger(SDL_FINGERUP, 2, pause)}, ""},
        {{Finger(SDL_FINGERDOWN, 3, inView)}, ""},
        {{Finger(SDL_FINGERMOTION, 3, right)}, "R"},
        {{Finger(SDL_FINGERMOTION, 3, inView)}, ""},
        // A tap within one frame still counts, for that frame only.
        {{Finger(SDL_FINGERUP, 3, inView), Finger(SDL_FINGERDOWN, 4, ret),
          Finger(SDL_FINGERUP, 4, ret)},
         "E"},
        {{}, ""},
    };
    int n = 0;
    for (const auto& [events, held] : frames)
    {
        Frame(in, events);
        EXPECT_EQ(Held(in), held) << "frame " << n;
        ++n;
    }
    SDL_Quit();
}

TEST(TouchControls, ATouchOnAControlClicksNothingAndElsewhereClicks)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    Input& in = *Input::Instance();
    // Lower corners of an 800 x 608 view: the controls stand over it.
    in.m_touch.Layout({0, 0, kViewWidth, kViewHeight}, kViewWidth, kViewHeight, kPanel);
    in.m_touch.Show();
    const SDL_Rect pad = in.m_touch.Rect(TouchControls::kUp);
    const auto press = [&in](Sint32 x, Sint32 y, Uint32 which)
    {
        SDL_Event down{
            .button = {SDL_MOUSEBUTTONDOWN, 0, 0, which, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, x, y}};
        SDL_Event up = down;
        up.button.type = SDL_MOUSEBUTTONUP;
        up.button.state = SDL_RELEASED;
        Frame(in, {down});
        const int clicked = in.m_mouseLeft;
        Frame(in, {up});
        return clicked;
    };
    EXPECT_EQ(press(pad.x + pad.w / 2, pad.y + pad.h / 2, SDL_TOUCH_MOUSEID), 0);
    EXPECT_EQ(press(pad.x + pad.w / 2, pad.y + pad.h / 2, 0), 1) << "a real mouse clicks";
    EXPECT_EQ(press(kViewWidth / 2, kViewHeight / 4, SDL_TOUCH_MOUSEID), 1);
    SDL_Quit();
}

TEST(TouchControls, StandInTheBarsWhenThereIsRoomElseClearOfThePanel)
{
    // The view, the output it is drawn in, and whether controls may stand over the view.
    const std::tuple<const char*, SDL_Rect, int, int, bool> cases[] = {
        {"portrait phone", kPortraitView, kOutputW, kOutputH, false},
        {"landscape phone", {563, 0, 1405, 1068}, 2532, 1068, false},
        {"4:3 tablet", {0, 9, 1024, 778}, 1024, 796, true},
        {"the view alone", {0, 0, kViewWidth, kViewHeight}, kViewWidth, kViewHeight, true},
    };
    for (const auto& [name, view, width, height, overView] : cases)
    {
        TouchControls touch;
        touch.Layout(view, width, height, kPanel);
        const SDL_Rect output{0, 0, width, height};
        const SDL_Rect panel{
            view.x + kPanelX * view.w / kViewWidth, view.y + kPanelY * view.h / kViewHeight,
            kPanelWidth * view.w / kViewWidth, kPanelHeight * view.h / kViewHeight};
        std::vector<SDL_Rect> rects;
        for (Control k : {TouchControls::kUp, TouchControls::kReturn, TouchControls::kPause,
                          TouchControls::kMenu})
        {
            const SDL_Rect r = touch.Rect(k);
            SDL_Rect inside{};
            ASSERT_TRUE(SDL_IntersectRect(&r, &output, &inside) && SDL_RectEquals(&inside, &r))
                << name << ": control " << k << " leaves the output";
            EXPECT_FALSE(SDL_HasIntersection(&r, &panel)) << name << ": control " << k;
            EXPECT_EQ(SDL_HasIntersection(&r, &view) == SDL_TRUE, overView) << name;
            for (const SDL_Rect& other : rects)
            {
                EXPECT_FALSE(SDL_HasIntersection(&r, &other)) << name << ": control " << k;
            }
            rects.push_back(r);
        }
    }
}
