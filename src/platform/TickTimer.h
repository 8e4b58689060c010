#pragma once
// The periodic tick of the main window: as short a period as the platform keeps steadily,
// and it goes on while a modal dialog is open (the dialog's event loop delivers it too).
#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

class TickTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 16;

    explicit TickTimer(std::function<void()> onTick, QObject* parent = nullptr);

    void Start() { timer_.start(); }
    void Stop() { timer_.stop(); }
    bool IsActive() const { return timer_.isActive(); }
    const QTimer& Timer() const { return timer_; }

private:
    void Tick();

    QTimer timer_;
    std::function<void()> onTick_;
    bool inTick_ = false;
};

} // namespace platform
