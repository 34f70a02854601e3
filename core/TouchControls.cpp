#include "core/TouchControls.h"

#include "core/Keys.h"
#include "graphics/View.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace
{
// The key each control holds, in the order of TouchControls::Control.
constexpr int kControlKeys[] = {kKeyRight,  kKeyLeft, kKeyDown, kKeyUp,
                                kKeyReturn, kKeyP,    kKeySpace};

// Sizes follow the output's shorter side, so a phone's thumb finds the same
// pad in portrait and in landscape.
constexpr float kPadShare = 0.36f;
constexpr float kButtonShare = 0.36f; // of the pad
constexpr float kMarginShare = 0.03f;
// A thumb resting in the middle of the pad walks nowhere.
constexpr float kDeadShare = 0.14f; // of the pad, as a radius

constexpr Uint8 kFillAlpha = 56;
constexpr Uint8 kHeldAlpha = 120;
constexpr Uint8 kMarkAlpha = 190;

bool Inside(const SDL_Rect& r, float x, float y)
{
    return x >= static_cast<float>(r.x) && y >= static_cast<float>(r.y) &&
           x < static_cast<float>(r.x + r.w) && y < static_cast<float>(r.y + r.h);
}

SDL_Vertex Vertex(float x, float y, Uint8 alpha)
{
    return {{x, y}, {255, 255, 255, alpha}, {0.0f, 0.0f}};
}

void Disc(std::vector<SDL_Vertex>& out, const SDL_Rect& r, Uint8 alpha)
{
    constexpr int kSegments = 40;
    const float cx = static_cast<float>(r.x) + static_cast<float>(r.w) / 2.0f;
    const float cy = static_cast<float>(r.y) + static_cast<float>(r.h) / 2.0f;
    const float radius = static_cast<float>(std::min(r.w, r.h)) / 2.0f;
    for (int i = 0; i < kSegments; ++i)
    {
        const float a = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / kSegments;
        const float b = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i + 1) / kSegments;
        out.push_back(Vertex(cx, cy, alpha));
        out.push_back(Vertex(cx + radius * std::cos(a), cy + radius * std::sin(a), alpha));
        out.push_back(Vertex(cx + radius * std::cos(b), cy + radius * std::sin(b), alpha));
    }
}

void Triangle(std::vector<SDL_Vertex>& out, SDL_FPoint a, SDL_FPoint b, SDL_FPoint c, Uint8 alpha)
{
    out.push_back(Vertex(a.x, a.y, alpha));
    out.push_back(Vertex(b.x, b.y, alpha));
    out.push_back(Vertex(c.x, c.y, alpha));
}

// An axis-aligned bar from (x, y), w x h, as two triangles.
void Bar(std::vector<SDL_Vertex>& out, float x, float y, float w, float h, Uint8 alpha)
{
    Triangle(out, {x, y}, {x + w, y}, {x + w, y + h}, alpha);
    Triangle(out, {x, y}, {x + w, y + h}, {x, y + h}, alpha);
}
} // namespace

void TouchControls::Layout(const SDL_Rect& view, int outputWidth, int outputHeight,
                           const SDL_Rect& panel)
{
    m_view = view;
    m_outputWidth = outputWidth;
    m_outputHeight = outputHeight;
    const float unit = static_cast<float>(std::min(outputWidth, outputHeight));
    const int pad = static_cast<int>(unit * kPadShare);
    const int button = static_cast<int>(static_cast<float>(pad) * kButtonShare);
    const int gap = button / 8;
    const int margin = static_cast<int>(unit * kMarginShare);
    const int column = 3 * button + 2 * gap;
    const int left = view.x;
    const int right = outputWidth - view.x - view.w;
    const int below = outputHeight - view.y - view.h;
    SDL_Point padAt{};
    SDL_Point buttonsAt{}; // the column's left, and the bottom of its lowest button
    if (left >= pad + 2 * margin && right >= button + 2 * margin)
    {
        padAt = {(left - pad) / 2, outputHeight - margin - pad};
        buttonsAt = {view.x + view.w + (right - button) / 2, outputHeight - margin};
    }
    else if (below >= std::max(pad, column) + 2 * margin)
    {
        padAt = {margin, outputHeight - margin - pad};
        buttonsAt = {outputWidth - margin - button, outputHeight - margin};
    }
    else
    {
        // Over the view: the pad in its lower left corner, the buttons at its
        // right edge standing on the heads-up panel, which stays in sight.
        padAt = {view.x + margin, view.y + view.h - margin - pad};
        buttonsAt = {view.x + view.w - margin - button,
                     view.y + panel.y * view.h / kViewHeight - margin};
    }
    m_pad = {padAt.x, padAt.y, pad, pad};
    // Return lowest, nearest the thumb; the new menu, which ends the game,
    // farthest.
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
    {
        m_buttons[i] = {buttonsAt.x, buttonsAt.y - button - static_cast<int>(i) * (button + gap),
                        button, button};
    }
}

