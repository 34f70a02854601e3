#pragma once

#include <cstdint>

class Input;

// The game's window and renderer, kept in the Graphics singleton: opened once
// SDL is started, closed before it quits, and the window events of a frame.

// Opens the window (with SDL's words after the game's line on a failure):
// checks that a display is there, fits the window to the desktop, asks for a
// renderer, accelerated or else software, and sets the icon. Fullscreen
// covers the desktop. False when nothing could be opened, with nothing left
// open; the caller quits SDL.
bool OpenGameWindow(const char* title, std::int32_t width, std::int32_t height, bool fullscreen);

// Frees the picture, the renderer and the window.
void CloseGameWindow();

// What this frame's window events ask for: fullscreen toggled (F11,
// Alt+Return), the view fitted again after a resize, the picture drawn again
// when the window was uncovered or the renderer lost its textures (then the
// level's pictures are made again).
void HandleWindowEvents(const Input& input);

// Whether the window covers the desktop now.
bool GameWindowFullscreen();
