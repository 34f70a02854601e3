#include "graphics/ResourceManager.h"

#include "core/Graphics.h"
#include "graphics/Log.h"
#include "platform/Files.h"

#include <SDL_image.h>

#include <array>
#include <iostream>

namespace
{
// Each screen's list is registered once per run, and the font opened once
// (a run: from the game's start-up to its shutdown).
std::array<bool, kScreenAssetLists> s_listLoaded{};
bool s_fontLoaded = false;

constexpr const char* kFontPath = "Assets\\Fonts\\Fixedsys.fon";
constexpr int kFontSize = 20;

// The word each screen's list is narrated with.
constexpr std::array<const char*, kScreenAssetLists> kListWords{"Menu",   "Play", "Pause", "Guide",
                                                                "Scores", "Win",  "Lose"};
} // namespace

ResourceManager* ResourceManager::Instance()
{
    static ResourceManager* instance = new ResourceManager();
    return instance;
}

bool ResourceManager::Initialize(int screen)
{
    LogBlock("ResourceManager Initialize function called...");
    if (screen >= 0 && screen < kScreenAssetLists)
    {
        const auto index = static_cast<std::size_t>(screen);
        const std::string word = kListWords[index];
        if (s_listLoaded[index])
        {
            LogLine(word + " files already loaded, skipping...");
        }
        else
        {
            LogLine("LOADING Loading " + word + " files...");
            for (const Picture& picture : kPictures)
            {
                if (picture.screen == screen)
                {
                    m_sprites[picture.tag] = picture.path;
                }
            }
            s_listLoaded[index] = true;
        }
    }
    LogLine("Number of items currently in container m_sprites: " +
            ToString(static_cast<std::uint32_t>(m_sprites.size())));
    LogBlock("ResourceManager Initialized successfully...");
    return true;
}

bool ResourceManager::CreateSprite(const std::string& tag)
{
    const auto found = m_sprites.find(tag);
    if (found == m_sprites.end())
    {
        LogLine("ERROR Invalid sprite tag parameter passed to CreateSprite function: " + tag);
        return false;
    }
    const std::string& path = found->second;
    std::cout << "Opening and reading texture file : " << '"' << path << '"' << std::endl;
    SDL_Surface* surface = IMG_Load(NativePath(path).c_str());
    if (surface == nullptr)
    {
        LogLine("File could not be loaded.");
        LogLine("ERROR Texture could not be loaded: " + path);
        return false;
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(Graphics::Instance()->m_renderer, surface);
    SDL_FreeSurface(surface);
    // The renderer or the memory may refuse the picture: that is no success.
    if (texture == nullptr)
    {
        LogLine("ERROR Texture could not be created: " + path);
        return false;
    }
    // An earlier texture of the same tag stays with the sprite that holds it;
    // the cache keeps the newest.
    AssetCache::Instance()->m_textures[tag] = texture;
    Graphics::Instance()->TexturesChanged();
    LogLine("File opened and read successfully.");
    return true;
}

bool ResourceManager::LoadFont(const std::string& key)
{
    if (s_fontLoaded)
    {
        LogLine("Text file already loaded, skipping...");
        return true;
    }
    LogLine("LOADING Loading Text file...");
    std::cout << "Opening and reading font file : " << '"' << kFontPath << '"' << std::endl;
    TTF_Font* font = TTF_OpenFont(NativePath(kFontPath).c_str(), kFontSize);
    if (font == nullptr)
    {
        LogLine("File could not be loaded.");
        LogLine("ERROR Font could not be loaded: Fixedsys");
        return false;
    }
    AssetCache::Instance()->m_fonts[key] = font;
    LogLine("File opened and read successfully.");
    s_fontLoaded = true;
    return true;
}

void ResourceManager::Forget()
{
    s_listLoaded.fill(false);
    s_fontLoaded = false;
    m_sprites.clear();
}

AssetCache* AssetCache::Instance()
{
    static AssetCache* instance = new AssetCache();
    return instance;
}

void AssetCache::Release(int kind, int mode, const std::string& name)
{
    if (kind == kFonts && mode == kReleaseOne)
    {
        const auto found = m_fonts.find(name);
        if (found == m_fonts.end())
        {
            LogLine("Font data not found.");
            return;
        }
        TTF_CloseFont(found->second);
        m_fonts.erase(found);
    }
    else if (kind == kTextures && mode == kReleaseOne)
    {
        const auto found = m_textures.find(name);
        if (found == m_textures.end())
        {
            LogLine("Texture data not found.");
            return;
        }
        if (found->second != nullptr)
        {
            SDL_DestroyTexture(found->second);
        }
        m_textures.erase(found);
    }
    else if (kind == kFonts && mode == kReleaseAll)
    {
        for (auto& [key, font] : m_fonts)
        {
            if (font != nullptr)
            {
                TTF_CloseFont(font);
            }
        }
        m_fonts.clear();
    }
    else if (kind == kTextures && mode == kReleaseAll)
    {
        for (auto& [tag, texture] : m_textures)
        {
            if (texture != nullptr)
            {
                SDL_DestroyTexture(texture);
            }
        }
        m_textures.clear();
    }
}
