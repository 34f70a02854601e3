#include "gameplay/MenuState.h"

#include "core/Game.h"
#include "core/Graphics.h"
#include "core/Input.h"
#include "core/PlayState.h"
#include "core/Screens.h"
#include "core/Sound.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/ScoresState.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"

#include <SDL.h>

MenuState::MenuState(GameState* previous) : GameState(previous)
{
    LogBlock("MenuState constructor called...");
    Initialize();
    LogBlock("MenuState constructor initialized successfully...");
}

MenuState::~MenuState()
{
    LogBlock("MenuState destructor called...");
    DeleteObjects(m_gameObjects);
    LogBlock("MenuState destructor completed successfully.");
}

Button* MenuState::AddButton(const ButtonPlace& place)
{
    auto button = std::make_unique<Button>(place.tag, place.x, place.y, place.width, place.height);
    Button* raw = button.get();
    m_gameObjects.push_back(std::move(button));
    return raw;
}

void MenuState::Initialize()
{
    LogLine("MenuState Initialize function called...");
    m_alive = true;
    m_running = true;

    // Every new menu replaces the cursor; it stays a crosshair on every screen.
    Input* input = Input::Instance();
    SDL_FreeCursor(input->m_cursor);
    input->m_cursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    SDL_SetCursor(input->m_cursor);

    ResourceManager::Instance()->Initialize(kMenuAssets);
    m_gameObjects.push_back(std::make_unique<Background>("Menu"));
    m_buttonPlay = AddButton(kMenuButtons[kButtonPlay]);
    m_buttonScores = AddButton(kMenuButtons[kButtonScores]);
    m_buttonGuide = AddButton(kMenuButtons[kButtonGuide]);
    m_buttonExit = AddButton(kMenuButtons[kButtonExit]);
    LogLine("Number of objects currently in container m_gameObjects(MenuState): " +
            ToString(static_cast<std::uint32_t>(m_gameObjects.size())));
    LogLine("MenuState Initialized successfully...");
}

bool MenuState::Update()
{
    Input* input = Input::Instance();
    m_keys = input->m_keys;
    if (input->m_quit)
    {
        End();
    }
    if (Held(kKeyEscape))
    {
        End();
    }
    HandleClick(*m_buttonPlay);
    HandleClick(*m_buttonGuide);
    HandleClick(*m_buttonExit);
    HandleClick(*m_buttonScores);
    HandleKeys();
    for (std::unique_ptr<GameObject>& object : m_gameObjects)
    {
        object->Update();
    }
    return true;
}

bool MenuState::Render()
{
    for (std::unique_ptr<GameObject>& object : m_gameObjects)
    {
        object->Draw();
    }
    DrawHighlight();
    return true;
}

std::array<const Button*, kMenuButtons.size()> MenuState::Buttons() const
{
    return {m_buttonPlay, m_buttonScores, m_buttonGuide, m_buttonExit};
}

void MenuState::HandleKeys()
{
    const Input* input = Input::Instance();
    const std::array<const Button*, kMenuButtons.size()> buttons = Buttons();
    // The pointer moving onto a button takes the highlight there; a pointer
    // resting still leaves it to the keys.
    if (input->m_mouseRelX != 0.0f || input->m_mouseRelY != 0.0f)
    {
        for (std::size_t i = 0; i < buttons.size(); ++i)
        {
            m_highlight = UnderPointer(*buttons[i]) ? i : m_highlight;
        }
    }
    if (input->Pressed(kKeyUp))
    {
        m_highlight = (m_highlight + buttons.size() - 1) % buttons.size();
    }
    if (input->Pressed(kKeyDown))
    {
        m_highlight = (m_highlight + 1) % buttons.size();
    }
    // A close, Escape or click in this frame has decided already.
    if (m_running && input->Pressed(kKeyReturn))
    {
        Press(*buttons[m_highlight]);
    }
}

void MenuState::DrawHighlight() const
{
    // A gold frame round the button, edged in the dark ink and bronze of the
    // pictures, standing in the gap between the buttons.
    struct Ring
    {
        int offset;
        Uint8 red;
        Uint8 green;
        Uint8 blue;
    };
    static constexpr Ring kRings[] = {
        {6, 0x14, 0x0c, 0x08}, {5, 0xff, 0xe0, 0x70}, {4, 0xff, 0xf0, 0xa0}, {3, 0xb0, 0x80, 0x30}};
    const Button* button = Buttons()[m_highlight];
    for (const Ring& ring : kRings)
    {
        const SDL_Rect frame{button->m_x - ring.offset, button->m_y - ring.offset,
                             button->m_width + 2 * ring.offset, button->m_height + 2 * ring.offset};
        Graphics::Instance()->Rectangle(frame, SDL_Color{ring.red, ring.green, ring.blue, 255},
                                        SDL_BLENDMODE_NONE, false);
    }
}

bool MenuState::UnderPointer(const Button& button) const
{
    const Input* input = Input::Instance();
    const auto mx = static_cast<int>(input->m_mouseX);
    const auto my = static_cast<int>(input->m_mouseY);
    const AABB pointer = AABB::FromRect(static_cast<float>(mx), static_cast<float>(my), 1.0f, 1.0f);
    return pointer.Overlaps(button.m_bound);
}

void MenuState::HandleClick(const Button& button)
{
    if (UnderPointer(button) && Input::Instance()->m_mouseLeft == 1)
    {
        Press(button);
    }
}

void MenuState::Press(const Button& button)
{
    Sound::Instance()->Play(kSoundClick);
    Game* game = Game::Instance();
    if (button.m_tag == "buttonPlay")
    {
        game->PushStateBack(std::make_unique<PlayState>(this));
        End();
    }
    else if (button.m_tag == "buttonScores")
    {
        game->PushStateFront(std::make_unique<ScoresState>(this));
        m_running = false;
    }
    else if (button.m_tag == "buttonGuide")
    {
        game->PushStateFront(std::make_unique<GuideState>(this));
        m_running = false;
    }
    else if (button.m_tag == "buttonExit")
    {
        End();
    }
}
