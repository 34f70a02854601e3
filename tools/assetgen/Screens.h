#pragma once

#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Lettering.h"

namespace art
{

// Full-window pictures, the size of the view.
Canvas MenuScreen(Lettering& font);
Canvas PauseScreen(Lettering& font);
// The guide; the browser's page has its own, which names the touch controls.
Canvas GuideScreen(Lettering& font, bool browser = false);
Canvas ScoresScreen(Lettering& font);
Canvas WinScreen(Lettering& font);
Canvas LoseScreen(Lettering& font);

// A menu button of the given size with its label.
Canvas Button(Lettering& font, const char* label, int width, int height);

// The heads-up panel with dark slots for the time and gold lines.
Canvas Panel(int width, int height);

enum class Notice
{
    Stuck,
    Invisible,
    Increase,
    Decrease,
};

// The box that tells what a piece of gold just did.
Canvas NoticeBox(Lettering& font, Notice notice, int width, int height);

} // namespace art
