#pragma once

#include <cstdint>

// What sets one system apart from the others beyond its file calls, each
// system's in a file of its own, chosen by the build: SystemLinux.cpp,
// SystemWin32.cpp, SystemWeb.cpp (the browser).

// The SDL window flags this system adds to the game's window.
std::uint32_t SystemWindowFlags();
