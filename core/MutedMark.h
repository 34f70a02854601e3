#pragma once

// A small crossed-out speaker in the view's top right corner, over whatever
// the screen drew, while all sound is off. Drawn with filled rectangles only,
// so it stays as sharp as the pixel art at every scale, and needs no picture.
void DrawMutedMark();
