// Runs a scripted session in a scratch folder holding the game's real assets
// and compares everything printed with the golden transcript.
//
//   golden_runner SCRIPT [GOLDEN] [--update] [--pictures DIR]
//
// Without GOLDEN the session only has to run through (the narration is
// discarded); with --update the golden file is rewritten from this run.
#include "tests/golden/Session.h"
#include "tests/support/Scratch.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::vector<std::string> files;
    bool update = false;
    fs::path pictures;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--update")
        {
            update = true;
        }
        else if (arg == "--pictures" && i + 1 < argc)
        {
            pictures = fs::absolute(argv[++i]);
        }
        else
        {
            files.push_back(fs::absolute(arg).string());
        }
    }
    if (files.empty() || files.size() > 2)
    {
        std::cerr << "usage: golden_runner SCRIPT [GOLDEN] [--update] [--pictures DIR]\n";
        return 2;
    }
    std::ifstream script(files[0]);
    std::vector<golden::Command> commands;
    if (!script || !golden::Parse(script, commands))
    {
        std::cerr << files[0] << ": cannot read the script\n";
        return 2;
    }

    support::ScratchFolder scratch("dungeon-golden");
    scratch.CopyAssets("Dungeon 800 608 0\n");
    // Without a golden file nothing reads the narration: a long session must
    // not pile it up in memory.
    std::ostringstream transcript;
    std::streambuf* console = std::cout.rdbuf(transcript.rdbuf());
    std::optional<support::SilentCout> silent;
    if (files.size() == 1)
    {
        silent.emplace();
    }
    golden::Session session(pictures);
    const bool ran = session.Run(commands);
    silent.reset();
    std::cout.rdbuf(console);
    if (!ran)
    {
        return 1;
    }
    if (files.size() == 1)
    {
        return 0;
    }
    const fs::path golden = files[1];
    if (update)
    {
        std::ofstream(golden, std::ios::binary) << transcript.str();
        return 0;
    }
    if (support::ReadFile(golden) == transcript.str())
    {
        return 0;
    }
    // Show where the narration went another way.
    const fs::path actual = fs::temp_directory_path() / (golden.stem().string() + ".actual.log");
    std::ofstream(actual, std::ios::binary) << transcript.str();
    const std::string diff =
        "diff -u '" + golden.string() + "' '" + actual.string() + "' | head -60";
    std::cout << "the narration differs from " << golden << " (whole run in " << actual
              << "; `make golden` rewrites it):\n"
              << std::flush;
    return std::system(diff.c_str()) == -1 ? 2 : 1;
}
