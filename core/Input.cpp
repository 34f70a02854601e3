#include "core/Input.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace
{
// Keys that stand for others: W, A, S and D walk like the arrows, in the
// arrows' order of priority.
struct Alias
{
    int key;
    int standsFor;
};
constexpr Alias kKeyAliases[] = {{SDL_SCANCODE_A, kKeyLeft},
                                 {SDL_SCANCODE_D, kKeyRight},
                                 {SDL_SCANCODE_W, kKeyUp},
                                 {SDL_SCANCODE_S, kKeyDown}};

// The pad buttons the game reads and the keys they stand for: the D-pad walks
// like the arrows, A is Return, Start is P (pause) and B is Space (from the
// pause screen to the menu).
struct PadButton
{
    SDL_GameControllerButton button;
    int standsFor;
};
constexpr PadButton kPadButtonKeys[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kKeyLeft}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kKeyRight},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, kKeyUp},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kKeyDown},
    {SDL_CONTROLLER_BUTTON_A, kKeyReturn},       {SDL_CONTROLLER_BUTTON_START, kKeyP},
    {SDL_CONTROLLER_BUTTON_B, kKeySpace}};

// The left stick counts as a direction once it leans half way: a worn stick
// resting a little off centre walks nowhere.
constexpr int kStickDeadZone = 16384;
} // namespace

Input* Input::Instance()
{
    static Input* instance = new Input();
    return instance;
}

void Input::WatchTouches()
{
    // A filter sees each event as it is queued, before the renderer moves a
    // finger's position into the view (clamping the bars away) for the
    // program's event queue. It keeps every event.
    SDL_SetEventFilter(
        [](void* input, SDL_Event* event)
        {
            if (event->type == SDL_FINGERDOWN || event->type == SDL_FINGERUP ||
                event->type == SDL_FINGERMOTION)
            {
                static_cast<Input*>(input)->m_touch.Handle(*event);
            }
            return 1;
        },
        this);
}

bool Input::EventWaiting()
{
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
}

bool Input::Pressed(int scancode) const
{
    const auto key = static_cast<std::size_t>(scancode);
    return (m_held[key] != 0 && m_heldBefore[key] == 0) || m_tapped[key] != 0;
}

void Input::Fill(const Uint8* keys)
{
    for (Switch* s : {&m_left, &m_middle, &m_right, &m_key})
    {
        s->pressed = false;
    }
    for (Pad& pad : m_pads)
    {
        for (Switch& button : pad.buttons)
        {
            button.pressed = false;
        }
    }
    static_cast<InputEvents&>(*this) = InputEvents{};

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
    Merge(keys);
}

void Input::Merge(const Uint8* keys)
{
    static_assert(std::size(kPadButtonKeys) == kPadButtons);
    m_heldBefore = m_held;
    if (keys != nullptr)
    {
        std::copy_n(keys, m_held.size(), m_held.begin());
    }
    else
    {
        m_held.fill(0);
    }
    // A control is held while any of the keys and pads standing for it is.
    const auto hold = [this](int scancode) { m_held[static_cast<std::size_t>(scancode)] = 1; };
    for (const Alias& alias : kKeyAliases)
    {
        if (m_held[static_cast<std::size_t>(alias.key)] != 0)
        {
            hold(alias.standsFor);
        }
    }
    for (const Pad& pad : m_pads)
    {
        for (std::size_t i = 0; i < kPadButtons; ++i)
        {
            if (pad.buttons[i].Reads())
            {
                hold(kPadButtonKeys[i].standsFor);
            }
        }
        if (pad.stickX < -kStickDeadZone)
        {
            hold(kKeyLeft);
        }
        if (pad.stickX > kStickDeadZone)
        {
            hold(kKeyRight);
        }
        if (pad.stickY < -kStickDeadZone)
        {
            hold(kKeyUp);
        }
        if (pad.stickY > kStickDeadZone)
        {
            hold(kKeyDown);
        }
    }
    m_touch.Hold(m_held);
    m_touch.NewFrame();
    m_keys = m_held.data();
}

// The range algorithms are not in every standard library the game is built
// with (the browser build's is older), so the classic ones are used here.
static auto OpenAs(SDL_JoystickID id)
{
    return [id](const auto& pad) { return pad.id == id; };
}