SDL_Rect TouchControls::Rect(Control control) const
{
    return control < kReturn ? m_pad
           : control < kNone ? m_buttons[static_cast<std::size_t>(control - kReturn)]
                             : SDL_Rect{};
}

TouchControls::Control TouchControls::At(float x, float y) const
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
    {
        if (Inside(m_buttons[i], x, y))
        {
            return static_cast<Control>(kReturn + i);
        }
    }
    if (!Inside(m_pad, x, y))
    {
        return kNone;
    }
    // The direction the finger leans from the pad's middle, by its larger
    // component.
    const float half = static_cast<float>(m_pad.w) / 2.0f;
    const float dx = x - (static_cast<float>(m_pad.x) + half);
    const float dy = y - (static_cast<float>(m_pad.y) + half);
    const float dead = static_cast<float>(m_pad.w) * kDeadShare;
    if (dx * dx + dy * dy < dead * dead)
    {
        return kNone;
    }
    if (std::fabs(dx) >= std::fabs(dy))
    {
        return dx > 0.0f ? kRight : kLeft;
    }
    return dy > 0.0f ? kDown : kUp;
}

void TouchControls::NewFrame()
{
    m_tapped.fill(false);
}

void TouchControls::Handle(const SDL_Event& event)
{
    const SDL_TouchFingerEvent& touch = event.tfinger;
    // The mouse's own stand-in touches are the mouse's business.
    if (touch.touchId == SDL_MOUSE_TOUCHID)
    {
        return;
    }
    auto finger = std::find_if(m_fingers.begin(), m_fingers.end(),
                               [&touch](const Finger& f)
                               { return f.touch == touch.touchId && f.id == touch.fingerId; });
    if (event.type == SDL_FINGERUP)
    {
        if (finger != m_fingers.end())
        {
            m_fingers.erase(finger);
        }
        return;
    }
    if (!m_shown)
    {
        m_shown = event.type == SDL_FINGERDOWN;
        return;
    }
    // Finger positions are fractions of the window, which the output fills.
    const Control on = At(touch.x * static_cast<float>(m_outputWidth),
                          touch.y * static_cast<float>(m_outputHeight));
    if (event.type == SDL_FINGERDOWN)
    {
        if (finger == m_fingers.end())
        {
            m_fingers.push_back({touch.touchId, touch.fingerId, on});
        }
        else
        {
            finger->on = on;
        }
        if (on != kNone)
        {
            m_tapped[on] = true;
        }
    }
    else if (event.type == SDL_FINGERMOTION && finger != m_fingers.end())
    {
        finger->on = on;
    }
}

void TouchControls::Hold(std::array<Uint8, SDL_NUM_SCANCODES>& keys) const
{
    for (std::size_t i = 0; i < kControls; ++i)
    {
        const bool held = std::any_of(m_fingers.begin(), m_fingers.end(),
                                      [i](const Finger& f) { return f.on == i; });
        if (held || m_tapped[i])
        {
            keys[static_cast<std::size_t>(kControlKeys[i])] = 1;
        }
    }
}

