#pragma once

#include "core/Sound.h"

#include <cstdint>
#include <vector>

namespace sound
{

// Mono, 16 bits: the mixer converts to the device's format when it loads.
inline constexpr int kSampleRate = 22050;

// The samples of one of the game's sounds, made from nothing but code, so
// the same on every run.
std::vector<std::int16_t> Render(SoundCue cue);

} // namespace sound
