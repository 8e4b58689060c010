#pragma once
// Key preview: the main window sees every key release inside it, with its key code and
// modifier state; the control that has the focus handles it as usual. Space and Enter on a
// focused button are that button's alone.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class QKeyEvent;

namespace platform {

// Key codes as the main window's handlers know them (Down 40, Enter 13, Space 32, ...);
// 0 for keys without one.
int WindowsKeyCode(int qtKey);
// Shift 1, Ctrl 2, Alt 4.
int ShiftState(Qt::KeyboardModifiers modifiers);

// A held key repeats as release/press pairs that carry one timestamp, and under X11 (Qt 6.4)
// without the auto-repeat mark. So a release is reported once it is known to be real: when
// the next key press differs, or after repeatGraceMs without one, but not when the press
// of the same key with the same timestamp follows it. A held key thus reports one release.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int keyCode, int shift)>;
    // The repeated press comes with its release; this only has to outlast a busy frame.
    static constexpr int kRepeatGraceMs = 40;

    // Watches every key release delivered to window or any of its children.
    KeyPreview(QWidget* window, Handler onKeyUp, int repeatGraceMs = kRepeatGraceMs);
    ~KeyPreview() override;

    // A release seen and not yet reported (its grace still running).
    bool Pending() const { return pending_.has_value(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Release {
        int key = 0;
        quint64 timestamp = 0;
        int keyCode = 0;
        int shift = 0;
    };
    void Report();

    QPointer<QWidget> window_;
    Handler onKeyUp_;
    std::optional<Release> pending_;
    QTimer grace_;
    // The event seen last and the widget it reached: an ignored key event travels on to
    // the parents, and each of those deliveries passes the filter again.
    const QKeyEvent* lastEvent_ = nullptr;
    QPointer<QWidget> lastReceiver_;
    int lastKey_ = 0;
    quint64 lastTimestamp_ = 0;
};

// Keeps the presses of some keys from one control while hold(keyCode) says so: the control
// does not act on them (a selector does not open its list on Space), and their releases
// still reach the window's key preview. Owned by the control.
class KeyPressGuard : public QObject {
    Q_OBJECT
public:
    KeyPressGuard(QWidget* control, std::function<bool(int keyCode)> hold);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(int keyCode)> hold_;
};

} // namespace platform
