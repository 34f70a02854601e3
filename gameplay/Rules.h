#pragma once

// The numbers of the rules of play. Game time is counted in updates.

inline constexpr int kUpdatesPerSecond = 60;
inline constexpr int kGameSeconds = 90;
inline constexpr int kGoldToWin = 10;
inline constexpr int kTimeBonus = 5;
inline constexpr int kTimePenalty = 10;
inline constexpr int kScorePerSecond = 10;
// Effects last this many updates (on one timer shared by all effects).
inline constexpr int kEffectUpdates = 200;

// What a piece of gold does, numbered as the random draw picks them.
enum GoldEffect : int
{
    kEffectHide = 0,
    kEffectStuck = 1,
    kEffectTimeBonus = 2,
    kEffectTimePenalty = 3,
    kEffectCount = 4,
};
