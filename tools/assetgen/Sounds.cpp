#include "tools/assetgen/Sounds.h"

#include "tools/assetgen/Canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

// Every sound is built from the same few voices (struck glass and metal,
// plucked strings, a soft horn, filtered noise, sliding sines) in A, and goes
// through the same small stone room, so that they belong together the way
// the pictures do. Levels are set by each sound's peak.

namespace sound
{
namespace
{

using Track = std::vector<float>;
constexpr double kTau = 2.0 * std::numbers::pi;

std::size_t Count(double seconds)
{
    return static_cast<std::size_t>(std::lround(seconds * kSampleRate));
}

double Seconds(std::size_t sample)
{
    return static_cast<double>(sample) / kSampleRate;
}

// Adds a sample; a loop wraps what runs past its end round to its start.
void Add(Track& track, std::size_t index, double value, bool wrap)
{
    if (wrap)
    {
        index %= track.size();
    }
    if (index < track.size())
    {
        track[index] += static_cast<float>(value);
    }
}

// A partial of a struck note: a multiple of its frequency, its level, and how
// many times faster than the note it dies away.
struct Partial
{
    double ratio;
    double level;
    double fade;
};

using Timbre = std::initializer_list<Partial>;
constexpr Timbre kGlass{{1.0, 1.0, 1.0}, {2.76, 0.25, 2.5}, {5.40, 0.08, 4.0}};
constexpr Timbre kString{{1.0, 1.0, 1.0}, {2.0, 0.5, 1.6}, {3.0, 0.25, 2.2}, {4.0, 0.12, 3.0}};
constexpr Timbre kIron{{1.0, 1.0, 1.0}, {2.4, 0.5, 1.8}, {3.9, 0.3, 2.5}, {5.3, 0.15, 3.0}};
// A church bell: the hum an octave below, the minor third above the strike.
constexpr Timbre kBell{{0.5, 0.6, 0.8},  {1.0, 1.0, 1.0}, {1.2, 0.5, 1.2},  {1.5, 0.3, 1.6},
                       {2.0, 0.45, 2.0}, {2.5, 0.2, 2.6}, {3.0, 0.15, 3.2}, {4.2, 0.08, 4.0}};

// A struck or plucked note: a 3 ms attack, then each partial dies away
// exponentially, `decay` seconds per 1/e for the first.
void Strike(Track& track, double start, double frequency, double level, double decay, Timbre timbre,
            bool wrap = false)
{
    const std::size_t first = Count(start);
    const std::size_t length = Count(decay * 8.0);
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = Seconds(i);
        double value = 0.0;
        for (const Partial& p : timbre)
        {
            value +=
                p.level * std::sin(kTau * frequency * p.ratio * t) * std::exp(-t * p.fade / decay);
        }
        Add(track, first + i, level * std::min(1.0, t / 0.003) * value, wrap);
    }
}

// A sine whose pitch slides from `from` to `to` (1/e of the way every
// `slide` seconds) while it dies away: thuds sliding down, drips sliding up.
void Glide(Track& track, double start, double from, double to, double slide, double level,
           double decay, bool wrap = false)
{
    const std::size_t first = Count(start);
    const std::size_t length = Count(decay * 8.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = Seconds(i);
        phase += kTau * (to + (from - to) * std::exp(-t / slide)) / kSampleRate;
        Add(track, first + i,
            level * std::min(1.0, t / 0.002) * std::exp(-t / decay) * std::sin(phase), wrap);
    }
}

// White noise through a one-pole low-pass at `cutoff` Hz, kept at the same
// loudness whatever the cutoff, swelling over `attack` and dying away.
void Noise(Track& track, double start, double cutoff, double level, double attack, double decay,
           std::uint32_t seed)
{
    const double a = 1.0 - std::exp(-kTau * cutoff / kSampleRate);
    const double gain = level / std::sqrt(a / (2.0 - a));
    const std::size_t first = Count(start);
    const std::size_t length = Count(attack + decay * 8.0);
    double y = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = Seconds(i);
        y += a * (2.0 * art::Hash01(seed, static_cast<std::uint32_t>(i)) - 1.0 - y);
        const double envelope = t < attack ? t / attack : std::exp(-(t - attack) / decay);
        Add(track, first + i, gain * envelope * y, false);
    }
}