bool TouchControls::Covers(float viewX, float viewY) const
{
    if (!m_shown || m_view.w <= 0 || m_view.h <= 0)
    {
        return false;
    }
    const float x = static_cast<float>(m_view.x) +
                    viewX * static_cast<float>(m_view.w) / static_cast<float>(kViewWidth);
    const float y = static_cast<float>(m_view.y) +
                    viewY * static_cast<float>(m_view.h) / static_cast<float>(kViewHeight);
    return Inside(m_pad, x, y) ||
           std::any_of(m_buttons.begin(), m_buttons.end(),
                       [x, y](const SDL_Rect& r) { return Inside(r, x, y); });
}

std::uint32_t TouchControls::Look() const
{
    std::uint32_t look = m_shown ? 1u : 0u;
    for (std::size_t i = 0; i < kControls; ++i)
    {
        look |= m_tapped[i] ? 2u << i : 0u;
    }
    for (const Finger& f : m_fingers)
    {
        look |= f.on != kNone ? 2u << f.on : 0u;
    }
    return look;
}

void TouchControls::Draw(SDL_Renderer* renderer) const
{
    if (!m_shown || renderer == nullptr)
    {
        return;
    }
    std::array<bool, kControls> held = m_tapped;
    for (const Finger& f : m_fingers)
    {
        if (f.on != kNone)
        {
            held[f.on] = true;
        }
    }
    std::vector<SDL_Vertex> v;
    Disc(v, m_pad, kFillAlpha);
    // An arrow head per direction, pointing outwards.
    const float cx = static_cast<float>(m_pad.x) + static_cast<float>(m_pad.w) / 2.0f;
    const float cy = static_cast<float>(m_pad.y) + static_cast<float>(m_pad.h) / 2.0f;
    const float s = static_cast<float>(m_pad.w) / 2.0f;
    const float tip = s * 0.86f;
    const float base = s * 0.46f;
    const float wide = s * 0.24f;
    const SDL_FPoint directions[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (std::size_t i = 0; i < 4; ++i)
    {
        const auto [ux, uy] = directions[i];
        const Uint8 alpha = held[i] ? 255 : kMarkAlpha;
        Triangle(v, {cx + ux * tip, cy + uy * tip},
                 {cx + ux * base - uy * wide, cy + uy * base + ux * wide},
                 {cx + ux * base + uy * wide, cy + uy * base - ux * wide}, alpha);
    }
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
    {
        const SDL_Rect& r = m_buttons[i];
        Disc(v, r, held[kReturn + i] ? kHeldAlpha : kFillAlpha);
        const float x = static_cast<float>(r.x);
        const float y = static_cast<float>(r.y);
        const float u = static_cast<float>(r.w) / 20.0f; // the marks are drawn on a 20 x 20 grid
        switch (kReturn + i)
        {
        case kReturn: // a line down and to the left, with its arrow head
            Bar(v, x + 13 * u, y + 5 * u, 2 * u, 8 * u, kMarkAlpha);
            Bar(v, x + 8 * u, y + 11 * u, 5 * u, 2 * u, kMarkAlpha);
            Triangle(v, {x + 4 * u, y + 12 * u}, {x + 8 * u, y + 8.5f * u},
                     {x + 8 * u, y + 15.5f * u}, kMarkAlpha);
            break;
        case kPause: // two upright bars
            Bar(v, x + 7 * u, y + 6 * u, 2 * u, 8 * u, kMarkAlpha);
            Bar(v, x + 11 * u, y + 6 * u, 2 * u, 8 * u, kMarkAlpha);
            break;
        default: // the new menu: three lines, a menu's sign
            for (int line = 0; line < 3; ++line)
            {
                Bar(v, x + 6 * u, y + (6.5f + 3 * static_cast<float>(line)) * u, 8 * u, 1.5f * u,
                    kMarkAlpha);
            }
            break;
        }
    }
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    SDL_GetRenderDrawBlendMode(renderer, &mode);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(renderer, nullptr, v.data(), static_cast<int>(v.size()), nullptr, 0);
    SDL_SetRenderDrawBlendMode(renderer, mode);
}
