#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sound
{

// Mono samples at the generator's rate as an Ogg Vorbis file of the given
// stream serial number (a fixed one, so a run writes the same bytes).
std::string OggFile(const std::vector<std::int16_t>& samples, int serial);

// The samples a player's decoder gets back from an Ogg Vorbis file; empty
// when the file does not decode.
std::vector<std::int16_t> DecodeOgg(const std::string& file);

// How far the decoded sound strays from the one it was made from.
struct Fidelity
{
    std::size_t length = 0; // decoded samples (the original's count when equal)
    bool sameLength = false;
    double peakChange = 0.0; // dB, decoded peak against the original's
    double noise = 0.0;      // dB, the difference's power against the sound's
    // A loop: the step from its last sample to its first, before and after,
    // and the largest of the other steps near the seam, before and after.
    int seamBefore = 0;
    int seamAfter = 0;
    int originalSteps = 0;
    int nearbySteps = 0;
};

Fidelity Compare(const std::vector<std::int16_t>& original,
                 const std::vector<std::int16_t>& decoded, bool loop);

} // namespace sound
