#include "core/Sound.h"

#include "graphics/Log.h"
#include "platform/Files.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace
{
// The ambience has a channel of its own, so no burst of other sounds can take
// it; the others share the rest.
constexpr int kAmbienceChannel = 0;
constexpr int kChannels = 16;
// A small buffer (about 23 ms) keeps a sound close to the step that made it.
constexpr int kRate = 44100;
constexpr int kBufferSamples = 1024;
// The game's sounds are a few hundred kilobytes; a file far larger is not one.
constexpr std::size_t kSoundFileLimit = std::size_t{8} * 1024 * 1024;

Mix_Chunk* LoadChunk(const char* path)
{
    // Read like the other data files: a FIFO or device named like a sound
    // must not hang start-up.
    const DataFile file = ReadDataFile(path, kSoundFileLimit);
    if (file.status == DataStatus::kDone)
    {
        SDL_RWops* bytes =
            SDL_RWFromConstMem(file.bytes.data(), static_cast<int>(file.bytes.size()));
        // Closed here, not by the mixer: on a damaged Ogg file the mixer
        // returns without closing what it was told to close.
        Mix_Chunk* chunk = bytes != nullptr ? Mix_LoadWAV_RW(bytes, 0) : nullptr;
        if (bytes != nullptr)
        {
            SDL_RWclose(bytes);
        }
        if (chunk != nullptr)
        {
            return chunk;
        }
    }
    LogLine(std::string("ERROR Sound could not be loaded: ") + path);
    return nullptr;
}
} // namespace

Sound* Sound::Instance()
{
    static Sound* instance = new Sound();
    return instance;
}

void Sound::Open()
{
    if (m_open)
    {
        return;
    }
    // Sound is a bonus: a machine without a device, or without a working
    // driver, plays the game silently and says nothing about it.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        return;
    }
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kBufferSamples) != 0)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    m_open = true;
    Mix_AllocateChannels(kChannels);
    Mix_ReserveChannels(kAmbienceChannel + 1);
    Mix_MasterVolume(m_muted ? 0 : MIX_MAX_VOLUME);
    for (std::size_t cue = 0; cue < m_chunks.size(); ++cue)
    {
        m_chunks[cue] = LoadChunk(kSoundPaths[cue]);
    }
}

void Sound::Close()
{
    // A next run starts with sound on, as a fresh start does.
    m_muted = false;
    if (!m_open)
    {
        return;
    }
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : m_chunks)
    {
        Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_open = false;
    m_ambienceAsked = false;
    m_ambienceStarted = false;
    m_ambiencePaused = false;
}

void Sound::Play(SoundCue cue)
{
    Mix_Chunk* chunk = m_chunks[static_cast<std::size_t>(cue)];
    // With every channel busy the sound is dropped: the moment has passed.
    if (m_open && chunk != nullptr && cue != kSoundAmbience)
    {
        Mix_PlayChannel(-1, chunk, 0);
    }
}

void Sound::KeepAmbience()
{
    m_ambienceAsked = true;
}

void Sound::EndFrame()
{
    Mix_Chunk* ambience = m_chunks[kSoundAmbience];
    if (m_open && ambience != nullptr)
    {
        if (m_ambienceAsked && !m_ambienceStarted)
        {
            m_ambienceStarted = Mix_PlayChannel(kAmbienceChannel, ambience, -1) == kAmbienceChannel;
        }
        else if (m_ambienceAsked && m_ambiencePaused)
        {
            Mix_Resume(kAmbienceChannel);
            m_ambiencePaused = false;
        }
        else if (!m_ambienceAsked && m_ambienceStarted && !m_ambiencePaused)
        {
            Mix_Pause(kAmbienceChannel);
            m_ambiencePaused = true;
        }
    }
    m_ambienceAsked = false;
}

void Sound::ToggleMute()
{
    SetMuted(!m_muted);
}

void Sound::SetMuted(bool muted)
{
    m_muted = muted;
    if (m_open)
    {
        Mix_MasterVolume(m_muted ? 0 : MIX_MAX_VOLUME);
    }
}
