#include "gameplay/Interface.h"

#include "graphics/Log.h"
#include "graphics/ResourceManager.h"
#include "world/Map.h"

#include <sstream>

namespace
{
constexpr int kTextX = 608;
constexpr int kTimeY = 536;
constexpr int kGoldY = 566;
// Both lines are stretched into this box whatever their length.
constexpr float kTextWidth = 100.0f;
constexpr float kTextHeight = 20.0f;

std::string Line(const char* label, std::int32_t value)
{
    std::stringstream text;
    text << label << value;
    return text.str();
}
} // namespace

Interface::Interface()
{
    LogLine("Interface constructor called...");
    LogLine("Interface Initialize function called... setting the default values...");
    m_tag = "Fixedsys";
    ResourceManager::Instance()->CreateSprite("Interface");
    m_sprite.m_texture = AssetCache::Instance()->m_textures["Interface"];
    m_sprite.m_width = static_cast<float>(kPanelWidth);
    m_sprite.m_height = static_cast<float>(kPanelHeight);
    m_sprite.m_columns = 1;
    m_sprite.m_rows = 1;
    m_sprite.m_frameWidth = kPanelWidth;
    m_sprite.m_frameHeight = kPanelHeight;
    m_sprite.m_column = 0.0f;
    m_sprite.m_row = 0.0f;
    LogLine("Interface Load Text function called... loading the resource text data...");
    ResourceManager::Instance()->LoadFont(m_tag);
    LoadText(m_timeText);
    LoadText(m_goldText);
    LogLine("Interface constructor completed successfully. ");
}

Interface::~Interface()
{
    LogLine("Interface destructor called...");
    AssetCache::Instance()->Release(kTextures, kReleaseOne, "Interface");
    LogLine("Interface destructor completed successfully.");
}

void Interface::LoadText(Text& text)
{
    LogLine("Text created successfully...");
    text.Prepare(m_tag, kTextWidth, kTextHeight);
}

void Interface::Update()
{
    // The values change once a second at most: a line is rendered only when
    // its words change.
    m_timeText.SetText(Line("Time: ", Map::Instance()->m_timeLeft));
    m_goldText.SetText(Line("Gold: ", g_goldCount));
}

bool Interface::Draw()
{
    m_sprite.Draw(kPanelX, kPanelY, 0.0, SDL_FLIP_NONE);
    m_timeText.Draw(kTextX, kTimeY);
    m_goldText.Draw(kTextX, kGoldY);
    return true;
}
