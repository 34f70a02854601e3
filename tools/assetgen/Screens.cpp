#include "tools/assetgen/Screens.h"

#include "core/ResultLine.h"
#include "gameplay/MenuLayout.h"
#include "gameplay/Rules.h"
#include "graphics/View.h"
#include "tools/assetgen/World.h"
#include "world/Level.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace art
{

namespace
{

constexpr int kCentre = kViewWidth / 2;

// The pictures spell out the rules; a change of the rules means new words.
static_assert(kGoldToWin == 10 && kGameSeconds == 90 && kScorePerSecond == 10);
static_assert(kTimeBonus == 5 && kTimePenalty == 10);

// Font size indices of the game font.
constexpr int kSmall = 4;  // 10 x 20
constexpr int kMedium = 6; // 12 x 24
constexpr int kLarge = 8;  // 16 x 32

const Color kParchment = Rgb(0xe8dcb8);
const Color kDim = Rgb(0xa89c84);
const Color kGoldTop = Rgb(0xfff0a0);
const Color kGoldBottom = Rgb(0xd08818);
const Color kBronze = Rgb(0xb08030);
const Color kInk = Rgb(0x140c08);

TextStyle Title(int scale)
{
    TextStyle s;
    s.size = kLarge;
    s.scale = scale;
    s.top = kGoldTop;
    s.bottom = kGoldBottom;
    s.outline = Rgb(0x2a1608);
    s.shadow = Rgb(0x000000, 160);
    s.shadowOffset = scale * 2 + 2;
    return s;
}

TextStyle Heading(Color top, Color bottom, int scale = 2)
{
    TextStyle s = Title(scale);
    s.top = top;
    s.bottom = bottom;
    return s;
}

TextStyle Body(Color colour = kParchment, int size = kSmall)
{
    TextStyle s;
    s.size = size;
    s.top = colour;
    s.bottom = Shade(colour, 0.85f);
    s.shadow = Rgb(0x000000, 200);
    s.shadowOffset = 2;
    return s;
}

TextStyle Label(int size = kMedium)
{
    TextStyle s = Body(kGoldTop, size);
    s.bottom = Rgb(0xe0a030);
    return s;
}

// A wall of big dark bricks, drawn in two-pixel blocks like the level art.
Canvas Backdrop(Color brick, std::uint32_t seed)
{
    Canvas c(kViewWidth, kViewHeight);
    const Color mortar = Shade(brick, 0.35f);
    c.Fill(mortar);
    constexpr int kCourse = 24;
    constexpr int kBrickWidth = 48;
    for (int course = 0; course * kCourse < kViewHeight; ++course)
    {
        const int y0 = course * kCourse;
        const int offset = course % 2 == 0 ? 0 : kBrickWidth / 2;
        for (int b = -1; b * kBrickWidth < kViewWidth; ++b)
        {
            const int x0 = b * kBrickWidth + offset;
            const std::uint32_t h =
                Hash(seed, static_cast<std::uint32_t>(course), static_cast<std::uint32_t>(b + 3));
            const Color base = Shade(brick, 0.8f + 0.3f * Hash01(h));
            for (int y = y0; y < y0 + kCourse - 2; y += 2)
            {
                for (int x = x0 + 2; x < x0 + kBrickWidth; x += 2)
                {
                    float f = 0.94f + 0.12f * Hash01(h, static_cast<std::uint32_t>(x),
                                                     static_cast<std::uint32_t>(y));
                    if (y == y0)
                    {
                        f *= 1.2f;
                    }
                    if (y >= y0 + kCourse - 4)
                    {
                        f *= 0.75f;
                    }
                    c.FillRect(x, y, 2, 2, Shade(base, f));
                }
            }
        }
    }
    // Darker towards the corners, as if lit by one torch in front.
    for (int y = 0; y < kViewHeight; y += 2)
    {
        for (int x = 0; x < kViewWidth; x += 2)
        {
            const float dx = (x - kViewWidth / 2.0f) / (kViewWidth / 2.0f);
            const float dy = (y - kViewHeight / 2.0f) / (kViewHeight / 2.0f);
            const float d = std::min(1.0f, std::sqrt(dx * dx + dy * dy) / 1.3f);
            const float f = 1.0f - 0.7f * d * d;
            for (int v = 0; v < 2; ++v)
            {
                for (int u = 0; u < 2; ++u)
                {
                    c.Set(x + u, y + v, Shade(c.Get(x + u, y + v), f));
                }
            }
        }
    }
    return c;
}

// A dark plate framed in iron and bronze, for text to stand on.
void PanelFrame(Canvas& c, int x, int y, int w, int h, Color fill = Rgb(0x0e0b12, 232))
{
    c.BlendRect(x, y, w, h, fill);
    c.Frame(x, y, w, h, Rgb(0x08060a), 2);
    c.Frame(x + 2, y + 2, w - 4, h - 4, Rgb(0x4a4256), 2);
    c.Frame(x + 4, y + 4, w - 8, h - 8, Rgb(0x201c26), 2);
    c.Frame(x + 6, y + 6, w - 12, h - 12, kBronze, 2);
    for (int cx : {x + 2, x + w - 8})
    {
        for (int cy : {y + 2, y + h - 8})
        {
            c.FillRect(cx, cy, 6, 6, kBronze);
            c.FillRect(cx, cy, 4, 4, Rgb(0xe8c060));
            c.FillRect(cx + 2, cy + 2, 2, 2, Rgb(0x6a4810));
        }
    }
}

// The dark slot the game writes a game's result into, centred across the
// picture with the words' top at wordsY.
void ResultSlot(Canvas& c, int wordsY)
{
    const int x = kCentre - kResultSlotWidth / 2;
    const int y = wordsY - (kResultSlotHeight - kResultHeight) / 2;
    c.FillRect(x, y, kResultSlotWidth, kResultSlotHeight, Rgb(0x0a080c));
    c.FillRect(x, y, kResultSlotWidth, 2, Rgb(0x050406));
    c.FillRect(x, y + kResultSlotHeight - 2, kResultSlotWidth, 2, Rgb(0x5a5068));
}

void Divider(Canvas& c, int centreX, int y, int halfWidth)
{
    c.FillRect(centreX - halfWidth, y, halfWidth * 2, 2, kBronze);
    c.FillRect(centreX - halfWidth, y + 2, halfWidth * 2, 2, Rgb(0x3a2408));
    for (int dx : {-halfWidth - 6, halfWidth + 2})
    {
        c.FillRect(centreX + dx, y - 2, 4, 8, Rgb(0xe8c060));
    }
    c.FillRect(centreX - 4, y - 4, 8, 10, Rgb(0xe8c060));
    c.FillRect(centreX - 2, y - 2, 4, 6, kBronze);
}

void Sprite(Canvas& c, const Canvas& picture, int x, int y, int scale, float opacity = 1.0f)
{
    c.DrawFaded(picture, x, y, scale, opacity);
}

// The hourglass of the time effects, 16 x 16.
Canvas Hourglass(Color sand, bool empty)
{
    const char* rows[] = {
        ".bbbbbbbbbbbbbb.", "..wkkkkkkkkkkw..", "..wkyyyyyyyykw..", "..w.kyyyyyyk.w..",
        "..w..kyyyyk..w..", "..w...kyyk...w..", "..w....kk....w..", "..w....yk....w..",
        "..w...kyyk...w..", "..w..k.yy.k..w..", "..w.k..yy..k.w..", "..wk.yyyyyy.kw..",
        "..wkyyyyyyyykw..", "..wkkkkkkkkkkw..", ".bbbbbbbbbbbbbb.", "................",
    };
    std::vector<std::string> pattern(rows, rows + 16);
    if (empty)
    {
        for (auto& row : pattern)
        {
            std::replace(row.begin(), row.end(), 'y', '.');
        }
    }
    std::vector<const char*> pointers;
    for (const auto& row : pattern)
    {
        pointers.push_back(row.c_str());
    }
    char palette[64];
    std::snprintf(palette, sizeof palette, "b=6a4424 w=8a6440 k=c8d8e8 y=%02x%02x%02x", sand.r,
                  sand.g, sand.b);
    return FromPattern(pointers.data(), 16, palette);
}

Canvas CoinIcon()
{
    const char* rows[] = {
        "................", "....kkkkkkk.....", "...kyyYYYyyk....", "..kyYYyyyyyyk...",
        "..kyYykkkkyyk...", "..kyYykyyyyyk...", "..kyYykyyyyyk...", "..kyYykkkkyyk...",
        "..kyyyyyyyyok...", "...kyyyyyyok....", "....kkkkkkk.....", "................",
        "................", "................", "................", "................",
    };
    return FromPattern(rows, 16, "k=5a3408 y=f0b828 Y=ffe070 o=a86810");
}

// A small room of the dungeon, shown through a window in the menu.
Canvas MenuScene()
{
    constexpr int kCells = 6;
    constexpr int kRowsShown = 4;
    Canvas scene(kCells * 32, kRowsShown * 32);
    // Wall tops, then the wall's face with its torches and banner, then floor.
    for (int c = 0; c < kCells; ++c)
    {
        scene.Draw(WallFacePiece(static_cast<std::uint32_t>(c * 31 + 5)), c * 32, 0, 2);
        for (int r = 1; r < kRowsShown; ++r)
        {
            Canvas floor = FloorPiece((c * 3 + r) % 5,
                                      (c == 4 && r == 3)   ? 3
                                      : (c == 1 && r == 3) ? 1
                                                           : 0,
                                      static_cast<std::uint32_t>(c * 7 + r));
            if (r == 1)
            {
                for (int x = 0; x < 16; ++x)
                {
                    for (int y = 0; y < 4; ++y)
                    {
                        const float f[] = {0.45f, 0.6f, 0.75f, 0.9f};
                        floor.Set(x, y, Shade(floor.Get(x, y), f[y]));
                    }
                }
            }
            scene.Draw(floor, c * 32, r * 32, 2);
        }
    }
    scene.Draw(GoldSprite(), 3 * 32, 2 * 32);
    scene.Draw(PlayerFrame(2, 0), 1 * 32 + 6, 2 * 32);
    scene.Draw(TorchPiece(), 1 * 32, 0, 2);
    scene.Draw(TorchPiece(), 4 * 32, 0, 2);
    scene.Draw(BannerPiece(), 0 * 32, 0, 2);
    scene.Draw(BannerPiece(), 5 * 32, 0, 2);
    scene.Draw(ChestPiece(), 5 * 32, 1 * 32);
    scene.Draw(BarrelPiece(), 0 * 32, 1 * 32);
    scene.Draw(CratePiece(), 0 * 32, 3 * 32);
    return scene;
}

void KeyLines(Canvas& c, Lettering& font, int x, int y, int keyWidth,
              const std::vector<std::pair<std::string, std::string>>& lines, int spacing = 26)
{
    for (const auto& [key, meaning] : lines)
    {
        DrawText(c, font, key, x, y, Label(kSmall));
        DrawText(c, font, meaning, x + keyWidth, y, Body());
        y += spacing;
    }
}

} // namespace

Canvas MenuScreen(Lettering& font)
{
    Canvas c = Backdrop(Rgb(0x4a4054), 1);
    DrawTextCentred(c, font, "Dungeon Gold", kCentre, 48, Title(3));
    DrawTextCentred(c, font, "Ten pieces of gold. Ninety seconds.", kCentre, 168,
                    Body(kParchment, kMedium));
    Divider(c, kCentre, 210, 200);
    // The plate the buttons stand on, 20 pixels wider than them all round.
    int left = kViewWidth;
    int top = kViewHeight;
    int right = 0;
    int bottom = 0;
    for (const ButtonPlace& b : kMenuButtons)
    {
        left = std::min(left, b.x);
        top = std::min(top, b.y);
        right = std::max(right, b.x + b.width);
        bottom = std::max(bottom, b.y + b.height);
    }
    constexpr int kMargin = 20;
    const int plateWidth = right - left + 2 * kMargin;
    PanelFrame(c, left - kMargin, top - kMargin, plateWidth, bottom - top + 2 * kMargin,
               Rgb(0x0e0b12, 200));
    DrawTextCentred(c, font, "Up/Down, Return or click", left - kMargin + plateWidth / 2,
                    top - kMargin - 34, Body(kDim));
    // A look into the dungeon.
    PanelFrame(c, 338, 262, 416, 288);
    Sprite(c, MenuScene(), 354, 278, 2);
    DrawTextCentred(c, font, "Escape quits the game", 546, 566, Body(kDim));
    return c;
}

Canvas PauseScreen(Lettering& font)
{
    Canvas c = Backdrop(Rgb(0x3c3a4e), 2);
    PanelFrame(c, 150, 130, 500, 340);
    DrawTextCentred(c, font, "Paused", kCentre, 160, Heading(Rgb(0xd8e4ff), Rgb(0x7088c0)));
    Divider(c, kCentre, 246, 150);
    // The pad's buttons beside their keys: a pad player pauses here too.
    KeyLines(c, font, 200, 290, 130,
             {{"Return, A", "resume the game"},
              {"Space, B", "go to the main menu"},
              {"Escape", "quit the game"}},
             40);
    DrawTextCentred(c, font, "The clock waits while you rest.", kCentre, 420, Body(kDim));
    return c;
}

Canvas GuideScreen(Lettering& font, bool browser)
{
    Canvas c = Backdrop(Rgb(0x463e50), 3);
    DrawTextCentred(c, font, "How to play", kCentre, 14, Heading(kGoldTop, kGoldBottom));
    PanelFrame(c, 40, 92, 720, 500);
    int y = 108;
    DrawText(c, font, "THE GOAL", 70, y, Label(kMedium));
    Sprite(c, GoldSprite(), 680, y - 6, 2);
    y += 30;
    DrawText(c, font, "Find all ten pieces of gold before the 90 seconds run out.", 70, y, Body());
    y += 34;
    DrawText(c, font, "CONTROLS", 70, y, Label(kMedium));
    DrawText(c, font, "Pad", 270, y + 4, Body(kDim));
    y += 30;
    // Keys, the pad's buttons and what they do, in three columns.
    struct Control
    {
        const char* keys;
        const char* pad;
        const char* meaning;
    };
    static constexpr Control kControls[] = {
        {"Arrows, W A S D", "D-pad, stick", "walk one cell at a time"},
        {"P", "Start", "pause the game"},
        {"Return", "A", "resume, go back, press a button"},
        {"Space", "B", "from the pause page to the menu"},
        {"Up/Down, W/S", "D-pad, stick", "choose a button of the menu"},
        {"Mouse", "", "click the buttons of the menu"},
        {"F11, Alt+Return", "", "window or fullscreen"},
        {"M", "", "sound on or off"},
        {"Escape", "", "quit the game"},
    };
    // A browser's page may be played by touch alone: the on-screen controls
    // take the rows of the window's keys, which the browser's own fullscreen
    // and Exit stand for there.
    static constexpr Control kBrowserControls[] = {
        {"Arrows, W A S D", "D-pad, stick", "walk one cell at a time"},
        {"P", "Start", "pause the game"},
        {"Return", "A", "resume, go back, press a button"},
        {"Space", "B", "from the pause page to the menu"},
        {"Up/Down, W/S", "D-pad, stick", "choose a button of the menu"},
        {"Mouse, a tap", "", "press the buttons of the menu"},
        {"Touch: circle", "", "walk, as the arrows do"},
        {"Touch: buttons", "", "bottom up: Return, P, Space"},
        {"M", "", "sound on or off"},
    };
    for (const Control& control :
         browser ? std::span<const Control>(kBrowserControls) : std::span<const Control>(kControls))
    {
        DrawText(c, font, control.keys, 70, y, Label(kSmall));
        if (*control.pad != '\0')
        {
            DrawText(c, font, control.pad, 270, y, Label(kSmall));
        }
        DrawText(c, font, control.meaning, 420, y, Body());
        y += 23;
    }
    y += 10;
    DrawText(c, font, "EACH PIECE OF GOLD CASTS ONE SPELL", 70, y, Label(kMedium));
    y += 30;
    KeyLines(c, font, 70, y, 150,
             {{"Hidden", "you vanish from sight for a while"},
              {"Stuck", "you cannot move for a while"},
              {"+5 seconds", "the clock gains five seconds"},
              {"-10 seconds", "the clock loses ten seconds"}},
             22);
    Sprite(c, PlayerFrame(0, 1), 600, 470, 2, 0.3f);
    Sprite(c, PlayerFrame(2, 1), 672, 470, 2);
    DrawTextCentred(c, font,
                    browser ? "Return or its button: back to the menu"
                            : "Return: back to the menu     Escape: quit",
                    kCentre, 562, Body(kDim));
    return c;
}

Canvas ScoresScreen(Lettering& font)
{
    Canvas c = Backdrop(Rgb(0x4a4054), 4);
    DrawTextCentred(c, font, "Scores", 375, 14, Title(2));
    // The scores are written in white inside x 300 to 450, y 100 to 340.
    PanelFrame(c, 262, 88, 226, 266, Rgb(0x0a080c, 245));
    Sprite(c, GoldSprite(), 118, 150, 3);
    Sprite(c, GoldSprite(), 586, 150, 3);
    Divider(c, 375, 382, 180);
    DrawTextCentred(c, font, "Every game won saves ten points", 375, 410, Body());
    DrawTextCentred(c, font, "for each second left on the clock.", 375, 436, Body());
    DrawTextCentred(c, font, "The first four games won are shown,", 375, 470, Body(kDim));
    DrawTextCentred(c, font, "the oldest at the bottom.", 375, 496, Body(kDim));
    DrawTextCentred(c, font, "Return: back to the menu     Escape: quit", kCentre, 562, Body(kDim));
    return c;
}

Canvas WinScreen(Lettering& font)
{
    Canvas c = Backdrop(Rgb(0x54483a), 5);
    DrawTextCentred(c, font, "Victory!", kCentre, 40, Title(3));
    Divider(c, kCentre, 160, 220);
    const Canvas gold = GoldSprite();
    for (int i = 0; i < 5; ++i)
    {
        Sprite(c, gold, 180 + i * 96, 176, 3);
    }
    Sprite(c, PlayerFrame(0, 1), 352, 256, 3);
    PanelFrame(c, 110, 360, 580, 224);
    DrawTextCentred(c, font, "You found all ten pieces of gold!", kCentre, 376,
                    Body(kGoldTop, kMedium));
    ResultSlot(c, kResultWinY);
    DrawTextCentred(c, font, "Ten points a second left, saved to the scores.", kCentre, 462,
                    Body());
    KeyLines(c, font, 250, 516, 100, {{"Return", "back to the menu"}, {"Escape", "quit the game"}},
             26);
    return c;
}

Canvas LoseScreen(Lettering& font)
{
    Canvas c = Backdrop(Rgb(0x3a3040), 6);
    DrawTextCentred(c, font, "Time is up!", kCentre, 40, Heading(Rgb(0xffb0a0), Rgb(0xc02820), 3));
    Divider(c, kCentre, 160, 220);
    Sprite(c, Hourglass(Rgb(0xe0c070), true), 336, 186, 8);
    PanelFrame(c, 110, 360, 580, 224);
    DrawTextCentred(c, font, "The clock ran out before you", kCentre, 372,
                    Body(kParchment, kMedium));
    DrawTextCentred(c, font, "found all the gold.", kCentre, 398, Body(kParchment, kMedium));
    ResultSlot(c, kResultLoseY);
    DrawTextCentred(c, font, "The dungeon keeps its treasure - for now.", kCentre, 480, Body(kDim));
    KeyLines(c, font, 250, 520, 100, {{"Return", "back to the menu"}, {"Escape", "quit the game"}},
             26);
    return c;
}

Canvas Button(Lettering& font, const char* label, int width, int height)
{
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
    {
        const float t = static_cast<float>(y) / static_cast<float>(height - 1);
        c.FillRect(0, y, width, 1, Mix(Rgb(0x4e4660), Rgb(0x2a2434), t));
    }
    c.Frame(0, 0, width, height, Rgb(0x08060a), 2);
    c.FillRect(2, 2, width - 4, 2, Rgb(0x7a7090));
    c.FillRect(2, height - 4, width - 4, 2, Rgb(0x16121c));
    c.Frame(5, 5, width - 10, height - 10, kBronze, 1);
    for (int x : {2, width - 6})
    {
        for (int y : {2, height - 6})
        {
            c.FillRect(x, y, 4, 4, Rgb(0xe8c060));
        }
    }
    TextStyle style = Label(kLarge);
    style.outline = Rgb(0x1a0e04);
    DrawTextCentred(c, font, label, width / 2, (height - 32) / 2 + 1, style);
    return c;
}

Canvas Panel(int width, int height)
{
    // Only the top 98 rows show in the window; the rest stays transparent.
    constexpr int kShown = 98;
    // The panel stands over the level: its body lets the player and the gold
    // show through, while the frame, the icons and the slots behind the white
    // lines stay dark enough to read.
    constexpr std::uint8_t kBody = 128;
    constexpr std::uint8_t kSlot = 150;
    Canvas c(width, height);
    for (int y = 0; y < kShown; ++y)
    {
        const float t = static_cast<float>(y) / kShown;
        Color shade = Mix(Rgb(0x3e3648), Rgb(0x241e2c), t);
        shade.a = kBody;
        c.FillRect(0, y, width, 1, shade);
    }
    c.Frame(0, 0, width, kShown, Rgb(0x08060a), 2);
    c.FillRect(2, 2, width - 4, 2, Rgb(0x7a7090));
    c.Frame(5, 5, width - 10, kShown - 10, kBronze, 1);
    // Slots behind the two white lines at (49, 26) and (49, 56), 100 x 20.
    for (int y : {22, 52})
    {
        c.FillRect(44, y, 110, 28, Rgb(0x0a080c, kSlot));
        c.FillRect(44, y, 110, 2, Rgb(0x050406, kSlot));
        c.FillRect(44, y + 26, 110, 2, Rgb(0x5a5068, kSlot));
    }
    c.Draw(Hourglass(Rgb(0xf0c850), false), 13, 21, 2);
    c.Draw(CoinIcon(), 12, 54, 2);
    for (int x : {2, width - 6})
    {
        for (int y : {2, kShown - 6})
        {
            c.FillRect(x, y, 4, 4, Rgb(0xe8c060));
        }
    }
    return c;
}

Canvas NoticeBox(Lettering& font, Notice notice, int width, int height)
{
    // The box stands over the lower left of the view, where the player often
    // is: a see-through plate in an opaque frame, pictures faded enough for a
    // player beneath to show, and words outlined so they read over whatever
    // shows through.
    constexpr float kPicture = 0.5f;
    Canvas c(width, height);
    PanelFrame(c, 0, 0, width, height, Rgb(0x120e16, 120));
    const Canvas player = PlayerFrame(0, 1);
    std::string heading;
    Color top;
    Color bottom;
    std::vector<std::string> lines;
    switch (notice)
    {
    case Notice::Stuck:
        heading = "STUCK!";
        top = Rgb(0xffd0a0);
        bottom = Rgb(0xc06020);
        lines = {"Sticky mud grips", "your boots.", "You cannot move", "for a while."};
        c.FillEllipse(2 * 86, 2 * 212, 2 * 56, 2 * 14, Rgb(0x4a3018, 150));
        c.FillEllipse(2 * 86, 2 * 210, 2 * 44, 2 * 9, Rgb(0x6a4424, 150));
        Sprite(c, player, 38, 108, 3, kPicture);
        // Chains round the legs.
        for (int i = 0; i < 6; ++i)
        {
            c.Frame(40 + i * 16, 182 + (i % 2) * 4, 14, 8, Rgb(0x9a9aa8), 2);
        }
        break;
    case Notice::Invisible:
        heading = "HIDDEN!";
        top = Rgb(0xd8f0ff);
        bottom = Rgb(0x5890d0);
        lines = {"The gold's magic", "makes you vanish.", "You stay hidden", "for a while."};
        Sprite(c, player, 38, 104, 3, 0.25f);
        for (int i = 0; i < 10; ++i)
        {
            const int x = 40 + static_cast<int>(Hash(i, 9) % 92);
            const int y = 100 + static_cast<int>(Hash(i, 8) % 100);
            c.FillRect(x, y, 4, 4, Rgb(0xc8e8ff, 200));
        }
        break;
    case Notice::Increase:
        heading = "+5 SECONDS";
        top = Rgb(0xd0ffc0);
        bottom = Rgb(0x40a030);
        lines = {"Lucky gold!", "The clock gains", "five more seconds."};
        Sprite(c, Hourglass(Rgb(0x80e060), false), 38, 100, 6, kPicture);
        break;
    case Notice::Decrease:
        heading = "-10 SECONDS";
        top = Rgb(0xffc0b0);
        bottom = Rgb(0xd03020);
        lines = {"Cursed gold!", "The clock loses", "ten seconds."};
        Sprite(c, Hourglass(Rgb(0xe05040), false), 38, 100, 6, kPicture);
        break;
    }
    DrawTextCentred(c, font, heading, width / 2, 20, Heading(top, bottom));
    Divider(c, width / 2, 94, 200);
    int y = 120;
    for (const auto& line : lines)
    {
        TextStyle style = Body(kParchment, kLarge);
        style.outline = kInk;
        DrawText(c, font, line, 190, y, style);
        y += 30;
    }
    return c;
}

} // namespace art
