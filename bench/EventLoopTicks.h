#pragma once

#include <chrono>
#include <functional>

#include <QEventLoop>
#include <QTimer>

// Runs the event loop with a 1 ms timer until `done` says so, and hands every tick the time and the gap since
// the previous one: the longest gap is how long the user-interface thread was away from its events.
inline void runTicksUntil(const std::function<bool()>& done,
                          const std::function<void(std::chrono::steady_clock::time_point now,
                                                   std::chrono::steady_clock::duration gap)>& tick) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    QEventLoop loop;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        tick(now, now - last);
        last = now;
        if (done()) loop.quit();
    });
    ticks.start();
    loop.exec();
}
