#include "gameplay/ScoresState.h"

#include "core/Screens.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "world/FileManager.h"

#include <sstream>

namespace
{
// Every score line is stretched into the same box; the first record saved
// stands lowest, and each later one a step higher.
constexpr int kLineX = 300;
constexpr float kLineWidth = 150.0f;
constexpr float kLineHeight = 40.0f;
constexpr int kFirstLineY = 300;
constexpr int kLineStep = 50;
constexpr int kNoScoresY = 200;
} // namespace

ScoresState::ScoresState(GameState* previous) : GameState(previous)
{
    LogBlock("ScoresState constructor called...");
    Initialize();
    LogBlock("ScoresState constructor initialized successfully...");
}

ScoresState::~ScoresState() = default;

void ScoresState::Initialize()
{
    LogLine("ScoreState Initialize function called...");
    m_alive = true;
    m_running = true;
    ResourceManager::Instance()->Initialize(kScoresAssets);
    FileManager* files = FileManager::Instance();
    // Read at every visit, so a game won in this run shows at once.
    files->ReadBinaryFile(kScoreFileKey);
    ResourceManager::Instance()->LoadFont("Fixedsys");
    m_background = std::make_unique<Background>("Scores");
    const std::vector<std::int32_t> scores = files->GetScores();
    const int count = static_cast<int>(scores.size());
    for (int i = count - 1; i >= 0; --i)
    {
        Text& line = m_scoreTexts[static_cast<std::size_t>(i)];
        line.Prepare("Fixedsys", kLineWidth, kLineHeight);
        const std::int32_t score = scores[static_cast<std::size_t>(i)];
        // A zero entry is padding for a missing record and shows nothing.
        if (score != 0)
        {
            std::stringstream text;
            text << "Score: " << score;
            line.SetText(text.str());
        }
    }
    if (scores.empty())
    {
        m_scoreTexts[0].Prepare("Fixedsys", kLineWidth, kLineHeight);
        m_scoreTexts[0].SetText("NO SCORES");
    }
    LogLine("ScoreState Initialized successfully...");
}

bool ScoresState::Update()
{
    UpdateOverPrevious(*this, ReturnKey::kNewPress);
    return true;
}

bool ScoresState::Render()
{
    m_background->Draw();
    if (FileManager::Instance()->m_scores.empty())
    {
        m_scoreTexts[0].Draw(kLineX, kNoScoresY);
        return true;
    }
    // The first record saved is at the bottom, the fourth at the top.
    for (int i = 4; i >= 0; --i)
    {
        m_scoreTexts[static_cast<std::size_t>(i)].Draw(kLineX, kFirstLineY - kLineStep * i);
    }
    return true;
}
