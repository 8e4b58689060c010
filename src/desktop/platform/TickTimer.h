#pragma once
// The periodic tick of the main window: as short a period as the platform keeps steadily,
// and it goes on while a modal dialog is open (the dialog's event loop delivers it too).
// Its owner may instead ask for one wake-up at a time (WakeIn) or none (Sleep), so that
// the program wakes only when there is work.
#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

class TickTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 16;

    explicit TickTimer(std::function<void()> onTick, QObject* parent = nullptr);

    // Enables the timer, ticking every kPeriodMs.
    void Start();
    // Disables it: nothing fires, and WakeIn does nothing, until Start; onStop is told.
    void Stop();
    void SetOnStop(std::function<void()> onStop) { onStop_ = std::move(onStop); }
    bool IsEnabled() const { return enabled_; }
    bool IsActive() const { return timer_.isActive(); }
    const QTimer& Timer() const { return timer_; }

    // While enabled: fire once, after ms milliseconds, then stay quiet until asked again.
    void WakeIn(int ms);
    // While enabled: fire no more until WakeIn.
    void Sleep() { timer_.stop(); }

private:
    void Tick();

    QTimer timer_;
    std::function<void()> onTick_;
    std::function<void()> onStop_;
    bool enabled_ = false;
    bool inTick_ = false;
};

} // namespace platform
