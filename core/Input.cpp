#include "core/Input.h"

#include <initializer_list>

Input* Input::Instance()
{
    static Input* instance = new Input();
    return instance;
}

bool Input::EventWaiting()
{
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
}

void Input::Fill(const Uint8* keys)
{
    for (Switch* s : {&m_left, &m_middle, &m_right, &m_key})
    {
        s->pressed = false;
    }
    m_quit = false;
    m_resized = false;
    m_focusLost = false;
    m_toggleFullscreen = false;
    m_toggleSound = false;
    m_mouseRelX = 0.0f;
    m_mouseRelY = 0.0f;
    m_wheelX = 0.0f;
    m_wheelY = 0.0f;
    m_keys = keys;

    // Events are handled in the order they happened, so the last position of
    // the mouse and the last state of every button stand.
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        Handle(event);
    }

    m_mouseLeft = m_left.Reads() ? 1 : 0;
    m_mouseMiddle = m_middle.Reads() ? 1 : 0;
    m_mouseRight = m_right.Reads() ? 1 : 0;
    m_keyDown = m_key.Reads();
}

void Input::Handle(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        m_quit = true;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        m_key.Set(event.type == SDL_KEYDOWN);
        if (event.type == SDL_KEYDOWN && event.key.repeat == 0 &&
            (event.key.keysym.scancode == SDL_SCANCODE_F11 ||
             (event.key.keysym.scancode == SDL_SCANCODE_RETURN &&
              (event.key.keysym.mod & KMOD_ALT) != 0)))
        {
            m_toggleFullscreen = true;
        }
        m_toggleSound = m_toggleSound || (event.type == SDL_KEYDOWN && event.key.repeat == 0 &&
                                          event.key.keysym.scancode == SDL_SCANCODE_M);
        break;
    case SDL_WINDOWEVENT:
        m_resized = m_resized || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
        m_focusLost = m_focusLost || event.window.event == SDL_WINDOWEVENT_FOCUS_LOST;
        break;
    case SDL_MOUSEMOTION:
        m_mouseX = static_cast<float>(event.motion.x);
        m_mouseY = static_cast<float>(event.motion.y);
        m_mouseRelX = static_cast<float>(event.motion.xrel);
        m_mouseRelY = static_cast<float>(event.motion.yrel);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        m_mouseX = static_cast<float>(event.button.x);
        m_mouseY = static_cast<float>(event.button.y);
        const bool pressed = event.button.state == SDL_PRESSED;
        switch (event.button.button)
        {
        case SDL_BUTTON_LEFT:
            m_left.Set(pressed);
            break;
        case SDL_BUTTON_MIDDLE:
            m_middle.Set(pressed);
            break;
        case SDL_BUTTON_RIGHT:
            m_right.Set(pressed);
            break;
        default:
            break; // side buttons move the pointer only
        }
        break;
    }
    case SDL_MOUSEWHEEL:
        m_wheelX = static_cast<float>(event.wheel.x);
        m_wheelY = static_cast<float>(event.wheel.y);
        break;
    default:
        break;
    }
}
