#include "gameplay/ScoresState.h"

#include "core/Screens.h"
#include "graphics/Log.h"
#include "graphics/Objects.h"
#include "graphics/ResourceManager.h"
#include "world/FileManager.h"

#include <sstream>

namespace
{
// The score file is read at the first visit of the screen in a run only.
bool s_scoresRead = false;

constexpr int kLineX = 300;
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
    if (!s_scoresRead)
    {
        files->ReadBinaryFile(kScoreFileKey);
        s_scoresRead = true;
    }
    ResourceManager::Instance()->LoadFont("Fixedsys");
    m_background = std::make_unique<Background>("Scores");
    const std::vector<std::int32_t> scores = files->GetScores();
    const int count = static_cast<int>(scores.size());
    for (int i = count - 1; i >= 0; --i)
    {
        if (i >= static_cast<int>(m_scoreTexts.size()))
        {
            continue; // the list never holds more than four entries
        }
        Text& line = m_scoreTexts[static_cast<std::size_t>(i)];
        line.Prepare("Fixedsys", 150.0f, 40.0f);
        const std::int32_t score = scores[static_cast<std::size_t>(i)];
        // A zero entry is padding for a missing record and shows nothing.
        if (score != 0)
        {
            std::stringstream text;
            text << "Score: " << score;
            line.m_text = text.str();
            line.CreateTexture();
        }
    }
    if (scores.empty())
    {
        m_scoreTexts[0].Prepare("Fixedsys", 150.0f, 40.0f);
        m_scoreTexts[0].m_text = "NO SCORES";
        m_scoreTexts[0].CreateTexture();
    }
    LogLine("ScoreState Initialized successfully...");
}

bool ScoresState::Update()
{
    UpdateOverPrevious(*this);
    return true;
}

bool ScoresState::Render()
{
    if (m_background)
    {
        m_background->Draw();
    }
    if (FileManager::Instance()->m_scores.empty())
    {
        m_scoreTexts[0].Draw(kLineX, 200);
        return true;
    }
    // The first record saved is at the bottom, the fourth at the top.
    for (int i = 4; i >= 0; --i)
    {
        m_scoreTexts[static_cast<std::size_t>(i)].Draw(kLineX, 300 - 50 * i);
    }
    return true;
}
