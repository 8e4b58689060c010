#include "desktop/platform/TickTimer.h"

#include <algorithm>

namespace platform {

TickTimer::TickTimer(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick))
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &TickTimer::Tick);
}

void TickTimer::Start()
{
    enabled_ = true;
    timer_.setSingleShot(false);
    timer_.start(kPeriodMs);
}

void TickTimer::Stop()
{
    enabled_ = false;
    timer_.stop();
    if (onStop_) onStop_();
}

void TickTimer::WakeIn(int ms)
{
    if (!enabled_) return;
    timer_.setSingleShot(true);
    timer_.start(std::max(ms, 0));
}

void TickTimer::Tick()
{
    // A tick handler that spins an event loop of its own must not be entered again by it.
    if (inTick_ || !onTick_) {
        if (inTick_ && timer_.isSingleShot()) timer_.start(kPeriodMs); // a wake-up is never lost
        return;
    }
    inTick_ = true;
    onTick_();
    inTick_ = false;
}

} // namespace platform
