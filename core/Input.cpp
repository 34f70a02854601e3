#include "core/Input.h"

const Uint8* Input::s_keyStateOverride = nullptr;

Input* Input::Instance()
{
    static Input* instance = new Input();
    return instance;
}

void Input::NoteLookAhead(const SDL_Event& event)
{
    m_lookAhead = event;
    m_hasLookAhead = true;
}

bool Input::IsLookAhead(const SDL_Event& event) const
{
    if (!m_hasLookAhead || event.type != m_lookAhead.type ||
        event.common.timestamp != m_lookAhead.common.timestamp)
    {
        return false;
    }
    switch (event.type)
    {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.button == m_lookAhead.button.button &&
               event.button.x == m_lookAhead.button.x && event.button.y == m_lookAhead.button.y;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.keysym.scancode == m_lookAhead.key.keysym.scancode;
    default:
        return true;
    }
}

void Input::Fill()
{
    // A press and its release that were both waiting at the start of the last
    // frame were handled release first (the look-ahead moved the press behind
    // it), so that frame saw the button down. The release takes effect now: the
    // button must not stay down after it was let go.
    if (m_pending.left)
    {
        m_mouseLeft = 0;
    }
    if (m_pending.middle)
    {
        m_mouseMiddle = 0;
    }
    if (m_pending.right)
    {
        m_mouseRight = 0;
    }
    if (m_pending.key)
    {
        m_keyDown = false;
    }
    m_pending = {};
    m_releasedThisDrain = {};

    m_quit = false;
    m_mouseRelX = 0.0f;
    m_mouseRelY = 0.0f;
    m_wheelX = 0.0f;
    m_wheelY = 0.0f;

    m_keys = s_keyStateOverride != nullptr ? s_keyStateOverride : SDL_GetKeyboardState(nullptr);

    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        const bool lookAhead = IsLookAhead(event);
        if (lookAhead)
        {
            m_hasLookAhead = false;
        }
        Handle(event);
        if (!lookAhead)
        {
            continue;
        }
        if (event.type == SDL_MOUSEBUTTONDOWN)
        {
            switch (event.button.button)
            {
            case SDL_BUTTON_LEFT:
                m_pending.left = m_releasedThisDrain.left;
                break;
            case SDL_BUTTON_MIDDLE:
                m_pending.middle = m_releasedThisDrain.middle;
                break;
            case SDL_BUTTON_RIGHT:
                m_pending.right = m_releasedThisDrain.right;
                break;
            default:
                break;
            }
        }
        else if (event.type == SDL_KEYDOWN)
        {
            m_pending.key = m_releasedThisDrain.key;
        }
    }
    m_hasLookAhead = false;
}

void Input::Handle(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        m_quit = true;
        break;
    case SDL_KEYDOWN:
        m_keyDown = true;
        m_pending.key = false;
        break;
    case SDL_KEYUP:
        m_keyDown = false;
        m_pending.key = false;
        m_releasedThisDrain.key = true;
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
        const std::int32_t value = pressed ? 1 : 0;
        switch (event.button.button)
        {
        case SDL_BUTTON_LEFT:
            m_mouseLeft = value;
            m_pending.left = false;
            m_releasedThisDrain.left = m_releasedThisDrain.left || !pressed;
            break;
        case SDL_BUTTON_MIDDLE:
            m_mouseMiddle = value;
            m_pending.middle = false;
            m_releasedThisDrain.middle = m_releasedThisDrain.middle || !pressed;
            break;
        case SDL_BUTTON_RIGHT:
            m_mouseRight = value;
            m_pending.right = false;
            m_releasedThisDrain.right = m_releasedThisDrain.right || !pressed;
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
