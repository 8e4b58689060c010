#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/platform/KeyPreview.h"
#include "desktop/platform/ModalDialog.h"
#include "desktop/platform/PictureButton.h"
#include "desktop/platform/TickTimer.h"

using namespace platform;

namespace {

// Records, in one list, what the preview and the focused control saw, in order.
struct Recorder {
    std::vector<std::string> log;
};

class RecordingEdit : public QLineEdit {
public:
    explicit RecordingEdit(Recorder& r, QWidget* parent) : QLineEdit(parent), r_(r) {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        r_.log.push_back("edit down " + std::to_string(e->key()));
        QLineEdit::keyPressEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        r_.log.push_back("edit up " + std::to_string(e->key()));
        QLineEdit::keyReleaseEvent(e);
    }

private:
    Recorder& r_;
};

struct Window {
    Recorder rec;
    QWidget main;
    RecordingEdit* edit = new RecordingEdit(rec, &main);
    QLineEdit* other = new QLineEdit(&main);
    KeyPreview preview{&main, [this](int code, int shift) {
        rec.log.push_back("preview " + std::to_string(code) + " " + std::to_string(shift));
    }};
    Window()
    {
        auto* layout = new QVBoxLayout(&main);
        layout->addWidget(edit);
        layout->addWidget(other);
        main.show();
        main.activateWindow();
        edit->setFocus();
    }
    // A key event as the window system delivers it, at a time in milliseconds.
    void Send(QEvent::Type type, Qt::Key key, quint64 time, Qt::KeyboardModifiers mods = {})
    {
        QKeyEvent e(type, key, mods);
        e.setTimestamp(time);
        QApplication::sendEvent(edit, &e);
    }
    // Past the grace, and until the preview has reported what it held, however late a busy
    // machine runs its timer.
    void Settle()
    {
        QTest::qWait(KeyPreview::kRepeatGraceMs + 30);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !preview.Pending(); }, 5000));
    }
};

std::string Up(Qt::Key k) { return "edit up " + std::to_string(k); }
std::string Down(Qt::Key k) { return "edit down " + std::to_string(k); }

} // namespace

TEST(KeyPreview, EachReleaseIsReportedOnceKnownToBeReal)
{
    Window w;
    // Alone: reported once no repeated press has followed it.
    w.Send(QEvent::KeyRelease, Qt::Key_Down, 100);
    EXPECT_EQ(w.rec.log, std::vector<std::string>{Up(Qt::Key_Down)});
    w.Settle();
    EXPECT_EQ(w.rec.log, (std::vector<std::string>{Up(Qt::Key_Down), "preview 40 0"}));

    // Before the next key press reaches the control, with the modifiers of its release.
    w.rec.log.clear();
    w.Send(QEvent::KeyRelease, Qt::Key_Space, 200, Qt::ShiftModifier);
    w.Send(QEvent::KeyPress, Qt::Key_Space, 200 + 80);
    w.Send(QEvent::KeyRelease, Qt::Key_Space, 200 + 150);
    w.Send(QEvent::KeyPress, Qt::Key_Return, 200 + 150); // another key, same time
    w.Settle();
    EXPECT_EQ(w.rec.log, (std::vector<std::string>{Up(Qt::Key_Space), "preview 32 1", Down(Qt::Key_Space),
                                                   Up(Qt::Key_Space), "preview 32 0", Down(Qt::Key_Return)}));

    // A held key, as X11 repeats it: pairs of release and press with one time stamp and no
    // repeat mark. Only the last release counts.
    w.rec.log.clear();
    w.Send(QEvent::KeyPress, Qt::Key_Down, 1000);
    for (quint64 t = 1500; t <= 1800; t += 33) {
        w.Send(QEvent::KeyRelease, Qt::Key_Down, t);
        w.Send(QEvent::KeyPress, Qt::Key_Down, t);
    }
    w.Send(QEvent::KeyRelease, Qt::Key_Down, 2000);
    w.Settle();
    EXPECT_EQ(std::count(w.rec.log.begin(), w.rec.log.end(), "preview 40 0"), 1);
    EXPECT_EQ(w.rec.log.back(), "preview 40 0");

    // A key nobody takes travels on from a plain child to its parents: still seen once.
    w.rec.log.clear();
    auto* panel = new QWidget(&w.main);
    auto* inner = new QWidget(panel);
    QTest::keyRelease(inner, Qt::Key_Enter);
    w.Settle();
    QTest::keyRelease(&w.main, Qt::Key_Down);
    w.Settle();
    EXPECT_EQ(w.rec.log, (std::vector<std::string>{"preview 13 0", "preview 40 0"}));
}