void Input::HandlePad(const SDL_Event& event)
{
    if (event.type == SDL_CONTROLLERDEVICEADDED)
    {
        // Pads plugged in before the game started arrive this way too; a pad
        // already open is not opened twice.
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(event.cdevice.which);
        if (std::find_if(m_pads.begin(), m_pads.end(), OpenAs(id)) == m_pads.end())
        {
            SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
            if (controller != nullptr)
            {
                m_pads.push_back(Pad{.controller = controller, .id = id});
            }
        }
        return;
    }
    const SDL_JoystickID id = event.type == SDL_CONTROLLERDEVICEREMOVED ? event.cdevice.which
                              : event.type == SDL_CONTROLLERAXISMOTION  ? event.caxis.which
                                                                        : event.cbutton.which;
    const auto pad = std::find_if(m_pads.begin(), m_pads.end(), OpenAs(id));
    if (pad == m_pads.end())
    {
        return;
    }
    if (event.type == SDL_CONTROLLERDEVICEREMOVED)
    {
        // Whatever the pad held is let go with it, so no move is left stuck.
        SDL_GameControllerClose(pad->controller);
        m_pads.erase(pad);
        m_padLost = true;
    }
    else if (event.type == SDL_CONTROLLERAXISMOTION)
    {
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
        {
            pad->stickX = event.caxis.value;
        }
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
        {
            pad->stickY = event.caxis.value;
        }
    }
    else
    {
        const auto* binding = std::find_if(
            std::begin(kPadButtonKeys), std::end(kPadButtonKeys),
            [&event](const PadButton& b)
            { return static_cast<int>(b.button) == static_cast<int>(event.cbutton.button); });
        if (binding != std::end(kPadButtonKeys))
        {
            pad->buttons[static_cast<std::size_t>(binding - std::begin(kPadButtonKeys))].Set(
                event.cbutton.state == SDL_PRESSED);
        }
    }
}

void Input::Shutdown()
{
    for (const Pad& pad : m_pads)
    {
        SDL_GameControllerClose(pad.controller);
    }
    m_pads.clear();
    if (m_cursor != nullptr)
    {
        SDL_FreeCursor(m_cursor);
        m_cursor = nullptr;
    }
    static_cast<InputEvents&>(*this) = InputEvents{};
    m_keyDown = false;
    m_keys = nullptr;
    m_mouseLeft = m_mouseMiddle = m_mouseRight = 0;
    m_mouseX = m_mouseY = 0.0f;
    m_left = m_middle = m_right = m_key = Switch{};
    m_held.fill(0);
    m_heldBefore.fill(0);
    // Fingers still down as SDL shuts down are never lifted.
    m_touch = TouchControls{};
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
        // A new press of a key, and of the arrow it stands for; Return with
        // Alt is fullscreen's, not the screens'.
        if (event.type == SDL_KEYDOWN && event.key.repeat == 0 &&
            !(event.key.keysym.scancode == SDL_SCANCODE_RETURN &&
              (event.key.keysym.mod & KMOD_ALT) != 0))
        {
            const int key = event.key.keysym.scancode;
            if (key >= 0 && key < SDL_NUM_SCANCODES)
            {
                m_tapped[static_cast<std::size_t>(key)] = 1;
            }
            for (const Alias& alias : kKeyAliases)
            {
                if (alias.key == key)
                {
                    m_tapped[static_cast<std::size_t>(alias.standsFor)] = 1;
                }
            }
        }
        break;
    case SDL_WINDOWEVENT:
        m_resized = m_resized || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
        // Play out of sight is play the player cannot follow.
        m_focusLost = m_focusLost || event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                      event.window.event == SDL_WINDOWEVENT_HIDDEN ||
                      event.window.event == SDL_WINDOWEVENT_MINIMIZED;
        m_uncovered = m_uncovered || event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                      event.window.event == SDL_WINDOWEVENT_SHOWN ||
                      event.window.event == SDL_WINDOWEVENT_RESTORED ||
                      event.window.event == SDL_WINDOWEVENT_MAXIMIZED ||
                      event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        m_texturesLost = true;
        break;
    case SDL_MOUSEMOTION:
        // SDL makes a mouse of the first finger: on a touch control it
        // neither points nor clicks.
        if (event.motion.which == SDL_TOUCH_MOUSEID &&
            m_touch.Covers(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y)))
        {
            break;
        }
        m_mouseX = static_cast<float>(event.motion.x);
        m_mouseY = static_cast<float>(event.motion.y);
        m_mouseRelX = static_cast<float>(event.motion.xrel);
        m_mouseRelY = static_cast<float>(event.motion.yrel);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        const bool pressed = event.button.state == SDL_PRESSED;
        // A release always counts: the press it ends may have come before
        // the finger reached a control.
        if (pressed && event.button.which == SDL_TOUCH_MOUSEID &&
            m_touch.Covers(static_cast<float>(event.button.x), static_cast<float>(event.button.y)))
        {
            break;
        }
        m_mouseX = static_cast<float>(event.button.x);
        m_mouseY = static_cast<float>(event.button.y);
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
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        HandlePad(event);
        break;
    case SDL_MOUSEWHEEL:
        m_wheelX = static_cast<float>(event.wheel.x);
        m_wheelY = static_cast<float>(event.wheel.y);
        break;
    default:
        break;
    }
}
