// Windows: no kernel files among the player's, and a window of points.
#include "platform/FileCalls.h"
#include "platform/System.h"

// The high-DPI flag would make the game aware of the desktop's scaling, and
// Windows would stop placing the pointer in the window's own points.
std::uint32_t SystemWindowFlags()
{
    return 0;
}

bool file_calls::OnPseudoFileSystem(int /*fd*/)
{
    return false;
}
