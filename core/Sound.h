#pragma once

#include <array>

struct Mix_Chunk;

// Every sound the game plays. The asset generator writes the files of this
// table and the game loads them from it.
enum SoundCue : int
{
    kSoundStep = 0,
    kSoundClick,
    kSoundGold,
    kSoundHide,
    kSoundStuck,
    kSoundTimeBonus,
    kSoundTimePenalty,
    kSoundWin,
    kSoundLose,
    kSoundAmbience,
    kSoundCount,
};

inline constexpr std::array<const char*, kSoundCount> kSoundPaths{
    "Assets\\Sounds\\step.wav",     "Assets\\Sounds\\click.wav", "Assets\\Sounds\\gold.wav",
    "Assets\\Sounds\\hide.wav",     "Assets\\Sounds\\stuck.wav", "Assets\\Sounds\\timeup.wav",
    "Assets\\Sounds\\timedown.wav", "Assets\\Sounds\\win.wav",   "Assets\\Sounds\\lose.wav",
    "Assets\\Sounds\\ambience.wav",
};

// The game's sound: the audio device, the loaded sounds and the M switch.
// Sound is optional: without a device, or without a sound's file, the game
// plays on silently and every call here does nothing. Nothing waits for the
// device: a sound is handed to the mixer, which plays it on its own thread.
class Sound final
{
public:
    static Sound* Instance();

    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Opens the audio device when there is one and loads every sound; a file
    // that cannot be loaded gets one line and stays silent.
    void Open();
    // Stops everything, frees the sounds and closes the device.
    void Close();

    // Starts a sound once, over whatever is playing.
    void Play(SoundCue cue);
    // The play screen asks for the ambience in every frame it runs.
    void KeepAmbience();
    // At the end of a frame: the ambience plays on while it was asked for in
    // this frame and pauses where it stands when it was not.
    void EndFrame();
    // All sound off or on again; the switch holds across games.
    void ToggleMute();
    // The switch as the player's preferences left it, before the device opens.
    void SetMuted(bool muted);
    bool Muted() const { return m_muted; }

private:
    Sound() = default;

    bool m_open = false;
    bool m_muted = false;
    bool m_ambienceAsked = false;
    bool m_ambienceStarted = false;
    bool m_ambiencePaused = false;
    std::array<Mix_Chunk*, kSoundCount> m_chunks{};
};