TEST(KeyPreview, AutoRepeatAndOtherWindowsAreIgnored)
{
    Window w;
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(w.edit, &repeat);
    QWidget elsewhere;
    QLineEdit* field = new QLineEdit(&elsewhere);
    elsewhere.show();
    QTest::keyRelease(field, Qt::Key_Down);
    w.Settle();
    EXPECT_EQ(w.rec.log, std::vector<std::string>{Up(Qt::Key_Down)});
}

TEST(KeyPreview, KeyCodes)
{
    const struct { int qt, code; } keys[] = {
        {Qt::Key_Down, 40}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Space, 32},
        {Qt::Key_Up, 38}, {Qt::Key_A, 65}, {Qt::Key_7, 55}, {Qt::Key_F1, 112},
        {Qt::Key_Escape, 27}, {Qt::Key_unknown, 0}};
    for (const auto& k : keys) EXPECT_EQ(WindowsKeyCode(k.qt), k.code) << k.qt;
    EXPECT_EQ(ShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(ShiftState(Qt::ControlModifier), 2);
}

TEST(PictureButton, ShowsTheTopOfItsPictureAndReportsClicks)
{
    QImage picture(81, 51, QImage::Format_RGB32);
    picture.fill(qRgb(99, 101, 156));
    picture.setPixel(80, 46, qRgb(255, 0, 0));
    PictureButton button;
    button.setToolTip(QStringLiteral("グラフ表示・非表示切替"));
    button.SetPicture(picture);
    button.show();
    EXPECT_EQ(button.size(), QSize(81, 47));
    EXPECT_EQ(button.Picture().size(), QSize(81, 47));
    const QImage shown = button.grab().toImage();
    EXPECT_EQ(shown.pixel(80, 46), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(99, 101, 156));

    QSignalSpy clicks(&button, &PictureButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(40, 20));
    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(40, 20));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(40, 20));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 20)); // released outside
    EXPECT_EQ(clicks.count(), 1);
}

// Reached by Tab, not by a click; Space and Enter press it at once, a held key only once
// (X11 repeats it as release and press pairs with one time stamp); arrows are not its own.
// A checkable one keeps the state its face gives it.
TEST(PictureButton, KeysPressItOnceAndLeaveItsStateToTheFace)
{
    PictureButton button;
    button.setCheckable(true);
    button.show();
    EXPECT_EQ(button.focusPolicy(), Qt::TabFocus);
    QSignalSpy clicks(&button, &PictureButton::clicked);
    const auto send = [&button](QEvent::Type type, Qt::Key key, quint64 time) {
        QKeyEvent e(type, key, Qt::NoModifier);
        e.setTimestamp(time);
        QApplication::sendEvent(&button, &e);
        return e.isAccepted();
    };
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        send(QEvent::KeyPress, key, 100);
        EXPECT_TRUE(button.isDown()); // the pressed look, until the key comes up
        send(QEvent::KeyRelease, key, 150);
        EXPECT_FALSE(button.isDown());
    }
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_FALSE(button.isChecked());

    clicks.clear();
    send(QEvent::KeyPress, Qt::Key_Space, 1000);
    for (quint64 t = 1500; t <= 1800; t += 33) {
        send(QEvent::KeyRelease, Qt::Key_Space, t);
        send(QEvent::KeyPress, Qt::Key_Space, t);
    }
    send(QEvent::KeyRelease, Qt::Key_Space, 2000);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(send(QEvent::KeyPress, Qt::Key_Down, 3000)); // passed on to the window
    EXPECT_EQ(clicks.count(), 1);
}

