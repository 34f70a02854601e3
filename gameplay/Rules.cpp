// The rules of play: one update of the Map per frame of the play screen.
#include "gameplay/Rules.h"
#include "core/Sound.h"
#include "gameplay/Camera.h"
#include "gameplay/Interface.h"
#include "gameplay/Player.h"
#include "gameplay/Random.h"
#include "graphics/Objects.h"
#include "world/FileManager.h"
#include "world/Map.h"

#include <iostream>

void Map::Update()
{
    m_player->Update();
    m_camera->Follow(m_player->m_x + m_player->m_width / 2, m_player->m_y + m_player->m_height / 2);
    // The display shows the values from before this update's pickups and
    // countdown, so a won game never shows ten pieces.
    m_interface->Update();
    CollectGold();

    ++m_frameCounter;
    if (m_frameCounter >= kUpdatesPerSecond)
    {
        --m_timeLeft;
        m_frameCounter = 0;
    }
    if (m_timeLeft <= 0)
    {
        m_timeLeft = 0;
        m_lost = !m_won;
    }
    // The tenth piece wins even in the update the clock runs out, and a game
    // appends its score once.
    if (g_goldCount == kGoldToWin && !m_won)
    {
        m_won = true;
        m_lost = false;
        m_player->m_score += kScorePerSecond * m_timeLeft;
        FileManager::Instance()->WriteBinaryFile(m_player->m_score);
    }
}

void Map::CollectGold()
{
    for (std::unique_ptr<Event>& gold : m_events)
    {
        if (!gold->active || !m_player->m_bound.Overlaps(gold->m_bound))
        {
            continue;
        }
        // One line per piece: the position, a blank, and the message right
        // after the y.
        std::cout << m_player->m_x << " " << m_player->m_y;
        gold->active = false;
        Sound* sound = Sound::Instance();
        sound->Play(kSoundGold);
        Popup popup = kPopupDecrease;
        switch (Random::Next() % kEffectCount)
        {
        case kEffectHide:
            std::cout << "Hide Event Triggered." << std::endl;
            m_player->visible = false;
            popup = kPopupInvisible;
            sound->Play(kSoundHide);
            break;
        case kEffectStuck:
            std::cout << "Stuck Event Triggered." << std::endl;
            m_player->m_stuck = true;
            popup = kPopupStuck;
            sound->Play(kSoundStuck);
            break;
        case kEffectTimeBonus:
            std::cout << "Time Increase Event Triggered." << std::endl;
            m_timeLeft += kTimeBonus;
            m_player->m_timeIncreased = true;
            popup = kPopupIncrease;
            sound->Play(kSoundTimeBonus);
            break;
        default:
            std::cout << "Time Decreased Event Triggered." << std::endl;
            m_timeLeft -= kTimePenalty;
            m_player->m_timeDecreased = true;
            popup = kPopupDecrease;
            sound->Play(kSoundTimePenalty);
            break;
        }
        ++g_goldCount;
        m_popupOpened[popup] = static_cast<std::uint32_t>(g_goldCount);
    }
}
