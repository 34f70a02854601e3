#pragma once

#include <cstdint>

// What sets one system apart from the others beyond its file calls, each
// system's in a file of its own, chosen by the build: SystemLinux.cpp,
// SystemWin32.cpp, SystemWeb.cpp (the browser).

// The SDL window flags this system adds to the game's window.
std::uint32_t SystemWindowFlags();

// Points the narration where a player can read it, before its first line:
// on Windows a program started from the Start menu has no standard output.
// Elsewhere standard output is always the place.
void NarrateWhereItCanBeRead();
