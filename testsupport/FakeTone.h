#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sound/Tone.h"

namespace ravolin {

// Records each tone instead of playing it. Safe to call from any thread: a run beeps on its worker while
// the test reads on the user-interface thread.
class FakeTone final : public TonePort {
public:
    struct Call {
        int frequencyHz = 0;
        int durationMs = 0;
        std::thread::id thread;
    };

    void Beep(int frequencyHz, int durationMs) override;

    // A copy, since a worker may beep while the test reads.
    std::vector<Call> calls() const;
    std::size_t callCount() const;

    // Runs inside every later Beep, on the beeping thread, after the call is recorded: a test can look at
    // what the tone is synchronous with.
    void setOnBeep(std::function<void()> action);

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    std::function<void()> m_onBeep;
};

}  // namespace ravolin
