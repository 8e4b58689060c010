// The program core driven as a face drives it, for what no single layer decides alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/app/Program.h"
#include "core/scenario/SinarioEdit.h"
#include "core/settings/ProfileText.h"
#include "core/settings/SettingsLimits.h"

namespace {

class ProgramTest : public ::testing::Test {
protected:
    std::int64_t now = 1'000'000;
    app::Program program{[] { return 36'000.0f; }, [this] { return now; }};

    void SetUp() override
    {
        program.Start();
        program.StartTicking();
        SystemSettings defaults{};
        mdlSystem::InitSystemSettings(defaults);
        program.Activate(defaults);
    }

    // Every frame the timer would run, until it sleeps or the limit.
    int Frames(int limit)
    {
        int n = 0;
        for (; n < limit; ++n) {
            const auto wait = program.NextWakeMs();
            if (!wait) break;
            now += *wait;
            program.Wake();
        }
        return n;
    }

    // Runs the timer for the given time, frame by frame as it wakes.
    void Run(std::int64_t ms)
    {
        const std::int64_t end = now + ms;
        while (const auto wait = program.NextWakeMs()) {
            if (now + *wait > end) break;
            now += *wait;
            program.Wake();
        }
        now = end;
    }

    std::vector<std::uint8_t> Picture()
    {
        const render::FieldPicture& f = program.FieldPixels();
        return {f.Bytes(), f.Bytes() + std::size_t{4} * f.Width() * f.Height()};
    }

    int Count(std::int16_t state) const
    {
        int n = 0;
        for (int i = 1; i <= mdlSprite::kRows; ++i)
            for (int j = 1; j <= mdlSprite::kColumns; ++j) n += program.Field().cells[i][j].state == state;
        return n;
    }

    void UseRampTo(std::int32_t target)
    {
        mdlSinario::SinarioData& d = program.EditSinario();
        d = {};
        d.stepCount = 1;
        d.steps[1].kind = mdlSinario::StepTemp;
        d.steps[1].value = target;
        d.steps[1].addTemp = 1;
        program.ScenarioLoaded();
    }

    void RampFrom(const char* typed)
    {
        program.TemperatureTyped(typed);
        if (program.PlaybackOn()) program.TogglePlayback();
        program.TogglePlayback(); // from step 1
        program.KeyUp(40);
        ASSERT_EQ(program.State().rampOn, 1);
    }
};

// Typed past its target while ramping, a ramp used to climb without end.
TEST_F(ProgramTest, RampEndsWhenTheTeacherTakesOverOrItPassesItsTarget)
{
    UseRampTo(100);
    RampFrom("-50");
    Frames(20);
    program.TemperatureTyped("150");
    EXPECT_EQ(program.State().rampOn, 0) << "typing stops the ramp";
    Frames(200);
    EXPECT_EQ(program.TemperatureText(), "150");

    RampFrom("-50");
    program.TogglePlayback();
    EXPECT_EQ(program.State().rampOn, 0) << "playback turned off stops the ramp";

    RampFrom("90");
    for (int i = 0; i < 15; ++i) program.Spin(+1); // held past the target
    Frames(5);
    EXPECT_EQ(program.State().rampOn, 0);
    EXPECT_EQ(program.TemperatureText(), "105") << "a ramp stands still once past its target";
}

TEST_F(ProgramTest, RampToAFarTargetEndsAtTheEndOfTheRangeShown)
{
    UseRampTo(2147483647);
    RampFrom("190");
    Frames(1'000);
    EXPECT_EQ(program.State().rampOn, 0);
    EXPECT_EQ(program.TemperatureText(), "200");
}

// Stopped, the picture stands a second apart yet follows every new state; the clock's
// work (ramp, readout, graph) goes on.
TEST_F(ProgramTest, StoppedMoleculesStandStillButShowEachNewState)
{
    program.TemperatureTyped("50");
    Run(500);
    EXPECT_EQ(program.SetMotion(false), app::kMotion);
    EXPECT_EQ(program.SetMotion(false), 0);
    Run(200);
    const auto held = Picture();
    Run(1000);
    EXPECT_EQ(Picture(), held);

    // Hotter while stopped: more vapour in the still picture, standing above the liquid.
    const int vapourBefore = Count(mdlSprite::MolVapor);
    program.TemperatureTyped("90");
    Run(200);
    const int vapour = Count(mdlSprite::MolVapor);
    EXPECT_GT(vapour, vapourBefore);
    std::int32_t surface = mdlSprite::kContainerHeight;
    for (int i = 1; i <= mdlSprite::kRows; ++i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const mdlSprite::MolCell& c = program.Field().cells[i][j];
            if (c.state != mdlSprite::MolVapor) {
                EXPECT_EQ(c.x, c.homeX);
                surface = std::min(surface, c.homeY);
            }
        }
    for (int i = 1; i <= mdlSprite::kRows; ++i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const mdlSprite::MolCell& c = program.Field().cells[i][j];
            if (c.state != mdlSprite::MolVapor || c.y > surface - mdlSprite::kSpriteSize) continue;
            EXPECT_GE(c.x, 0);
            EXPECT_LE(c.x, mdlSprite::kMaxX);
        }
    const auto hotter = Picture();
    EXPECT_NE(hotter, held);
    Run(1000);
    EXPECT_EQ(Picture(), hotter);
    EXPECT_FALSE(program.NextWakeMs()) << "a still picture that holds needs no timer";

    // A ramp still climbs, plotting its points, with the field standing.
    UseRampTo(95);
    RampFrom("90");
    const std::size_t points = program.PointCount();
    Run(3000);
    EXPECT_EQ(program.TemperatureText(), "95");
    EXPECT_GT(program.PointCount(), points);
    EXPECT_EQ(program.Announcement().rfind("95 ℃、圧力 ", 0), 0u);

    // The motion key starts the molecules from where they stand.
    EXPECT_EQ(program.KeyUp(app::Program::kMotionKey), app::kMotion);
    EXPECT_TRUE(program.MotionOn());
    const auto still = Picture();
    Run(500);
    EXPECT_NE(Picture(), still);
}

TEST_F(ProgramTest, AllMoltenOrAllVapourStillPictures)
{
    program.SetMotion(false);
    program.TemperatureTyped("150");
    Run(500);
    EXPECT_EQ(Count(mdlSprite::MolVapor), mdlSprite::kRows * mdlSprite::kColumns);
    for (int i = 1; i <= mdlSprite::kRows; ++i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const mdlSprite::MolCell& c = program.Field().cells[i][j];
            EXPECT_TRUE(c.x >= 0 && c.x <= mdlSprite::kMaxX && c.y >= 0 && c.y <= mdlSprite::kMaxY);
        }
    // Back below freezing: every molecule at home, as the moving picture would have them.
    program.TemperatureTyped("-20");
    Run(500);
    for (int i = 1; i <= mdlSprite::kRows; ++i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const mdlSprite::MolCell& c = program.Field().cells[i][j];
            EXPECT_EQ(c.state, mdlSprite::MolSolid);
            EXPECT_TRUE(c.x == c.homeX && c.y == c.homeY);
        }
}

TEST_F(ProgramTest, AnnouncementSaysTheReadoutInTheUnitsInForce)
{
    EXPECT_EQ(program.Announcement(), "");
    program.TemperatureTyped("50");
    EXPECT_EQ(program.Announcement(), "50 ℃、圧力 100.0 mmHg");
    program.TemperatureTyped("５０．４"); // full-width, rounded as the readout is
    EXPECT_EQ(program.Announcement(), "50 ℃、圧力 100.0 mmHg");
    for (const char* refused : {"", "abc", "-300"}) {
        program.TemperatureTyped(refused);
        EXPECT_EQ(program.Announcement(), "") << refused;
    }
    SystemSettings s{};
    mdlSystem::InitSystemSettings(s);
    s.temperatureUnit = 1;
    s.pressureUnit = 1;
    program.Activate(s);
    program.TemperatureTyped("373");
    EXPECT_EQ(program.Announcement(), "373 K、圧力 " + program.ReadoutText() + " atm");
}

TEST_F(ProgramTest, FieldDescriptionFollowsTheStates)
{
    EXPECT_EQ(program.FieldDescription(), "すべて固体");
    program.TemperatureTyped("150");
    Frames(5);
    EXPECT_EQ(program.FieldDescription(), "すべて気体");
    program.TemperatureTyped("60");
    Frames(5);
    EXPECT_EQ(program.FieldDescription().rfind("液体と気体。分子の", 0), 0u) << program.FieldDescription();

    // Shares as a class says them: the first molecules counted vapour, the rest liquid.
    struct Case {
        int vapour;
        const char* text;
    };
    const int all = mdlSprite::kRows * mdlSprite::kColumns; // 555
    for (const Case& c : {Case{111, "液体と気体。分子の約5分の1が気体"}, Case{185, "液体と気体。分子の約3分の1が気体"},
                          Case{278, "液体と気体。分子の約半分が気体"}, Case{416, "液体と気体。分子の約4分の3が気体"},
                          Case{500, "液体と気体。分子の約10分の9が気体"}, Case{200, "液体と気体。分子の約36%が気体"},
                          Case{2, "液体と気体。分子のごく一部（1%未満）が気体"},
                          Case{all - 1, "液体と気体。分子のほとんど（99%より多く）が気体"}}) {
        int k = 0;
        for (int i = 1; i <= mdlSprite::kRows; ++i)
            for (int j = 1; j <= mdlSprite::kColumns; ++j)
                program.EditField().cells[i][j].state = k++ < c.vapour ? mdlSprite::MolVapor : mdlSprite::MolLiquid;
        EXPECT_EQ(program.FieldDescription(), c.text) << c.vapour;
    }
    program.EditField().cells[1][1].state = mdlSprite::MolSolid;
    for (int j = 2; j <= mdlSprite::kColumns; ++j) program.EditField().cells[1][j].state = mdlSprite::MolLiquid;
    for (int i = 2; i <= mdlSprite::kRows; ++i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) program.EditField().cells[i][j].state = mdlSprite::MolLiquid;
    EXPECT_EQ(program.FieldDescription(), "固体と液体");
}

TEST_F(ProgramTest, PointsReadAsTheTableHasThem)
{
    EXPECT_EQ(program.PointCount(), 0u);
    EXPECT_EQ(program.PointText(0), "");
    program.TemperatureTyped("5");
    program.TemperatureTyped("50"); // 5 was typed through
    program.SelectLiquid(1);
    Frames(1); // the next frame takes the liquid up
    program.Spin(+1);
    ASSERT_EQ(program.PointCount(), 2u);
    EXPECT_EQ(program.PointText(0), "水、50 ℃、100.0 mmHg");
    EXPECT_EQ(program.PointText(1).rfind("エタノール、51 ℃、", 0), 0u) << program.PointText(1);
    EXPECT_EQ(program.PointText(2), "");
    EXPECT_EQ(program.PointText(static_cast<std::size_t>(-1)), "");

    program.Graph().SetIncludeTypedThrough(true);
    ASSERT_EQ(program.PointCount(), 3u);
    EXPECT_EQ(program.PointText(0).rfind("水、5 ℃、", 0), 0u);

    // Erased and plotted again to as many points: the new ones are read, not the old.
    program.GraphClear();
    EXPECT_EQ(program.PointCount(), 0u);
    program.SetDataBook(true);
    program.TemperatureTyped("2");
    program.TemperatureTyped("20");
    program.TemperatureTyped("30");
    ASSERT_EQ(program.PointCount(), 3u);
    EXPECT_EQ(program.PointText(2).rfind("エタノール、30 ℃、", 0), 0u);
    EXPECT_NE(program.PointText(2).find("（文献値）"), std::string::npos);
}

TEST_F(ProgramTest, KeysTheHelpListsDoWhatItSays)
{
    std::string help;
    for (const app::KeyHelpEntry& e : program.KeyHelp()) {
        EXPECT_FALSE(e.keys.empty() || e.action.empty());
        help += e.keys + "\n";
    }
    for (const char* key : {"F1", "F8", "F9", "F11", "Enter", "Space", "Esc"})
        EXPECT_NE(help.find(key), std::string::npos) << key;

    // ↑ and ↓ in the temperature box step it; ↓ is left to playback while that is on.
    program.TemperatureTyped("20");
    program.KeyDown(38);
    EXPECT_EQ(program.TemperatureText(), "21");
    program.KeyDown(40);
    program.KeyDown(40);
    EXPECT_EQ(program.TemperatureText(), "19");
    program.TogglePlayback();
    EXPECT_EQ(program.KeyDown(40), 0);
    EXPECT_EQ(program.TemperatureText(), "19");
    EXPECT_EQ(program.KeyDown(65), 0);

    EXPECT_TRUE(program.MotionOn());
    program.KeyUp(app::Program::kMotionKey);
    EXPECT_FALSE(program.MotionOn());
    program.Reset();
    EXPECT_FALSE(program.MotionOn()) << "F9 starts the lesson again, not the motion";
}

} // namespace

// F2, as the keyboard help offers it: the colour-vision markers on the panel and in the
// report picture, and back; the face hears kMarkers to remember the choice.
TEST_F(ProgramTest, MarkersChoiceOnAKeyReachesThePanelAndTheReport)
{
    program.TemperatureTyped("20");
    program.TemperatureTyped("60");
    program.Graph().ClearChanges();
    EXPECT_EQ(program.KeyUp(app::Program::kMarkersKey), app::kGraph | app::kMarkers);
    EXPECT_TRUE(program.DistinctMarkers());
    EXPECT_TRUE(program.Graph().TakenChanges().whole);
    const auto& first = program.Graph().Points().At(0);
    EXPECT_EQ(program.Graph().At(first.px + 1, first.py + 1), render::DistinctColor(0));
    const render::Report report = program.Report({}, {});
    std::size_t ringed = 0; // the newest point's ring, drawn at the picture's scale
    for (const render::Pixel p : report.pixels) ringed += p == render::kNewestColor;
    EXPECT_GT(ringed, std::size_t{(render::kRingSide * 4 - 4) * 9});
    EXPECT_EQ(program.KeyUp(app::Program::kMarkersKey), app::kGraph | app::kMarkers);
    EXPECT_EQ(program.Graph().At(first.px + 1, first.py + 1), render::LiquidColor(0));
    EXPECT_EQ(program.SetDistinctMarkers(false), 0);
}

namespace {

// Two steps and a title, as the editor makes them.
void MakeScenario(app::Program& program, i18n::Lang lang)
{
    mdlSinario::SinarioData& d = program.EditSinario();
    mdlSinario::SetTitleUnits(d, u"水の実験");
    const mdlSinario::TypedInit init = mdlSinario::InitStepFromTexts(1, 2, {"2", "10", "250", "400", "0", "900"}, lang);
    ASSERT_TRUE(init.step) << init.fault;
    mdlSinario::SinarioStep warm;
    warm.kind = mdlSinario::StepTemp;
    warm.value = 330;
    warm.addTemp = 1;
    ASSERT_TRUE(mdlSinario::InsertStep(d, -1, *init.step));
    ASSERT_TRUE(mdlSinario::InsertStep(d, -1, warm));
    program.ScenarioLoaded();
}

} // namespace

TEST_F(ProgramTest, TextsFollowTheLanguageChosen)
{
    EXPECT_EQ(program.Language(), i18n::Lang::Ja);
    EXPECT_EQ(program.SetLanguage(i18n::Lang::Ja), 0);
    const int changed = program.SetLanguage(i18n::Lang::En);
    EXPECT_TRUE(changed & app::kLanguage);
    EXPECT_TRUE(changed & app::kSettings) << "the unit labels are texts too";
    EXPECT_EQ(program.Language(), i18n::Lang::En);

    EXPECT_EQ(program.FieldDescription(), "All solid");
    EXPECT_EQ(program.Labels().mol, "1 mol");
    EXPECT_EQ(program.Labels().container, "30 L");
    EXPECT_EQ(program.KeyHelp().front().action, "Open this list of keys");
    EXPECT_EQ(program.KeyHelp().size(), 18u);

    program.TemperatureTyped("50");
    EXPECT_EQ(program.Announcement(), "50 ℃, pressure 100.0 mmHg");
    ASSERT_EQ(program.PointCount(), 1u);
    EXPECT_EQ(program.PointText(0), "Water, 50 ℃, 100.0 mmHg");
    program.SetDataBook(true);
    program.TemperatureTyped("60");
    EXPECT_EQ(program.PointText(1).rfind("Water, 60 ℃, ", 0), 0u) << program.PointText(1);
    EXPECT_TRUE(program.PointText(1).ends_with(" mmHg (data book)")) << program.PointText(1);

    // The legend and the picture's axis titles.
    const std::vector<render::LegendItem> legend = program.PanelLegend();
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[0].text, "Newest point");
    EXPECT_EQ(legend[1].text, "Water");
    EXPECT_EQ(legend[2].text, "Water (data book)");
    const render::Report report = program.Report({}, {});
    std::vector<std::string> texts;
    for (const render::ReportText& t : report.texts) texts.push_back(t.text);
    for (const char* text : {"Newest point", "Temperature (℃)", "Pressure (mmHg)"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;

    // The table: the header and the names in the language, the numbers and units as ever.
    const std::string english = program.PointsCsv();
    const std::string japanese = program.PointsCsv(true);
    EXPECT_EQ(english.substr(0, english.find('\n') + 1),
              "\xEF\xBB\xBFNo.,Substance,Temperature,Temperature unit,Pressure,Pressure unit,Vapour pressure values\r\n");
    EXPECT_NE(english.find("\r\n1,Water,50,℃,100.0,mmHg,standard\r\n"), std::string::npos) << english;
    EXPECT_NE(japanese.find("\r\n1,水,50,℃,100.0,mmHg,標準\r\n"), std::string::npos) << japanese;
    EXPECT_EQ(std::count(english.begin(), english.end(), ','), std::count(japanese.begin(), japanese.end(), ','));
    program.SetLanguage(i18n::Lang::Ja);
    EXPECT_EQ(program.PointsCsv(), japanese);
    program.SetLanguage(i18n::Lang::En);

    program.TogglePlayback();
    EXPECT_EQ(program.PlaybackText(), "No steps");
    MakeScenario(program, i18n::Lang::En);
    EXPECT_EQ(program.Caption().rfind("Vapour pressure curve - 水の実験 ", 0), 0u) << program.Caption();
    EXPECT_EQ(program.PlaybackText(), "Step 0 / 2");
    program.KeyUp(13);
    EXPECT_EQ(program.PlaybackText(), "Step 1 / 2");
    EXPECT_EQ(program.Labels().temperature, "K") << "not the Japanese full-width Ｋ";
    program.KeyUp(13);
    EXPECT_EQ(program.PlaybackText(), "End of scenario (2 / 2)");

    std::string error;
    const std::uint8_t few[10] = {};
    EXPECT_FALSE(program.LoadScenarioBytes(few, sizeof few, &error, "a.so1"));
    EXPECT_EQ(error, "\"a.so1\" cannot be opened as a scenario.\nA scenario is 2380 bytes long, but this file has only 10 bytes.");

    // A settings file's faults, told in the language in force.
    SystemSettings broken{};
    mdlSystem::InitSystemSettings(broken);
    EXPECT_NE(program.Activate(broken, mdlSystem::kFaultMol) & app::kNotice, 0);
    EXPECT_EQ(program.TakeNotice(),
              "These values in the settings file (CONFIG.INI) cannot be used and were set to their defaults:\n"
              "• Amount (whole number, 1 or more) → 1 mol");

    // Back to Japanese: the texts as they have always been.
    program.SetLanguage(i18n::Lang::Ja);
    EXPECT_EQ(program.PlaybackText(), "シナリオの終わり（2 / 2）");
    EXPECT_EQ(program.Caption().rfind("蒸気圧曲線　-　水の実験 ", 0), 0u) << program.Caption();
    EXPECT_EQ(program.PointsCsv(), program.PointsCsv(true));
}

// What the program writes to files is the same whatever language the pupil reads.
TEST(ProgramFiles, ScenarioAndSettingsBytesDoNotDependOnTheLanguage)
{
    const std::string oldIni = "; 学校の設定\r\n[DATA]\r\nMOL=3\r\n[OTHER]\r\nNAME=理科室\r\n";
    const auto made = [&](i18n::Lang lang) {
        app::Program program{[] { return 36'000.0f; }, [] { return std::int64_t{0}; }};
        program.SetLanguage(lang);
        program.Start();
        SystemSettings s{};
        mdlSystem::InitSystemSettings(s);
        s.pressureUnit = 1;
        s.container = 12.5;
        program.Activate(s);
        MakeScenario(program, lang);
        program.TogglePlayback();
        program.KeyUp(13); // the initial-settings step puts its settings in force
        return std::pair{program.SinarioBytes(), program.SettingsIni(oldIni)};
    };
    const auto japanese = made(i18n::Lang::Ja);
    EXPECT_NE(japanese.second.find("理科室"), std::string::npos);
    for (const i18n::Lang lang : {i18n::Lang::En, i18n::Lang::Vi}) {
        const auto other = made(lang);
        EXPECT_TRUE(other.first == japanese.first) << i18n::Code(lang);
        EXPECT_EQ(other.second, japanese.second) << i18n::Code(lang);
    }
}