// The focus frame and the pressed look are drawn over the picture, and go with them.
TEST(PictureButton, ShowsFocusAndPressed)
{
    QImage picture(81, 47, QImage::Format_RGB32);
    picture.fill(qRgb(99, 101, 156));
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    QWidget window;
    auto* button = new PictureButton(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 60);
    button->SetPicture(picture);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    const auto shown = [button](int x, int y) { return button->grab().toImage().pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(shown(0, 0), 0xFF0000u);
    EXPECT_EQ(shown(40, 20), 0x63659Cu);
    button->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(shown(0, 0), 0x000000u); // black, then white inside it
    EXPECT_EQ(shown(2, 20), 0xFFFFFFu);
    EXPECT_EQ(shown(40, 20), 0x63659Cu);
    other->setFocus();
    button->setDown(true);
    EXPECT_EQ(shown(1, 1), 0xFF0000u); // sunk by a pixel
    EXPECT_EQ(shown(0, 0), 0x000000u);
    button->setDown(false);
    EXPECT_EQ(shown(0, 0), 0xFF0000u);
}

// Space and Enter on a focused button are the button's: its window does not see their
// release; other keys' releases still reach it.
TEST(KeyPreview, SpaceAndEnterOnAButtonAreTheButtons)
{
    Window w;
    auto* button = new PictureButton(&w.main);
    button->show();
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) QTest::keyRelease(button, key);
    QTest::keyRelease(button, Qt::Key_Down);
    w.Settle();
    EXPECT_EQ(w.rec.log, std::vector<std::string>{"preview 40 0"});
}

TEST(TickTimer, TicksPreciselyAndIsNeverReentered)
{
    int ticks = 0, depth = 0, deepest = 0;
    TickTimer timer([&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        if (ticks == 2) { // a handler that runs an event loop of its own
            QEventLoop loop;
            QTimer::singleShot(60, &loop, &QEventLoop::quit);
            loop.exec();
        }
        --depth;
    });
    EXPECT_EQ(timer.Timer().interval(), 16);
    EXPECT_EQ(timer.Timer().timerType(), Qt::PreciseTimer);
    timer.Start();
    QElapsedTimer clock;
    clock.start();
    while (ticks < 5 && clock.elapsed() < 5000) QTest::qWait(10);
    timer.Stop();
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(deepest, 1);
}

TEST(TickTimer, WakesOnceWhenAskedAndNeverWhileStopped)
{
    int ticks = 0;
    TickTimer timer([&] { ++ticks; });
    timer.WakeIn(0); // not started: nothing
    QTest::qWait(60);
    EXPECT_EQ(ticks, 0);
    timer.Start();
    timer.WakeIn(20); // one wake-up instead of the steady tick
    QTest::qWait(200);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.IsActive());
    timer.WakeIn(500);
    timer.Sleep();
    timer.WakeIn(10);
    timer.Stop();
    QTest::qWait(100);
    EXPECT_EQ(ticks, 1);
}

TEST(RunModal, CentresRunsAndThenCallsBack)
{
    QWidget main;
    main.setGeometry(100, 100, 800, 560);
    main.show();
    QDialog dialog(&main);
    dialog.resize(200, 100);
    int ticks = 0;
    TickTimer timer([&] { ++ticks; });
    timer.Start();
    QPoint centreWhileOpen;
    QTimer::singleShot(120, &dialog, [&] { // the tick goes on behind the dialog
        EXPECT_GE(ticks, 2);
        centreWhileOpen = dialog.geometry().center();
        EXPECT_TRUE(dialog.isModal());
        dialog.accept();
    });
    std::vector<std::string> order;
    const int result = RunModal(dialog, main, [&] {
        order.push_back(dialog.isVisible() ? "open" : "closed");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(order, std::vector<std::string>{"closed"});
    EXPECT_LE((centreWhileOpen - main.frameGeometry().center()).manhattanLength(), 40);
}
