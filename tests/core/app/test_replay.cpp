// The session of ReplayScript.h played through the program core on fixed clocks, with every
// picture and file it produces hashed at each checkpoint. The native build and the wasm
// build under node compare against the same golden list: both faces show the same bytes.
//
// After an intended change of output, write the list anew from the native build:
//   REPLAY_WRITE=tests/core/app/replay_golden.inc build/tests/core/test_replay
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/app/Program.h"
#include "core/settings/ProfileText.h"
#include "web/Lessons.h"
#include "core/app/ReplayScript.h"

#include "replay_lessons.inc" // webapi::kLessons, written by the build from lessons/*.so1

namespace {

using replay::Op;
using replay::Step;

constexpr std::string_view kGolden =
#include "replay_golden.inc"
    ;

// A time of day with a fraction, so the field's layout depends on all of it.
constexpr float kTimeOfDay = 10 * 3600 + 17 * 60 + 0.75f;

const webapi::Lesson& FindLesson(std::string_view name)
{
    for (const webapi::Lesson& l : webapi::kLessons)
        if (name == l.name) return l;
    ADD_FAILURE() << "no lesson " << name;
    return webapi::kLessons[0];
}

SystemSettings FromIni(std::string_view text)
{
    SystemSettings s{};
    mdlSystem::LoadSystemSettingsFromText(s, text);
    return s;
}

class Session {
public:
    std::int64_t now = 7'000'003; // an origin off the tick grid
    app::Program program{[] { return kTimeOfDay; }, [this] { return now; }};

    std::vector<std::string> lines;
    int changedSinceCheck = 0; // what the events since the last checkpoint changed
    int frames = 0;
    const webapi::Lesson* lesson = nullptr;
    std::string savedIni;
    std::map<std::int32_t, std::int32_t> boiling; // liquid -> temperature whose press ended at 760.0
    std::map<std::string, std::string> readouts;  // checkpoint -> readout, for later facts
    std::function<void(std::string_view)> onCheck;

    void Play(std::span<const Step> script)
    {
        for (std::size_t i = 0; i < script.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i << " " << script[i].text);
            Do(script[i]);
        }
    }

    // The timer's next wake-up, if it is set: the clock moves to it and the frame runs.
    bool Frame()
    {
        const auto wait = program.NextWakeMs();
        if (!wait) return false;
        now += *wait;
        program.Wake();
        ++frames;
        ExpectOnePlan();
        return true;
    }

    // Time passes: every frame due on the way runs.
    void Advance(int ms)
    {
        const std::int64_t until = now + ms;
        for (int guard = 0; guard < 100'000; ++guard) {
            const auto wait = program.NextWakeMs();
            if (!wait || now + *wait > until) break;
            Frame();
        }
        now = until;
    }

    int Event(int changed)
    {
        changedSinceCheck |= changed;
        ExpectOnePlan();
        return changed;
    }

    // The desktop sets its timer from the plan whenever one was made, the browser asks for
    // the wait: the same.
    void ExpectOnePlan()
    {
        if (!program.TakeReplanned()) return;
        const auto planned = program.PlannedWake();
        const auto next = program.NextWakeMs();
        EXPECT_EQ(planned.has_value(), next.has_value()) << "at " << now;
        if (planned && next) {
            EXPECT_EQ(*planned, *next) << "at " << now;
        }
    }

