#pragma once
// Key preview: the main window sees every key release inside it, with its key code and
// modifier state, before the control that has the focus, which then handles it as usual.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace platform {

// Key codes as the main window's handlers know them (Down 40, Enter 13, Space 32, ...);
// 0 for keys without one.
int WindowsKeyCode(int qtKey);
// Shift 1, Ctrl 2, Alt 4.
int ShiftState(Qt::KeyboardModifiers modifiers);

class KeyPreview : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int keyCode, int shift)>;

    // Watches every key release delivered to window or any of its children.
    KeyPreview(QWidget* window, Handler onKeyUp);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    Handler onKeyUp_;
    // The event seen last and the widget it reached: an ignored key event travels on to
    // the parents, and each of those deliveries passes the filter again.
    const QKeyEvent* lastEvent_ = nullptr;
    QPointer<QWidget> lastReceiver_;
    int lastKey_ = 0;
    quint64 lastTimestamp_ = 0;
};

} // namespace platform