// A soft horn: harmonics falling away, a gentle attack and a slight vibrato,
// held for `hold` seconds and then released.
void Horn(Track& track, double start, double frequency, double level, double hold, double release)
{
    constexpr std::array<double, 6> kHarmonics{1.0, 0.55, 0.35, 0.2, 0.1, 0.05};
    const std::size_t first = Count(start);
    const std::size_t length = Count(hold + release);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = Seconds(i);
        const double vibrato = 1.0 + 0.004 * std::min(1.0, t / 0.3) * std::sin(kTau * 5.5 * t);
        phase += kTau * frequency * vibrato / kSampleRate;
        double value = 0.0;
        for (std::size_t n = 0; n < kHarmonics.size(); ++n)
        {
            value += kHarmonics[n] * std::sin(static_cast<double>(n + 1) * phase);
        }
        double envelope = std::min(1.0, t / 0.025) * std::exp(-t / 2.0);
        if (t > hold)
        {
            const double out = (t - hold) / release;
            envelope *= std::exp(-4.0 * out) * (1.0 - out);
        }
        Add(track, first + i, level * envelope * value, false);
    }
}

// Runs a filter with memory over a track. A loop goes round twice and keeps
// the second lap, so its end flows into its start without a seam.
void Filter(Track& track, bool loop, const std::function<double(double)>& step)
{
    Track out(track.size());
    for (std::size_t lap = loop ? 0 : 1; lap < 2; ++lap)
    {
        for (std::size_t i = 0; i < track.size(); ++i)
        {
            out[i] = static_cast<float>(step(track[i]));
        }
    }
    track = std::move(out);
}

// A feedback echo `delay` seconds long, mixed in at `mix`.
void Echo(Track& track, double delay, double feedback, double mix, bool loop)
{
    Track line(Count(delay), 0.0f);
    std::size_t at = 0;
    Filter(track, loop,
           [&](double x)
           {
               const double y = x + feedback * line[at];
               line[at] = static_cast<float>(y);
               at = (at + 1) % line.size();
               return x + mix * (y - x);
           });
}

// The one room every sound is heard in: four echoes of a small stone
// chamber, dying away in about a third of a second.
void Room(Track& track, double mix, bool loop = false)
{
    Track wet(track.size(), 0.0f);
    for (const double delay : {0.0297, 0.0371, 0.0411, 0.0437})
    {
        Track comb = track;
        Echo(comb, delay, 0.5, 1.0, loop);
        for (std::size_t i = 0; i < wet.size(); ++i)
        {
            wet[i] += (comb[i] - track[i]) * 0.25f;
        }
    }
    for (std::size_t i = 0; i < track.size(); ++i)
    {
        track[i] += static_cast<float>(mix) * wet[i];
    }
}

// Takes out any offset, brings the loudest sample to `peak` (of full scale)
// and rounds to 16 bits. A one-shot passes a DC blocker and fades to nothing
// over its last moments; a loop loses its mean, which keeps its seam whole.
std::vector<std::int16_t> Finish(Track track, double peak, bool loop)
{
    if (loop)
    {
        double sum = 0.0;
        for (const float v : track)
        {
            sum += v;
        }
        const auto mean = static_cast<float>(sum / static_cast<double>(track.size()));
        for (float& v : track)
        {
            v -= mean;
        }
    }
    else
    {
        double x1 = 0.0;
        double y1 = 0.0;
        Filter(track, false,
               [&](double x)
               {
                   y1 = x - x1 + 0.999 * y1;
                   x1 = x;
                   return y1;
               });
        const std::size_t fade = std::min(Count(0.25), track.size() / 5);
        for (std::size_t i = 0; i < fade; ++i)
        {
            const double w = static_cast<double>(i) / static_cast<double>(fade);
            track[track.size() - 1 - i] *=
                static_cast<float>(0.5 - 0.5 * std::cos(w * std::numbers::pi));
        }
    }
    float loudest = 0.0f;
    for (const float v : track)
    {
        loudest = std::max(loudest, std::abs(v));
    }
    if (loudest <= 0.0f)
    {
        throw std::runtime_error("a sound came out silent");
    }
    std::vector<std::int16_t> samples(track.size());
    const double scale = peak * 32767.0 / loudest;
    std::transform(track.begin(), track.end(), samples.begin(),
                   [scale](float v) { return static_cast<std::int16_t>(std::lround(v * scale)); });
    return samples;
}