    void Checkpoint(std::string_view name)
    {
        using render::FieldPicture, render::GraphPicture;
        const std::string n(name);
        const auto add = [&](const char* what, std::uint64_t hash) { lines.push_back(replay::Line(n + what, hash)); };
        const std::uint8_t* field = program.FieldPixels().Bytes();
        add(".field", replay::Fnv1a64(field, std::size_t{FieldPicture::kWidth} * FieldPicture::kHeight * 4));
        const GraphPicture& graph = program.Graph();
        add(".graph", replay::Fnv1a64(graph.Bytes(), std::size_t{GraphPicture::kWidth} * GraphPicture::kHeight * 4));
        std::string labels;
        for (const auto& l : graph.Labels())
            labels += l.text + '\t' + std::to_string(l.x) + '\t' + std::to_string(l.y) + '\n';
        add(".labels", replay::Fnv1a64(labels));
        add(".csv", replay::Fnv1a64(program.PointsCsv()));
        const auto so1 = program.SinarioBytes();
        add(".so1", replay::Fnv1a64(so1.data(), so1.size()));
        add(".ini", replay::Fnv1a64(program.SettingsIni("")));
        add(".texts", replay::Fnv1a64(program.TemperatureText() + '\n' + program.ReadoutText()));
        readouts[n] = program.ReadoutText();
        if (onCheck) onCheck(name);
        changedSinceCheck = 0;
    }

    void Do(const Step& s)
    {
        switch (s.op) {
        case Op::Start: {
            program.Start();
            program.StartTicking();
            SystemSettings defaults{};
            mdlSystem::InitSystemSettings(defaults);
            Event(program.Activate(defaults));
            break;
        }
        case Op::Type:
            Advance(s.gapMs);
            Event(program.TemperatureTyped(s.text));
            break;
        case Op::Spin:
            for (int i = 0; i < s.count; ++i) {
                Advance(s.gapMs);
                Event(program.Spin(s.value));
            }
            break;
        case Op::SelectLiquid:
            Advance(s.gapMs);
            Event(program.SelectLiquid(s.value));
            break;
        case Op::Frames:
            for (int i = 0; i < s.count && Frame(); ++i) {}
            break;
        case Op::KeyUp:
            for (int i = 0; i < s.count; ++i) {
                Advance(s.gapMs);
                Event(program.KeyUp(s.value));
            }
            break;
        case Op::LoadLesson: {
            lesson = &FindLesson(s.text);
            Advance(s.gapMs);
            std::string error;
            ASSERT_TRUE(program.LoadScenarioBytes(lesson->bytes, lesson->size, &error)) << error;
            Event(kLoaded);
            break;
        }
        case Op::TogglePlayback:
            Advance(s.gapMs);
            Event(program.TogglePlayback());
            break;
        case Op::PlayLesson:
            for (int press = 1; program.State().sinarioPos <= program.Sinario().stepCount; ++press) {
                ASSERT_LE(press, mdlSinario::kMaxSteps) << "playback does not move on";
                Advance(s.gapMs);
                Event(program.KeyUp(s.value));
                // The ramp runs one degree a frame until it reaches its target.
                for (int guard = 0; program.State().rampOn != 0 && guard < 10'000 && Frame(); ++guard) {}
                EXPECT_EQ(program.State().rampOn, 0) << "a ramp the timer left";
                for (int i = 0; i < s.count && Frame(); ++i) {}
                if (program.ReadoutText() == "760.0" && program.Shown())
                    boiling[program.State().curLiquid] = program.Shown()->whole;
                char suffix[24];
                std::snprintf(suffix, sizeof suffix, ".press%02d", press);
                Checkpoint(std::string(s.text) + suffix);
            }
            break;
        case Op::Settings: {
            const SystemSettings dialog = FromIni(s.text);
            Advance(s.gapMs);
            Event(program.TakeSettings(dialog));
            savedIni = program.SettingsIni(s.text);
            Event(program.Activate(FromIni(savedIni)));
            break;
        }
        case Op::DataBook:
            Advance(s.gapMs);
            Event(program.SetDataBook(s.value != 0));
            break;
        case Op::Check:
            Checkpoint(s.text);
            break;
        }
    }

    static constexpr int kLoaded = app::kScenario | app::kPlayback;
};

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines) out += l + '\n';
    return out;
}

