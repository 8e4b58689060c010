#include "desktop/platform/KeyPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

namespace platform {

int WindowsKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // same codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int ShiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

KeyPreview::KeyPreview(QWidget* window, Handler onKeyUp, int repeatGraceMs)
    : QObject(window), window_(window), onKeyUp_(std::move(onKeyUp))
{
    grace_.setSingleShot(true);
    grace_.setInterval(std::max(repeatGraceMs, 0));
    connect(&grace_, &QTimer::timeout, this, &KeyPreview::Report);
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    if (qApp) qApp->removeEventFilter(this);
}

void KeyPreview::Report()
{
    grace_.stop();
    if (!pending_) return;
    const Release r = *pending_;
    pending_.reset();
    if (window_ && onKeyUp_) onKeyUp_(r.keyCode, r.shift);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        if (pending_) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (key->key() == pending_->key && key->timestamp() == pending_->timestamp) {
                pending_.reset(); // the key is held: its release was a repetition
                grace_.stop();
            } else {
                Report(); // a new key: the release before it was real, and comes first
            }
        }
        return false;
    }
    if (type != QEvent::KeyRelease || !watched->isWidgetType() || !window_) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool passedOn = key == lastEvent_ && key->key() == lastKey_
        && key->timestamp() == lastTimestamp_ && lastReceiver_ && widget != lastReceiver_
        && widget->isAncestorOf(lastReceiver_);
    lastEvent_ = key;
    lastKey_ = key->key();
    lastTimestamp_ = key->timestamp();
    lastReceiver_ = widget;
    if (passedOn || key->isAutoRepeat()) return false;
    // Space and Enter on a focused button press that button: no key of the window's.
    const int k = key->key();
    if (qobject_cast<QAbstractButton*>(widget)
        && (k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Select))
        return false;
    Report(); // another key's release still waiting goes first
    pending_ = Release{key->key(), key->timestamp(), WindowsKeyCode(key->key()), ShiftState(key->modifiers())};
    grace_.start();
    return false;
}

KeyPressGuard::KeyPressGuard(QWidget* control, std::function<bool(int keyCode)> hold)
    : QObject(control), hold_(std::move(hold))
{
    control->installEventFilter(this);
}

bool KeyPressGuard::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !hold_) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return hold_(WindowsKeyCode(key->key()));
}

} // namespace platform
