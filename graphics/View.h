#pragma once

// The view the level is seen through, and the size every full-window picture
// is drawn at.
inline constexpr int kViewWidth = 800;
inline constexpr int kViewHeight = 608;