// What the session must show at its checkpoints, beyond matching the golden list.
std::map<std::string, std::function<void(Session&)>> Facts()
{
    using S = Session;
    return {
        {"start", [](S& s) {
             // Empty boxes: no "0" beside a readout of 0.
             EXPECT_EQ(s.program.TemperatureText(), "");
             EXPECT_EQ(s.program.ReadoutText(), "");
             EXPECT_FALSE(s.program.TemperatureRefused());
             EXPECT_EQ(s.program.Graph().Points().Size(), 0u);
             EXPECT_TRUE(s.program.GraphShown());
             EXPECT_FALSE(s.program.PlaybackOn());
         }},
        {"typed-25", [](S& s) {
             EXPECT_EQ(s.program.ReadoutText(), "28.1");
             EXPECT_EQ(s.program.Graph().Points().Size(), 2u) << "one point per keystroke";
         }},
        {"water-100", [](S& s) { EXPECT_EQ(s.program.ReadoutText(), "760.0"); }},
        {"fullwidth-sign-only", [](S& s) {
             // No number: no readout beside it, the box marked, and no frame until there is one.
             EXPECT_EQ(s.changedSinceCheck, app::kReadout);
             EXPECT_FALSE(s.program.Shown());
             EXPECT_TRUE(s.program.TemperatureRefused());
             EXPECT_EQ(s.program.ReadoutText(), "");
             EXPECT_FALSE(s.program.NextWakeMs());
         }},
        {"fullwidth-minus-5", [](S& s) {
             ASSERT_TRUE(s.program.Shown());
             EXPECT_EQ(s.program.Shown()->whole, -5);
             EXPECT_NE(s.program.ReadoutText(), "760.0");
         }},
        {"fullwidth-12.5", [](S& s) {
             ASSERT_TRUE(s.program.Shown());
             EXPECT_EQ(s.program.Shown()->real, 12.5);
             EXPECT_EQ(s.program.Shown()->whole, 12) << "halves to even";
         }},
        {"spun-up", [](S& s) { EXPECT_EQ(s.program.TemperatureText(), "42"); }},
        // Beyond the range, up leaves 250 alone and down comes back to the range's end.
        {"spin-range", [](S& s) { EXPECT_EQ(s.program.TemperatureText(), "200"); }},
        {"ethanol-60", [](S& s) {
             EXPECT_EQ(s.program.State().curLiquid, 1);
             EXPECT_EQ(s.program.SelectedLiquid(), 1);
         }},
        {"ether-60", [](S& s) { EXPECT_EQ(s.program.State().curLiquid, 2); }},
        {"water-60", [](S& s) { EXPECT_EQ(s.program.State().curLiquid, 0); }},
        {"keys-playback-off", [](S& s) {
             EXPECT_EQ(s.changedSinceCheck, 0);
             EXPECT_EQ(s.program.TemperatureText(), "60");
         }},
        {"held-space", [](S& s) {
             // Settings, water, graph on, then 0, 10, 20, 30, 40 ℃.
             EXPECT_TRUE(s.program.PlaybackOn());
             EXPECT_EQ(s.program.State().sinarioPos, 9);
             EXPECT_EQ(s.program.TemperatureText(), "40");
             EXPECT_EQ(s.program.Graph().Points().Size(), 5u);
         }},
        {"enter-after-held", [](S& s) {
             EXPECT_EQ(s.program.State().sinarioPos, 10) << "Up is no playback key";
             EXPECT_EQ(s.program.TemperatureText(), "50");
         }},
        {"lesson2-loaded", [](S& s) {
             EXPECT_EQ(s.program.State().sinarioPos, 1);
             const auto bytes = s.program.SinarioBytes();
             ASSERT_EQ(s.lesson->size, bytes.size());
             EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), s.lesson->bytes)) << "the .so1 round trip";
             EXPECT_EQ(s.program.Caption().rfind("蒸気圧曲線　-　3つの液体をくらべる", 0), 0u) << s.program.Caption();
             // A damaged copy of the file is refused and changes nothing.
             std::string error;
             EXPECT_FALSE(s.program.LoadScenarioBytes(s.lesson->bytes, s.lesson->size - 1, &error));
             EXPECT_FALSE(error.empty());
             EXPECT_EQ(s.program.SinarioBytes(), bytes);
             EXPECT_EQ(s.program.State().sinarioPos, 1);
         }},
        {"lesson2-end", [](S& s) {
             EXPECT_TRUE(s.program.PlaybackOn());
             EXPECT_EQ(s.program.State().sinarioPos, s.program.Sinario().stepCount + 1);
             EXPECT_EQ(s.boiling, (std::map<std::int32_t, std::int32_t>{{0, 100}, {1, 78}, {2, 34}}));
             // The lesson's initial settings are in memory, and in the text a save would write.
             EXPECT_EQ(s.program.Settings().mol, 2);
             EXPECT_EQ(s.program.Settings().grphHMax, 1600);
             EXPECT_EQ(FromIni(s.program.SettingsIni("")), s.program.Settings());
         }},
        {"settings-kelvin-atm", [](S& s) {
             EXPECT_EQ(s.program.Settings(), FromIni(replay::kSchoolConfig)) << "CONFIG.INI round trip";
             EXPECT_EQ(s.savedIni.rfind("; set up by the science department\r\n[DATA]\r\n", 0), 0u) << s.savedIni;
             EXPECT_NE(s.savedIni.find("[WINDOW]\r\nzoom=125\r\n"), std::string::npos) << s.savedIni;
             EXPECT_EQ(s.program.SettingsIni(s.savedIni), s.savedIni) << "saving again changes nothing";
             EXPECT_EQ(s.program.Labels().temperature, "Ｋ");
             EXPECT_EQ(s.program.Labels().pressure, "atm");
             EXPECT_EQ(s.program.Graph().Points().Size(), 0u);
         }},
        {"databook-298", [](S& s) {
             EXPECT_TRUE(s.program.DataBook());
             EXPECT_EQ(s.changedSinceCheck & app::kReadout, app::kReadout);
             EXPECT_NE(s.program.ReadoutText(), s.readouts["kelvin-298"]) << "the readout follows the values at once";
         }},
        {"databook-off-373", [](S& s) {
             EXPECT_FALSE(s.program.DataBook());
             EXPECT_EQ(s.program.State().curLiquid, 0);
             EXPECT_EQ(s.program.ReadoutText(), "1.000");
         }},
    };
}