// Notes of A, in Hz.
constexpr double kE4 = 329.63;
constexpr double kA4 = 440.0;
constexpr double kC5 = 523.25;
constexpr double kCs5 = 554.37;
constexpr double kE5 = 659.26;
constexpr double kA5 = 880.0;
constexpr double kC6 = 1046.50;
constexpr double kE6 = 1318.51;
constexpr double kA6 = 1760.0;

// The stings sound a moment after the pick-up chime they come with.
constexpr double kStingDelay = 0.15;

std::vector<std::int16_t> Step()
{
    Track t(Count(0.28), 0.0f);
    Glide(t, 0.0, 150.0, 65.0, 0.02, 0.9, 0.03);
    Noise(t, 0.0, 1800.0, 0.35, 0.002, 0.018, 11);
    Noise(t, 0.012, 600.0, 0.25, 0.004, 0.03, 12);
    Room(t, 0.12);
    return Finish(t, 0.3, false);
}

std::vector<std::int16_t> Click()
{
    Track t(Count(0.18), 0.0f);
    Strike(t, 0.0, kA5, 0.6, 0.025, kString);
    Noise(t, 0.0, 4000.0, 0.3, 0.0005, 0.004, 21);
    Room(t, 0.1);
    return Finish(t, 0.3, false);
}

std::vector<std::int16_t> Gold()
{
    Track t(Count(0.8), 0.0f);
    Strike(t, 0.0, kE6, 0.8, 0.16, kGlass);
    Strike(t, 0.07, kA6, 0.9, 0.22, kGlass);
    Strike(t, 0.07, kE6 * 2.0, 0.15, 0.1, {{1.0, 1.0, 1.0}});
    Room(t, 0.25);
    return Finish(t, 0.5, false);
}

// Gone: a puff of air and a whistle sliding away.
std::vector<std::int16_t> Hide()
{
    Track t(Count(1.0), 0.0f);
    Noise(t, kStingDelay, 2500.0, 0.5, 0.08, 0.18, 31);
    Glide(t, kStingDelay, kA6, kE5, 0.15, 0.5, 0.25);
    Strike(t, kStingDelay + 0.02, kC6, 0.3, 0.2, kGlass);
    Room(t, 0.3);
    return Finish(t, 0.4, false);
}

// Held fast: two heavy iron clanks, the second a little lower.
std::vector<std::int16_t> Stuck()
{
    Track t(Count(0.9), 0.0f);
    for (const auto& [at, pitch, thud] : {std::tuple{0.0, 196.0, 120.0}, {0.15, 185.0, 110.0}})
    {
        Strike(t, kStingDelay + at, pitch, 0.7, 0.085, kIron);
        Glide(t, kStingDelay + at, thud, thud / 2.0, 0.02, 0.8, 0.055);
        Noise(t, kStingDelay + at, 900.0, 0.3, 0.002, 0.02, 41);
    }
    Room(t, 0.25);
    return Finish(t, 0.45, false);
}

// Plucked notes one after the other, the last left to ring.
Track Arpeggio(std::initializer_list<double> notes, double spacing, double detune)
{
    Track t(Count(1.0), 0.0f);
    double at = kStingDelay;
    std::size_t left = notes.size();
    for (const double note : notes)
    {
        const double decay = --left == 0 ? 0.28 : 0.12;
        Strike(t, at, note, 0.6, decay, kString);
        if (detune != 0.0)
        {
            Strike(t, at, note * detune, 0.3, decay, kString);
        }
        at += spacing;
    }
    Room(t, 0.25);
    return t;
}

// Time gained: up the A major chord.
std::vector<std::int16_t> TimeUp()
{
    return Finish(Arpeggio({kA4, kCs5, kE5, kA5}, 0.065, 0.0), 0.45, false);
}

// Time lost: down the A minor chord, slower and a little out of tune.
std::vector<std::int16_t> TimeDown()
{
    return Finish(Arpeggio({kE5, kC5, kA4, kE4}, 0.085, 1.006), 0.45, false);
}

