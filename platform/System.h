#pragma once

#include <cstdint>

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;
struct SDL_Rect;

// What sets one system apart from the others beyond its file calls, each
// system's in a file of its own, chosen by the build: SystemLinux.cpp,
// SystemWin32.cpp, SystemWeb.cpp (the browser).

// The SDL window flags this system adds to the game's window.
std::uint32_t SystemWindowFlags();

// Whether something of the system's (on X, a window manager) gives `window`
// the whole screen when it asks for fullscreen; where nothing does, the game
// places and sizes the window itself.
bool SystemCoversTheScreen(SDL_Window* window);

// Points the narration where a player can read it, before its first line:
// on Windows a program started from the Start menu has no standard output.
// Elsewhere standard output is always the place.
void NarrateWhereItCanBeRead();

// Shows `picture` (the view's own size, drawn into a target texture) in
// `place` of the window, as if enlarged `factor` times block by block and
// then smoothed to the place's size, in one pass of the system's own where
// it has one (the browser's WebGL); the blocks keep one size, softened at
// their edges only. False where the system has none: the caller then makes
// the enlargement itself and lets the renderer smooth it.
bool SystemShowsSharp(SDL_Renderer* renderer, SDL_Texture* picture, int factor,
                      const SDL_Rect& place);
