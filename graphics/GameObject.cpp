#include "graphics/GameObject.h"

#include "graphics/Log.h"
#include "graphics/ResourceManager.h"

GameObject::GameObject()
{
    LogBlock("Game Object created. Initializing Game Object constructor...");
}

void GameObject::CreateSprite(Sprite& sprite)
{
    ResourceManager::Instance()->CreateSprite(m_tag);
    // The index operator leaves a null entry when nothing was loaded; the
    // object then draws nothing.
    sprite.m_texture = AssetCache::Instance()->m_textures[m_tag];
    sprite.m_width = static_cast<float>(m_width);
    sprite.m_height = static_cast<float>(m_height);
    sprite.m_columns = m_columns;
    sprite.m_rows = m_rows;
    sprite.m_frameWidth = m_width;
    sprite.m_frameHeight = m_height;
    sprite.m_column = static_cast<float>(m_column);
    sprite.m_row = static_cast<float>(m_row);
    LogLine("Sprite texture created: " + m_tag);
}

AABB GameObject::MakeBound() const
{
    return AABB::FromRect(static_cast<float>(m_x), static_cast<float>(m_y),
                          static_cast<float>(m_width), static_cast<float>(m_height));
}

void GameObject::ReleaseTexture() const
{
    AssetCache::Instance()->Release(kTextures, kReleaseOne, m_tag);
    LogLine("ResourceManager shut down function called... Sprite texture destroyed: " + m_tag);
}
