#include "platform/TickTimer.h"

namespace platform {

TickTimer::TickTimer(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick))
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &TickTimer::Tick);
}

void TickTimer::Tick()
{
    // A tick handler that spins an event loop of its own must not be entered again by it.
    if (inTick_ || !onTick_) return;
    inTick_ = true;
    onTick_();
    inTick_ = false;
}

} // namespace platform
