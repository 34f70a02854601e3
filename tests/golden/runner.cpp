// Runs a scripted session in a scratch folder holding the game's assets and
// compares everything printed with its golden transcript (tests/golden/README.md),
// each run of one per-frame count line (the screens queued) folded into "N x COUNT".
#include "tests/golden/Session.h"
#include "tests/support/Scratch.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace
{
std::string Fold(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(line);
    }
    std::string folded;
    for (std::size_t i = 0, run = 1; i < lines.size(); i += run)
    {
        const bool isCount =
            !lines[i].empty() && lines[i].find_first_not_of("0123456789") == std::string::npos;
        for (run = 1; isCount && i + run < lines.size() && lines[i + run] == lines[i];)
        {
            ++run;
        }
        folded += (run > 1 ? std::to_string(run) + " x " : "") + lines[i] + "\n";
    }
    return folded;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool update = std::erase(args, "--update") > 0;
    fs::path pictures;
    if (const auto dir = std::ranges::find(args, "--pictures"); args.end() - dir >= 2)
    {
        pictures = fs::absolute(*(dir + 1));
        args.erase(dir, dir + 2);
    }
    std::ifstream script(args.empty() ? "" : fs::absolute(args[0]));
    std::vector<golden::Command> commands;
    if (args.empty() || args.size() > 2 || !script || !golden::Parse(script, commands))
    {
        std::cerr << "usage: golden_runner SCRIPT [GOLDEN] [--update] [--pictures DIR]\n";
        return 2;
    }
    const fs::path golden = args.size() == 2 ? fs::absolute(args[1]) : fs::path();

    support::ScratchFolder scratch("dungeon-golden");
    scratch.CopyAssets("Dungeon 800 608 0\n");
    // Without a golden file nothing reads the narration: a long session must
    // not pile it up in memory.
    std::string transcript;
    bool ran = false;
    {
        const support::SilentCout narration(!golden.empty());
        golden::Session session(pictures);
        ran = session.Run(commands);
        transcript = ran ? narration.Text() : narration.Tail();
    }
    if (!ran)
    {
        // The end of what the game said tells why the session could not go on.
        std::cout << "the session stopped; the narration ended:\n" << transcript << std::flush;
        return 1;
    }
    return golden.empty() ? 0
                          : support::MatchFile(Fold(transcript), golden, update, ".actual.log",
                                               "the narration differs from " + golden.string() +
                                                   " (`make golden` rewrites it)");
}