std::vector<std::string> PlayChecked(Session& s)
{
    auto facts = Facts();
    std::set<std::string> reached;
    s.onCheck = [&](std::string_view name) {
        const auto it = facts.find(std::string(name));
        if (it == facts.end()) return;
        SCOPED_TRACE(std::string(name));
        it->second(s);
        reached.insert(it->first);
    };
    s.lines.clear();
    s.boiling.clear();
    s.readouts.clear();
    s.Play(replay::kSession);
    for (const auto& [name, check] : facts)
        EXPECT_TRUE(reached.count(name)) << "checkpoint " << name << " never reached";
    return s.lines;
}

TEST(Replay, SessionShowsTheGoldenBytes)
{
    Session s;
    const std::string got = Joined(PlayChecked(s));
    EXPECT_GT(s.frames, 500) << "the frames between the events ran";
    if (const char* path = std::getenv("REPLAY_WRITE")) {
        std::ofstream out(path, std::ios::binary);
        out << "// The hashes test_replay.cpp records; written by it with REPLAY_WRITE=<this file>.\n"
            << "R\"golden(" << got << ")golden\"\n";
        ASSERT_TRUE(out.good()) << path;
        std::printf("wrote %s\n", path);
        return;
    }
    EXPECT_EQ(got, kGolden) << "regenerate natively with REPLAY_WRITE=tests/core/app/replay_golden.inc";
}

// Start() again on the program in use, as the page restarts, with the clock running on
// from the first session: nothing of that session may show in the second.
TEST(Replay, StartingAgainReplaysTheSameBytes)
{
    Session s;
    const auto first = PlayChecked(s);
    s.program.EditSinario() = {}; // as the page does: Start() keeps the scenario in use
    EXPECT_EQ(Joined(PlayChecked(s)), Joined(first));
}

} // namespace
