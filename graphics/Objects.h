#pragma once

#include "graphics/GameObject.h"

#include <string>
#include <vector>

// A full-window picture, 800 x 608 at (0, 0).
class Background final : public GameObject
{
public:
    explicit Background(const std::string& tag);
    ~Background() override;
    void Update() override {}
    bool Draw() override;

    Sprite m_sprite;
};

// A picture button of the main menu. Buttons stand in one column at x 70,
// whatever x their creator asks for.
class Button final : public GameObject
{
public:
    Button(const std::string& tag, int x, int y, int width, int height);
    ~Button() override;
    void Update() override {}
    bool Draw() override;

    Sprite m_sprite;
    AABB m_bound;
};

// A piece of gold, 32 x 32. The world drawing draws it with the camera offset.
class Event final : public GameObject
{
public:
    Event(int x, int y);
    void Update() override {}
    bool Draw() override { return true; }

    AABB m_bound;
    Sprite m_sprite;
};

// A pop-up message box, 524 x 255 at (10, 353).
class TextBox final : public GameObject
{
public:
    explicit TextBox(const std::string& tag);
    ~TextBox() override;
    void Update() override {}
    bool Draw() override;

    Sprite m_sprite;
};

// One tile layer's sheet of 50 x 19 frames of 32 x 32. The world drawing
// walks its position over the grid and picks the frame of every cell.
class Tileset final : public GameObject
{
public:
    explicit Tileset(const std::string& tag);
    ~Tileset() override;
    void Update() override {}
    bool Draw() override { return true; }

    // Whether a frame of the sheet is wholly transparent: drawing it would
    // change no pixel, so the world drawing leaves it out.
    bool Blank(int column, int row) const;

    Sprite m_sprite;

private:
    void FindBlankFrames();

    std::vector<bool> m_blank; // by frame, row after row; empty when unknown
};
