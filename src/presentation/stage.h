// What the game draws on and plays through: the three drawing panels of the main window, the
// picture store, and the few window services a turn needs. The windows layer provides it over the
// running platform; the rules and the presentation only see this.
#pragma once

#include <cstdint>
#include <span>

#include "platform/draw_panel.h"
#include "platform/picture.h"
#include "base/random.h"
#include "base/text.h"

namespace kelvora {

class Stage {
public:
    virtual ~Stage() = default;

    DrawPanel* gameArea = nullptr;  // 画板游戏区, 360 x 360
    DrawPanel* buffer = nullptr;    // 画板动画缓冲, the hidden 39 x 39 scratch panel
    DrawPanel* preview = nullptr;   // 画板后继球, 120 x 40
    PictureStore* pictures = nullptr;
    RandomGenerator* random = nullptr;

    // A blocking pause of the user-interface thread; what was drawn is on screen meanwhile.
    virtual void SleepMs(int32_t ms) = 0;
    // The millisecond tick count the random generator is seeded from.
    virtual uint32_t TickMs() = 0;
    // Starts a clip and returns at once; clips overlap and are never waited for.
    virtual void PlaySound(std::span<const uint8_t> clip) = 0;
    // The interval of the selection timer 时钟选中动画 (0 stops it).
    virtual void SetSelectionTimerInterval(int32_t ms) = 0;
    // The caption of the score label 标签分数.
    virtual void SetScoreCaption(const Text& caption) = 0;
    // Holds back the main window's presentation until unlocked.
    virtual void LockRedraw() = 0;
    virtual void UnlockRedraw() = 0;
};

}  // namespace kelvora
