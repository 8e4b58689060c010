// The opening of the session of ReplayScript.h played through the desktop's window, its
// widgets and its keys, on the clocks the core's replay uses: at every checkpoint the
// program behind the window holds the bytes the core's replay recorded. The grid labels are
// left out, as they follow the ink of the face's own font.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QRegion>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <map>
#include <string>

#include "assets/assets.h"
#include "core/app/ReplayScript.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/TickTimer.h"

namespace {

using replay::Op;

constexpr std::string_view kGolden =
#include "core/app/replay_golden.inc"
    ;
constexpr float kTimeOfDay = 10 * 3600 + 17 * 60 + 0.75f;

std::map<std::string, std::string, std::less<>> GoldenLines()
{
    std::map<std::string, std::string, std::less<>> lines;
    std::string_view rest = kGolden;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        if (const auto colon = line.find(": "); colon != std::string_view::npos)
            lines.emplace(std::string(line.substr(0, colon)), std::string(line));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return lines;
}

struct Window {
    QTemporaryDir dir;
    SharedRecords shared;
    std::unique_ptr<frmMain> w;
    std::int64_t now = 7'000'003; // the core replay's origin

    app::Program& P() { return shared.program; }

    bool Frame()
    {
        const auto wait = P().NextWakeMs();
        if (!wait) return false;
        now += *wait;
        w->Timer1_Wake();
        return true;
    }

    void Advance(int ms)
    {
        const std::int64_t until = now + ms;
        for (int guard = 0; guard < 100'000; ++guard) {
            const auto wait = P().NextWakeMs();
            if (!wait || now + *wait > until) break;
            Frame();
        }
        now = until;
    }

    // Released on the window with the graph focused: in the temperature box Space would
    // also type a space, and on the liquid list Down would choose the next liquid.
    void Key(int code)
    {
        w->picGrph->setFocus();
        const Qt::Key key = code == replay::kDown    ? Qt::Key_Down
                            : code == replay::kEnter ? Qt::Key_Return
                            : code == replay::kSpace ? Qt::Key_Space
                                                     : Qt::Key_Up;
        QTest::keyClick(w->windowHandle(), key);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !w->KeyReleasePending(); }, 5000));
    }

    // Plays the session up to its first lesson: returns the checkpoints' lines but labels.
    std::vector<std::string> Play()
    {
        std::vector<std::string> lines;
        for (const replay::Step& s : replay::kSession) {
            if (s.op == Op::LoadLesson) break;
            switch (s.op) {
            case Op::Start:
                shared.location = {dir.path(), QString()};
                w = std::make_unique<frmMain>(shared, [] { return kTimeOfDay; });
                w->SetMonotonicClock([this] { return now; });
                w->show();
                w->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
                // The test runs every frame when it falls due on its clock, not the timer.
                w->Timer().Stop();
                P().StartTicking();
                w->txtOndo->setFocus();
                break;
            case Op::Type:
                Advance(s.gapMs);
                w->txtOndo->setText(QString::fromUtf8(s.text.data(), static_cast<qsizetype>(s.text.size())));
                break;
            case Op::Spin:
                for (int i = 0; i < s.count; ++i) {
                    Advance(s.gapMs);
                    w->UpDownOndo->findChild<QToolButton*>(s.value > 0 ? "up" : "down")->click();
                }
                break;
            case Op::SelectLiquid:
                Advance(s.gapMs);
                w->cmbLiquid->setCurrentIndex(s.value);
                break;
            case Op::Frames:
                for (int i = 0; i < s.count && Frame(); ++i) {}
                break;
            case Op::KeyUp:
                for (int i = 0; i < s.count; ++i) {
                    Advance(s.gapMs);
                    Key(s.value);
                }
                break;
            case Op::Check: {
                const std::string n(s.text);
                const auto add = [&](const char* what, std::uint64_t hash) { lines.push_back(replay::Line(n + what, hash)); };
                // The container as the window shows it, in the browser's byte order.
                w->PaintField();
                const QImage field = w->FieldImage().convertToFormat(QImage::Format_RGBA8888);
                add(".field", replay::Fnv1a64(field.constBits(), static_cast<std::size_t>(field.sizeInBytes())));
                add(".graph", replay::Fnv1a64(P().Graph().Bytes(), std::size_t{render::GraphPicture::kWidth} * render::GraphPicture::kHeight * 4));
                add(".csv", replay::Fnv1a64(P().PointsCsv()));
                const auto so1 = P().SinarioBytes();
                add(".so1", replay::Fnv1a64(so1.data(), so1.size()));
                add(".ini", replay::Fnv1a64(P().SettingsIni("")));
                // What the window shows is what the program holds.
                add(".texts", replay::Fnv1a64(w->txtOndo->text().toStdString() + '\n' + w->txtAturyoku->text().toStdString()));
                break;
            }
            default:
                ADD_FAILURE() << "the window's replay does not play this step";
            }
        }
        return lines;
    }
};

TEST(WindowReplay, TheWindowShowsTheBytesOfTheCoresReplay)
{
    InitVaporiaAssets();
    Window window;
    ASSERT_TRUE(window.dir.isValid());
    const auto golden = GoldenLines();
    const std::vector<std::string> lines = window.Play();
    ASSERT_GT(lines.size(), 30u);
    for (const std::string& line : lines) {
        const std::string name = line.substr(0, line.find(": "));
        const auto it = golden.find(name);
        ASSERT_NE(it, golden.end()) << name;
        EXPECT_EQ(line, it->second);
    }
    // And the panel on the screen is the program's picture wherever no label is printed.
    platform::DrawArea& area = window.w->Graph().Area();
    const QFontMetrics fm(area.Font());
    QRegion labels;
    for (const auto& l : window.P().Graph().Labels())
        labels += fm.boundingRect(QString::fromStdString(l.text)).translated(l.x, l.y + fm.ascent()).adjusted(-2, -2, 2, 2);
    const QImage shown = area.Image();
    const render::GraphPicture& graph = window.P().Graph();
    int differ = 0;
    for (int y = 0; y < render::GraphPicture::kHeight; ++y)
        for (int x = 0; x < render::GraphPicture::kWidth; ++x) {
            const render::Pixel p = graph.At(x, y);
            if (!labels.contains(QPoint(x, y))
                && (shown.pixel(x, y) & 0xFFFFFF) != (qRgb(render::RedOf(p), render::GreenOf(p), render::BlueOf(p)) & 0xFFFFFF))
                ++differ;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_FALSE(labels.isEmpty());
}

} // namespace
