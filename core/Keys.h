#pragma once

#include <SDL.h>

// Scancodes the game reacts to.
inline constexpr int kKeyReturn = SDL_SCANCODE_RETURN; // 40
inline constexpr int kKeyEscape = SDL_SCANCODE_ESCAPE; // 41
inline constexpr int kKeySpace = SDL_SCANCODE_SPACE;   // 44
inline constexpr int kKeyP = SDL_SCANCODE_P;           // 19
inline constexpr int kKeyRight = SDL_SCANCODE_RIGHT;   // 79
inline constexpr int kKeyLeft = SDL_SCANCODE_LEFT;     // 80
inline constexpr int kKeyDown = SDL_SCANCODE_DOWN;     // 81
inline constexpr int kKeyUp = SDL_SCANCODE_UP;         // 82