// Three quick horn notes up to a held A major chord, with a glint of glass.
std::vector<std::int16_t> Win()
{
    Track t(Count(1.5), 0.0f);
    Horn(t, 0.0, kA4, 0.5, 0.1, 0.05);
    Horn(t, 0.13, kCs5, 0.5, 0.1, 0.05);
    Horn(t, 0.26, kE5, 0.5, 0.1, 0.05);
    for (const auto& [note, level] : {std::pair{kA5, 0.55}, {kE5, 0.35}, {kCs5, 0.3}, {kA4, 0.3}})
    {
        Horn(t, 0.4, note, level, 0.55, 0.35);
    }
    Strike(t, 0.4, kA6, 0.25, 0.3, kGlass);
    Room(t, 0.3);
    return Finish(t, 0.55, false);
}

// One low bell, left to die away.
std::vector<std::int16_t> Lose()
{
    Track t(Count(1.6), 0.0f);
    Strike(t, 0.0, 220.0, 0.8, 0.42, kBell);
    Room(t, 0.3);
    return Finish(t, 0.55, false);
}

// Four seconds that repeat without a seam: every tone and every slow swell
// makes a whole number of cycles in the loop (all are multiples of 1/4 Hz),
// the drips and echoes that run past the end come round to the start, and
// the rumble's filter has gone round once before the kept lap.
std::vector<std::int16_t> Ambience()
{
    constexpr double kLoop = 4.0;
    Track drone(Count(kLoop), 0.0f);
    for (std::size_t i = 0; i < drone.size(); ++i)
    {
        const double t = Seconds(i);
        const auto tone = [t](double hz, double phase = 0.0)
        { return std::sin(kTau * hz * t + phase); };
        // 110 and 110.25 Hz beat slowly against each other, once a loop.
        const double v = 0.5 * tone(55.0) * (0.8 + 0.2 * tone(0.25)) + 0.35 * tone(110.0) +
                         0.35 * tone(110.25) + 0.18 * tone(82.5) * (0.6 + 0.4 * tone(0.5, 1.0)) +
                         0.1 * tone(164.75) * (0.5 + 0.5 * tone(0.25, 2.0));
        drone[i] = static_cast<float>(v);
    }
    Track rumble(drone.size(), 0.0f);
    for (std::size_t i = 0; i < rumble.size(); ++i)
    {
        rumble[i] = static_cast<float>(2.0 * art::Hash01(51, static_cast<std::uint32_t>(i)) - 1.0);
    }
    const double a = 1.0 - std::exp(-kTau * 120.0 / kSampleRate);
    double y = 0.0;
    Filter(rumble, true,
           [&](double x)
           {
               y += a * (x - y);
               return y * 1.2;
           });
    Track drips(drone.size(), 0.0f);
    for (const auto& [at, pitch] : {std::pair{0.31, 1.0}, {1.47, 1.25}, {2.18, 0.84}, {3.36, 1.12}})
    {
        Glide(drips, at, 800.0 * pitch, 1500.0 * pitch, 0.012, 1.0, 0.05, true);
    }
    Echo(drips, 0.19, 0.4, 0.5, true);
    Track mix(drone.size(), 0.0f);
    for (std::size_t i = 0; i < mix.size(); ++i)
    {
        mix[i] = drone[i] + rumble[i] + 0.35f * drips[i];
    }
    Room(mix, 0.3, true);
    return Finish(mix, 0.1, true);
}

} // namespace

std::vector<std::int16_t> Render(SoundCue cue)
{
    switch (cue)
    {
    case kSoundStep:
        return Step();
    case kSoundClick:
        return Click();
    case kSoundGold:
        return Gold();
    case kSoundHide:
        return Hide();
    case kSoundStuck:
        return Stuck();
    case kSoundTimeBonus:
        return TimeUp();
    case kSoundTimePenalty:
        return TimeDown();
    case kSoundWin:
        return Win();
    case kSoundLose:
        return Lose();
    case kSoundAmbience:
        return Ambience();
    default:
        throw std::runtime_error("nothing makes sound " + std::to_string(cue));
    }
}

} // namespace sound
