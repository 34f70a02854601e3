#pragma once

// The log blocks the engine prints, written out line by line, so tests can
// compare whole stretches of output instead of picking out single lines.

#include "tests/Harness.h"

#include <string>
#include <vector>

namespace transcript
{

using Lines = std::vector<std::string>;

inline Lines& operator+=(Lines& to, const Lines& more)
{
    to.insert(to.end(), more.begin(), more.end());
    return to;
}

inline Lines Block(const std::string& text)
{
    return {harness::kSep, text, harness::kSep};
}

inline Lines LoadPicture(const std::string& path, bool present)
{
    Lines lines{"Opening and reading texture file : \"" + path + "\""};
    if (present)
    {
        lines.push_back("File opened and read successfully.");
    }
    else
    {
        lines.push_back("File could not be loaded.");
        lines.push_back("ERROR Texture could not be loaded: " + path);
    }
    return lines;
}

inline Lines BackgroundConstruction(const std::string& tag, const std::string& path, bool present)
{
    Lines lines = Block("Game Object created. Initializing Game Object constructor...");
    lines += {"Background constructor called...",
              "Background Initialize function called... setting the default values..."};
    lines += LoadPicture(path, present);
    lines += {"Sprite texture created: " + tag, "Background constructor completed successfully. "};
    return lines;
}

inline Lines ButtonConstruction(const std::string& tag, bool present)
{
    Lines lines = Block("Game Object created. Initializing Game Object constructor...");
    lines += {"Button constructor called...",
              "Button Initialize function called... setting the default values..."};
    lines += LoadPicture("Assets\\GameState\\" + tag + ".png", present);
    lines += {"Sprite texture created: " + tag,
              "Button Create Bound function called... setting up the AABB...",
              "Button constructor completed successfully."};
    return lines;
}

inline Lines ObjectDestruction(const std::string& type, const std::string& tag)
{
    return {type + " destructor called...",
            "ResourceManager shut down function called... Sprite texture destroyed: " + tag,
            type + " destructor completed successfully."};
}

// The end of a deletion of `count` objects from a container.
inline Lines Cleared(int count)
{
    const std::string n = std::to_string(count);
    return {"Objects successfully deleted from container: " + n,
            "Container size before clear: " + n, "Container size after clear: 0"};
}

inline const char* const kButtons[] = {"buttonPlay", "buttonScores", "buttonGuide", "buttonExit"};

// The first menu of a run registers the menu's pictures; later menus skip that.
inline Lines MenuConstruction(bool firstMenu, bool picturesPresent)
{
    Lines lines = Block("GameState Initialized successfully...");
    lines += Block("MenuState constructor called...");
    lines.push_back("MenuState Initialize function called...");
    lines += Block("ResourceManager Initialize function called...");
    lines.push_back(firstMenu ? "LOADING Loading Menu files..."
                              : "Menu files already loaded, skipping...");
    lines.push_back("Number of items currently in container m_sprites: 5");
    lines += Block("ResourceManager Initialized successfully...");
    lines +=
        BackgroundConstruction("Menu", "Assets\\GameState\\MENU_background.png", picturesPresent);
    for (const char* tag : kButtons)
    {
        lines += ButtonConstruction(tag, picturesPresent);
    }
    lines += {"Number of objects currently in container m_gameObjects(MenuState): 5",
              "MenuState Initialized successfully..."};
    lines += Block("MenuState constructor initialized successfully...");
    return lines;
}

inline Lines MenuDestruction()
{
    Lines lines = Block("MenuState destructor called...");
    lines.push_back("Implementing deletion of objects from container...");
    lines += ObjectDestruction("Background", "Menu");
    for (const char* tag : kButtons)
    {
        lines += ObjectDestruction("Button", tag);
    }
    lines += Cleared(5);
    lines += Block("MenuState destructor completed successfully.");
    return lines;
}

// Everything up to the menu: settings read, renderer made (the dummy driver
// has no accelerated renderer).
inline Lines StartupHead()
{
    Lines lines{"FileManager Initialize function called... setting the default values..."};
    lines += Block("Game Initialize function called...");
    lines +=
        {"File loaded successfully: Assets\\ini\\game.ini", "File closed: Assets\\ini\\game.ini",
         "Accelerated renderer unavailable, using the software renderer."};
    return lines;
}

// Game::Shutdown after the screen queue emptied, no game having been played.
inline Lines ShutdownAfterEmptyQueue()
{
    Lines lines = Block("Game shut down function called...");
    lines += {"Implementing deletion of objects from container...",
              "Objects successfully deleted from container: 0",
              "FileManager shut down function called...",
              "Container size before clear: 6",
              "Container size after clear: 0",
              "FileManager shut down successfully."};
    lines += Block("Map shut down function called...");
    for (int i = 0; i < 3; ++i)
    {
        lines += {"Implementing deletion of objects from container...",
                  "Objects successfully deleted from container: 0"};
    }
    lines += Block("Map shut down successfully.");
    lines += Block("Game shut down successfully.");
    return lines;
}

} // namespace transcript
