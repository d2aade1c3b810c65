// Time for the game: a millisecond tick count and a pause. The real clock follows the system; the
// virtual clock lets a test play a whole game with its animations in no real time.
#pragma once

#include <cstdint>

namespace kelvora {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment; wraps around like the system's tick count.
    virtual uint32_t TickMs() = 0;
    // Blocks the calling thread; a negative pause counts as 0.
    virtual void SleepMs(int32_t ms) = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock();
    uint32_t TickMs() override;
    void SleepMs(int32_t ms) override;

private:
    int64_t startNs_;
};

// Time moves only when someone sleeps or advances it.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t startMs = 0) : nowMs_(startMs) {}
    uint32_t TickMs() override { return static_cast<uint32_t>(nowMs_); }
    void SleepMs(int32_t ms) override { Advance(ms); }
    void Advance(int64_t ms) {
        if (ms > 0) nowMs_ += ms;
    }
    int64_t NowMs() const { return nowMs_; }

private:
    int64_t nowMs_;
};

}  // namespace kelvora
