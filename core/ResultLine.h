#pragma once

// The line that tells how a game ended, on the win screen ("Score: " and the
// score just saved) and the lose screen ("Gold: k of 10"). The game writes it
// with its own font at the font's own size (16 x 32 cells), centred across
// the screen with its top at the given y; the pictures leave a dark slot
// there. The game and the asset generator read these.

inline constexpr int kResultWinY = 414;
inline constexpr int kResultLoseY = 432;
inline constexpr int kResultHeight = 32;
// The slot around the words, wide enough for "Gold: 10 of 10".
inline constexpr int kResultSlotWidth = 280;
inline constexpr int kResultSlotHeight = 44;
