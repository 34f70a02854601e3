#pragma once

#include "graphics/Pictures.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <string>

// Knows which picture file each sprite tag names, and loads textures and the
// font into the AssetCache on request.
class ResourceManager final
{
public:
    static ResourceManager* Instance();

    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // Registers the asset list of a screen, the first time only.
    bool Initialize(int screen);
    // Reads the picture of a registered tag into a new texture in the cache.
    bool CreateSprite(const std::string& tag);
    // Opens the font once per run under the given key.
    bool LoadFont(const std::string& key);
    // Forgets the lists registered and the font opened, as the game shuts
    // down (the cache has closed the font), so a next run loads them afresh.
    void Forget();

    std::map<std::string, std::string> m_sprites;

private:
    ResourceManager() = default;
};

// Release kinds and modes.
inline constexpr int kFonts = 0;
inline constexpr int kTextures = 1;
inline constexpr int kReleaseOne = 0;
inline constexpr int kReleaseAll = 1;

// Owns the loaded textures and fonts; sprites and texts only borrow them.
class AssetCache final
{
public:
    static AssetCache* Instance();

    AssetCache(const AssetCache&) = delete;
    AssetCache& operator=(const AssetCache&) = delete;

    void Release(int kind, int mode, const std::string& name);

    std::map<std::string, TTF_Font*> m_fonts;
    std::map<std::string, SDL_Texture*> m_textures;

private:
    AssetCache() = default;
};
