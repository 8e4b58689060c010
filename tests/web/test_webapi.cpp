// The C interface as the browser face drives it: events in, what to redraw out. Qt-free, so
// it runs in the WebAssembly build under node as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/render/GraphPicture.h"
#include "web/Lessons.h"
#include "web/vaporia_api.h"

namespace {

class Api : public ::testing::Test {
protected:
    void SetUp() override
    {
        vaporia_init(12 * 3600 + 0.25, 1000);
        vaporia_activate(nullptr, 1000);
    }
    double now = 1000;
};

std::string Str(const char* s) { return s ? s : ""; }

TEST_F(Api, StartsAsTheDesktopDoes)
{
    // Both boxes empty, nothing computed or plotted, the graph drawn empty; typing 0 first
    // plots the 0 ℃ point.
    EXPECT_EQ(Str(vaporia_temperature_text()), "");
    EXPECT_EQ(Str(vaporia_readout_text()), "");
    EXPECT_EQ(vaporia_temperature_refused(), 0);
    EXPECT_EQ(vaporia_point_count(), 0);
    EXPECT_EQ(vaporia_set_temperature_text("0", now) & VAPORIA_CHANGED_GRAPH, VAPORIA_CHANGED_GRAPH);
    EXPECT_EQ(vaporia_point_count(), 1);
    EXPECT_EQ(Str(vaporia_readout_text()), "6.3"); // the lesson values at 0 ℃
    EXPECT_EQ(vaporia_selected_liquid(), 0);
    const uint8_t* graph = vaporia_graph_pixels();
    EXPECT_NE(graph[3], 0) << "the graph's background is drawn by the activation";
}

TEST_F(Api, DataBookModeGivesTheSameReadoutWhenEverItIsSwitchedOn)
{
    vaporia_set_temperature_text("25", now);
    ASSERT_EQ(Str(vaporia_readout_text()), "28.1");
    vaporia_set_data_book(1, now);
    vaporia_set_temperature_text("2", now);
    vaporia_set_temperature_text("25", now);
    const std::string dataBook = Str(vaporia_readout_text());
    EXPECT_NE(dataBook, "28.1");
    vaporia_set_data_book(0, now);
    vaporia_set_temperature_text("2", now);
    vaporia_set_temperature_text("25", now);
    EXPECT_EQ(Str(vaporia_readout_text()), "28.1");

    // As the page starts: the mode switched on before the activation.
    vaporia_init(0, now);
    vaporia_set_data_book(1, now);
    vaporia_activate(nullptr, now);
    vaporia_set_temperature_text("25", now);
    EXPECT_EQ(Str(vaporia_readout_text()), dataBook);
    vaporia_set_data_book(0, now);
}

TEST_F(Api, TypedTemperatureGivesReadoutAndPointInEveryUnit)
{
    int changed = vaporia_set_temperature_text("2", now);
    changed = vaporia_set_temperature_text("25", now);
    EXPECT_EQ(changed & (VAPORIA_CHANGED_READOUT | VAPORIA_CHANGED_GRAPH), VAPORIA_CHANGED_READOUT | VAPORIA_CHANGED_GRAPH);
    EXPECT_EQ(Str(vaporia_readout_text()), "28.1");
    EXPECT_EQ(vaporia_point_count(), 2);

    const struct { const char* ini; const char* temperature; const char* readout; const char* tLabel; const char* pLabel; } cases[] = {
        {"[DATA]\npressureUnit=1\n", "25", "0.037", "℃", "atm"},
        {"[DATA]\npressureUnit=2\n", "25", "37", "℃", "hPa"},
        {"[DATA]\ntemperatureUnit=1\n", "300", "31.4", "Ｋ", "mmHg"},
        {"[DATA]\ntemperatureUnit=1\npressureUnit=1\n", "373", "1.000", "Ｋ", "atm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        vaporia_activate(c.ini, now);
        vaporia_set_temperature_text(c.temperature, now);
        EXPECT_EQ(Str(vaporia_readout_text()), c.readout);
        EXPECT_EQ(Str(vaporia_label(0)), c.tLabel);
        EXPECT_EQ(Str(vaporia_label(1)), c.pLabel);
    }
    // Full-width digits from an input method; beside text that is no temperature no number
    // stands, until a temperature does again.
    vaporia_activate("", now);
    vaporia_set_temperature_text("２５", now);
    EXPECT_EQ(Str(vaporia_readout_text()), "28.1");
    const int points = vaporia_point_count();
    for (const char* text : {"abc", "50℃", "-", "-274", "1e3", "ー"}) {
        EXPECT_EQ(vaporia_set_temperature_text(text, now), VAPORIA_CHANGED_READOUT) << text;
        EXPECT_EQ(Str(vaporia_readout_text()), "") << text;
        EXPECT_EQ(vaporia_temperature_refused(), 1) << text;
        vaporia_set_temperature_text("２５", now);
    }
    EXPECT_EQ(vaporia_temperature_refused(), 0);
    EXPECT_EQ(vaporia_point_count(), points + 6) << "no point for what is no temperature";
    vaporia_set_temperature_text("-5", now);
    const std::string minus5 = Str(vaporia_readout_text());
    vaporia_set_temperature_text("ー５", now);
    EXPECT_EQ(Str(vaporia_readout_text()), minus5) << "an input method's minus";
    vaporia_set_temperature_text("-273", now);
    EXPECT_EQ(vaporia_temperature_refused(), 0) << "absolute zero itself is a temperature";
}

TEST_F(Api, PointIsRedOnTheGraphAndTheCsvListsIt)
{
    vaporia_set_temperature_text("100", now);
    // 100 ℃, 760 mmHg on the default axes: x 15 + 150 × 300/200, y 320 - 760 × 320/800.
    const std::uint8_t* px = vaporia_graph_pixels();
    const int w = vaporia_graph_width();
    const std::uint8_t* at = px + 4 * (static_cast<std::size_t>(16 * w) + 240);
    EXPECT_EQ(at[0], 255);
    EXPECT_EQ(at[1], 0);
    EXPECT_EQ(at[2], 0);
    EXPECT_EQ(at[3], 255);
    const std::string csv = Str(vaporia_points_csv());
    EXPECT_NE(csv.find("1,水,100,℃,760.0,mmHg,標準\r\n"), std::string::npos) << csv;
    // The report picture: the point as a red 3 × 3 block of the panel pixel, the legend's
    // newest point and its run, the titles.
    ASSERT_EQ(vaporia_report_legend(), 2);
    EXPECT_EQ(Str(vaporia_report_legend_text(0)), "最新の点");
    vaporia_report_legend_widths()[0] = 108;
    vaporia_report_legend_widths()[1] = 27;
    const int texts = vaporia_report_make();
    ASSERT_GT(texts, 2);
    EXPECT_EQ(Str(vaporia_report_text(texts - 2)), "温度 (℃)");
    EXPECT_EQ(vaporia_report_text_value(texts - 1, 0), 2); // the pressure title reads upwards
    const std::uint8_t* report = vaporia_report_pixels();
    const std::uint8_t* block = report + 4 * (static_cast<std::size_t>((90 + 3 * 16 + 4) * vaporia_report_width()) + 60 + 3 * 240 + 4);
    EXPECT_EQ(block[0], 255);
    EXPECT_EQ(block[1], 0);
    EXPECT_EQ(vaporia_graph_clear() & VAPORIA_CHANGED_GRAPH, VAPORIA_CHANGED_GRAPH);
    EXPECT_EQ(vaporia_point_count(), 0);
    EXPECT_GT(vaporia_graph_label_count(), 10);
    // Labels of every 10 ℃ would run together: every 2nd, from 0.
    EXPECT_EQ(Str(vaporia_graph_label_text(0)), "-40");
    EXPECT_EQ(Str(vaporia_graph_label_text(-1)), "");
    vaporia_graph_switch();
    EXPECT_EQ(vaporia_graph_shown(), 0);
    EXPECT_EQ(vaporia_graph_label_count(), 0);
    vaporia_set_temperature_text("50", now);
    EXPECT_EQ(vaporia_point_count(), 0);
}

TEST_F(Api, SettingsKeepForeignLinesAndTheirLimits)
{
    const char* stored = "; school preset\r\n[DATA]\r\nmol=abc\r\npressureUnit=7\r\ngrphWMax=120\r\n[OTHER]\r\nx=1\r\n";
    vaporia_activate(stored, now);
    EXPECT_EQ(vaporia_setting(1), 1);   // no number: the default
    EXPECT_EQ(vaporia_setting(3), 0);   // beyond its codes: the default
    EXPECT_EQ(vaporia_setting(5), 120);
    // The dialog's close: a box without a number keeps the value in memory.
    vaporia_settings_take(1, 2, "-10", "", "0", "1013", "22.4", "２");
    EXPECT_EQ(vaporia_setting(2), 1);
    EXPECT_EQ(vaporia_setting(4), -10);
    EXPECT_EQ(vaporia_setting(5), 120);
    EXPECT_EQ(vaporia_setting(0), 22.4);
    EXPECT_EQ(vaporia_setting(1), 2);
    EXPECT_EQ(Str(vaporia_label(3)), "22.4ﾘｯﾄﾙ");
    const std::string ini = Str(vaporia_settings_to_ini(stored));
    EXPECT_EQ(ini.rfind("; school preset\r\n[DATA]\r\n", 0), 0u) << ini;
    EXPECT_NE(ini.find("[OTHER]\r\nx=1\r\n"), std::string::npos);
    vaporia_init(0, now);
    vaporia_activate(ini.c_str(), now);
    EXPECT_EQ(vaporia_setting(0), 22.4);
    EXPECT_EQ(vaporia_setting(4), -10);
    EXPECT_EQ(Str(vaporia_setting_text(7)), "1013");
}

TEST_F(Api, SettingsTheModelCannotShowAreRefusedOrGiveWayToldOnce)
{
    vaporia_activate("", now);
    const struct {
        const char *mol, *container, *wMin, *pMin;
        int box;
        const char* said;
    } cases[] = {
        {"1.5", "", "", "", 0, "物質量（mol）には 1 以上の整数"},
        {"0", "", "", "", 0, "物質量"},
        {"", "-30", "", "", 1, "容器の体積（L）には 0 より大きい数"},
        {"", "", "150", "", 2, "グラフの温度範囲"},
        {"", "", "", "800", 3, "グラフの圧力範囲"},
        {"0", "0", "", "", 0, "物質量"}, // the first box at fault, in tab order
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        EXPECT_EQ(vaporia_settings_take(0, 1, c.wMin, "", c.pMin, "", c.container, c.mol), -1 - c.box);
        EXPECT_NE(Str(vaporia_error_text()).find(c.said), std::string::npos) << Str(vaporia_error_text());
        EXPECT_EQ(vaporia_setting(3), 0) << "nothing taken, the unit neither";
    }
    EXPECT_GE(vaporia_settings_take(0, 1, "", "", "", "", "10", "3"), 0);
    EXPECT_EQ(Str(vaporia_label(2)), "3mol");

    // Read from a file: the defaults, and a notice the first time only.
    vaporia_init(0, now);
    const char* bad = "[DATA]\r\nmol=0\r\ncontainer=nan\r\ngrphWMin=9\r\ngrphWMax=9\r\n";
    EXPECT_NE(vaporia_activate(bad, now) & VAPORIA_CHANGED_NOTICE, 0);
    const std::string notice = Str(vaporia_take_notice());
    EXPECT_EQ(notice.rfind("設定ファイル（CONFIG.INI）", 0), 0u) << notice;
    EXPECT_NE(notice.find("グラフの温度範囲"), std::string::npos) << notice;
    EXPECT_EQ(Str(vaporia_take_notice()), "");
    EXPECT_EQ(vaporia_activate(bad, now) & VAPORIA_CHANGED_NOTICE, 0);
    EXPECT_EQ(Str(vaporia_label(2)), "1mol");
    EXPECT_EQ(Str(vaporia_label(3)), "30ﾘｯﾄﾙ");
}

// As the page takes a file in: raw bytes in, the bytes to store out, read as the desktop
// reads them; a refusal leaves the settings alone and says why.
TEST_F(Api, ConfigFileTakenInAsItsBytes)
{
    const auto take = [](const std::string& file, double size) {
        std::memcpy(vaporia_input(file.size()), file.data(), file.size());
        const int n = vaporia_config_import(file.size(), size);
        return n < 0 ? std::string("refused: ") + Str(vaporia_error_text())
                     : std::string(reinterpret_cast<const char*>(vaporia_config_bytes()), n);
    };
    // "; 設定" in code page 932, then UTF-16 with its mark.
    const std::string cp932 = "; \x90\xDD\x92\xE8\r\n[DATA]\r\ncontainer=10\r\n";
    EXPECT_EQ(take(cp932, cp932.size()), cp932);
    std::string utf16 = "\xFF\xFE";
    for (const char16_t u : std::u16string(u"; 設定\r\n[DATA]\r\ncontainer=10\r\n"))
        utf16 += std::string{static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    const std::string stored = take(utf16, utf16.size());
    EXPECT_EQ(stored, cp932);
    vaporia_activate(stored.c_str(), now);
    EXPECT_EQ(vaporia_setting(0), 10);
    EXPECT_EQ(Str(vaporia_ini_setting_text(stored.c_str(), 0)), "10");
    EXPECT_EQ(Str(vaporia_ini_setting_text("", 7)), "800");
    vaporia_settings_take(0, 1, "-50", "150", "0", "2", "10", "1");
    EXPECT_EQ(Str(vaporia_settings_to_ini(stored.c_str())).rfind("; \x90\xDD\x92\xE8\r\n[DATA]\r\n", 0), 0u);

    EXPECT_NE(take("[DATA]\r\n", 1e12).find("大きすぎます"), std::string::npos);
    EXPECT_NE(take("\x89PNG", 4).find("[DATA]"), std::string::npos);
    EXPECT_EQ(vaporia_setting(3), 1) << "the settings in memory stay";
}

TEST_F(Api, LessonsRoundTripByteForByte)
{
    ASSERT_EQ(vaporia_lesson_count(), 4);
    for (int n = 0; n < vaporia_lesson_count(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(Str(vaporia_lesson_title(n)).empty());
        ASSERT_EQ(vaporia_lesson_load(n), 1);
        const webapi::Lesson lesson = webapi::LessonAt(static_cast<std::size_t>(n));
        ASSERT_EQ(lesson.size, vaporia_sinario_size());
        // Decoded from the file's bytes and encoded again: the same bytes.
        std::uint8_t* in = vaporia_input(lesson.size);
        std::memcpy(in, lesson.bytes, lesson.size);
        ASSERT_EQ(vaporia_sinario_decode(in, lesson.size, ""), 1);
        EXPECT_EQ(std::memcmp(vaporia_sinario_encode(), lesson.bytes, lesson.size), 0);
    }
}

TEST_F(Api, DamagedFileIsRefusedAndTheScenarioKept)
{
    vaporia_sinario_set_title("授業");
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "25", 0), 1);
    const std::vector<std::uint8_t> before(vaporia_sinario_encode(), vaporia_sinario_encode() + vaporia_sinario_size());
    const std::uint8_t shortFile[100] = {};
    EXPECT_EQ(vaporia_sinario_decode(shortFile, sizeof shortFile, ""), 0);
    EXPECT_NE(Str(vaporia_error_text()).find("バイト"), std::string::npos);
    EXPECT_EQ(vaporia_sinario_decode(nullptr, 5000, ""), 0);
    EXPECT_EQ(std::memcmp(vaporia_sinario_encode(), before.data(), before.size()), 0);
    EXPECT_EQ(Str(vaporia_caption()), "蒸気圧曲線　-　授業" + std::string(28, ' '));
    // A record no scenario can hold is named with its file and refused.
    std::vector<std::uint8_t> hostile(before);
    hostile[30] = hostile[31] = hostile[32] = hostile[33] = 0x7F;
    EXPECT_EQ(vaporia_sinario_decode(hostile.data(), hostile.size(), "画像.png"), 0);
    EXPECT_EQ(Str(vaporia_error_text()).rfind("「画像.png」は", 0), 0u) << Str(vaporia_error_text());
    EXPECT_EQ(vaporia_sinario_step_count(), 1);
    hostile.resize(hostile.size() + 4000, 0xFF); // a longer file keeps its tail: still read
    hostile[30] = 2;
    hostile[31] = hostile[32] = hostile[33] = 0;
    ASSERT_EQ(vaporia_sinario_decode(hostile.data(), hostile.size(), "長い.so1"), 1);
    EXPECT_EQ(vaporia_sinario_step_count(), 2);
    EXPECT_EQ(Str(vaporia_error_text()), "");
}

TEST_F(Api, EditorAddsInsertsAndDeletesSteps)
{
    EXPECT_EQ(vaporia_sinario_add_init(-1, 0, 0, "1", "", "-50", "150", "0", "800"), -2); // container empty
    EXPECT_EQ(Str(vaporia_error_text()), "");
    // What the settings dialog refuses, the editor does not record: named at its box.
    const struct {
        const char *mol, *container, *wMin, *pMax;
        int result;
        const char* said;
    } refused[] = {
        {"0", "30", "-50", "800", -1, "物質量"},  {"1.5", "30", "-50", "800", -1, "物質量"},
        {"1", "-5", "-50", "800", -2, "容器の体積"}, {"1", "30", "150", "800", -3, "グラフの温度範囲"},
        {"1", "30", "-50", "0", -5, "グラフの圧力範囲"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(vaporia_sinario_add_init(-1, 0, 0, r.mol, r.container, r.wMin, "150", "0", r.pMax), r.result) << r.said;
        EXPECT_NE(Str(vaporia_error_text()).find(r.said), std::string::npos) << Str(vaporia_error_text());
    }
    EXPECT_EQ(vaporia_sinario_step_count(), 0);
    EXPECT_EQ(vaporia_sinario_add_init(-1, 0, 0, "1", "30", "-50", "150", "0", "800"), 1);
    EXPECT_EQ(vaporia_sinario_add_graph_clear(-1), 1);
    EXPECT_EQ(vaporia_sinario_add_liquid(0, 1), 1); // before the first
    EXPECT_EQ(vaporia_sinario_add_temp(-1, "x", 1), -1);
    ASSERT_EQ(vaporia_sinario_step_count(), 3);
    EXPECT_EQ(Str(vaporia_sinario_step_text(0)), "データをエタノールに設定します。");
    EXPECT_EQ(Str(vaporia_sinario_step_text(1)), "初期値設定");
    EXPECT_EQ(Str(vaporia_sinario_step_text(2)), "描画されたグラフを消します。");
    EXPECT_EQ(vaporia_sinario_delete(1), 1);
    EXPECT_EQ(vaporia_sinario_delete(5), 0);
    EXPECT_EQ(vaporia_sinario_step_count(), 2);
    while (vaporia_sinario_step_count() < 50) ASSERT_EQ(vaporia_sinario_add_graph(-1, 1), 1);
    EXPECT_EQ(vaporia_sinario_add_graph(-1, 0), 0); // full
}

TEST_F(Api, StepLinesReadInTheUnitTheyPlayIn)
{
    vaporia_settings_take(1, 0, "223", "423", "0", "800", "30", "1"); // K in use
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "300", 1), 1);
    ASSERT_EQ(vaporia_sinario_add_init(-1, 0, 0, "1", "30", "-50", "150", "0", "800"), 1);
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "25", 0), 1);
    EXPECT_EQ(Str(vaporia_sinario_step_text(0)), "温度を 300 Ｋ に設定します。（1度ずつ変化する）");
    EXPECT_EQ(Str(vaporia_sinario_step_text(2)), "温度を 25 ℃ に設定します。");
}

TEST_F(Api, PlaybackRunsOneStepPerKeyAndRampsOnTheTick)
{
    vaporia_sinario_add_temp(-1, "20", 0);
    vaporia_sinario_add_liquid(-1, 2);
    vaporia_sinario_add_temp(-1, "23", 1);
    vaporia_sinario_add_graph(-1, 0);
    EXPECT_EQ(vaporia_key_up(40, now), 0); // playback off
    vaporia_playback_toggle();
    int changed = vaporia_key_up(40, now);
    EXPECT_TRUE(changed & VAPORIA_CHANGED_TEMPERATURE);
    EXPECT_EQ(Str(vaporia_temperature_text()), "20");
    EXPECT_EQ(vaporia_key_up(65, now), 0); // not a playback key
    changed = vaporia_key_up(13, now);
    EXPECT_TRUE(changed & VAPORIA_CHANGED_LIQUID);
    EXPECT_EQ(vaporia_selected_liquid(), 2);
    EXPECT_EQ(vaporia_liquid(), 2);
    vaporia_key_up(32, now); // ramp to 23, one degree a frame
    std::string seen;
    for (int n = 0; n < 200 && Str(vaporia_temperature_text()) != "23"; ++n) {
        const int wait = vaporia_next_wake_ms(now);
        ASSERT_NE(wait, VAPORIA_NO_WAKE);
        now += wait;
        if (vaporia_wake(now) & VAPORIA_CHANGED_TEMPERATURE) seen += Str(vaporia_temperature_text()) + " ";
    }
    EXPECT_EQ(seen, "21 22 23 ");
    changed = vaporia_key_up(40, now);
    EXPECT_TRUE(changed & VAPORIA_CHANGED_GRAPH_SHOWN);
    EXPECT_EQ(vaporia_graph_shown(), 0);
}

TEST_F(Api, TickDrawsWhileMoleculesMoveAndSleepsWhenFrozen)
{
    vaporia_set_temperature_text("50", now);
    int frames = 0;
    for (int n = 0; n < 20; ++n) {
        const int wait = vaporia_next_wake_ms(now);
        ASSERT_NE(wait, VAPORIA_NO_WAKE);
        now += wait;
        if (vaporia_wake(now) & VAPORIA_CHANGED_FIELD) ++frames;
    }
    EXPECT_GT(frames, 10);
    vaporia_set_temperature_text("-20", now);
    for (int n = 0; n < 100 && vaporia_next_wake_ms(now) != VAPORIA_NO_WAKE; ++n) {
        now += vaporia_next_wake_ms(now);
        vaporia_wake(now);
    }
    EXPECT_EQ(vaporia_next_wake_ms(now), VAPORIA_NO_WAKE); // solid and drawn: nothing to do
    vaporia_set_temperature_text("", now);
    EXPECT_EQ(vaporia_next_wake_ms(now), VAPORIA_NO_WAKE);
}

// A face that wakes the core on every refresh of a 120 Hz display gets the frames of the
// tick's pace, not one per refresh.
TEST_F(Api, WakingOnEveryDisplayRefreshKeepsThePace)
{
    vaporia_set_temperature_text("100", now); // a frame every 2nd tick of 16 ms
    const double start = now;
    int fieldFrames = 0, ran = 0;
    for (int n = 0; n < 240; ++n) { // two seconds at 120 Hz
        now = start + n * (1000.0 / 120);
        if (vaporia_wake(now) & VAPORIA_CHANGED_FIELD) ++fieldFrames;
        ran += vaporia_next_wake_ms(now) != VAPORIA_NO_WAKE;
    }
    EXPECT_EQ(ran, 240);
    EXPECT_NEAR(fieldFrames, 2000 / 32, 3);
}

TEST_F(Api, SpinnerContinuesFromTheTextWithinItsRange)
{
    vaporia_set_temperature_text("25", now);
    vaporia_spin(1, now);
    EXPECT_EQ(Str(vaporia_temperature_text()), "26");
    vaporia_set_temperature_text("500", now);
    vaporia_spin(1, now); // further out: left alone
    EXPECT_EQ(Str(vaporia_temperature_text()), "500");
    vaporia_spin(-1, now);
    EXPECT_EQ(Str(vaporia_temperature_text()), "200");
}

// What the page needs to let a pupil stop the molecules and hear the readout and the points.
TEST_F(Api, MotionKeysAndWordsForAScreenReader)
{
    EXPECT_EQ(vaporia_motion_on(), 1);
    EXPECT_EQ(vaporia_set_motion(0, now), VAPORIA_CHANGED_MOTION);
    EXPECT_EQ(vaporia_set_motion(0, now), 0);
    EXPECT_EQ(vaporia_key_up(119, now) & VAPORIA_CHANGED_MOTION, VAPORIA_CHANGED_MOTION);
    EXPECT_EQ(vaporia_motion_on(), 1);

    vaporia_set_temperature_text("50", now);
    EXPECT_EQ(Str(vaporia_announcement()), "50 ℃、圧力 100.0 mmHg");
    vaporia_key_down(38, now);
    EXPECT_EQ(Str(vaporia_temperature_text()), "51");
    ASSERT_EQ(vaporia_exported_point_count(), 2);
    EXPECT_EQ(Str(vaporia_point_text(0)), "水、50 ℃、100.0 mmHg");
    EXPECT_EQ(Str(vaporia_field_description()), "すべて固体"); // until the next frame
    for (const int bad : {-1, 2, 1 << 30}) EXPECT_EQ(Str(vaporia_point_text(bad)), "") << bad;

    const int lines = vaporia_key_help_count();
    ASSERT_GT(lines, 0);
    EXPECT_EQ(Str(vaporia_key_help_keys(0)), "F1");
    EXPECT_NE(Str(vaporia_key_help_action(lines - 1)), "");
    EXPECT_EQ(Str(vaporia_key_help_keys(lines)), "");
    EXPECT_EQ(Str(vaporia_key_help_action(-1)), "");
}

TEST_F(Api, HostileInputsNeverFail)
{
    EXPECT_EQ(vaporia_input(std::size_t{1} << 30), nullptr);
    vaporia_sinario_set_title("\xFF\xFE\xC0 \xF0\x9F\x98\x80😀 three very long title that goes on beyond thirty");
    EXPECT_LE(Str(vaporia_sinario_title()).size(), 30u * 3);
    vaporia_set_temperature_text("1e300", now);
    vaporia_set_temperature_text("-2147483648", now);
    vaporia_activate("[DATA]\ngrphWMin=100\ngrphWMax=100\ngrphHMax=1e308\ncontainer=0\n", now);
    vaporia_set_temperature_text("100", now);
    double v = 0;
    EXPECT_EQ(vaporia_parse_number("１.５", &v), 1);
    EXPECT_EQ(v, 1.5);
    EXPECT_EQ(vaporia_parse_number(nullptr, &v), 0);
}

// The face's font measured wider than the default: the labels follow it, none touching
// another or leaving the panel, at the ranges the README suggests.
TEST_F(Api, GraphLabelsFollowTheFacesInk)
{
    const std::string chars = Str(vaporia_label_ink_chars());
    ASSERT_EQ(chars, std::string(render::kLabelChars));
    double* table = vaporia_label_ink_table(0);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(vaporia_label_ink_table(2), nullptr);
    std::vector<render::CharInk> ink(chars.size());
    for (std::size_t k = 0; k < chars.size(); ++k) {
        ink[k] = {6.5, 0.4, 2, 6.1, 9.5};
        table[5 * k + 0] = ink[k].advance;
        table[5 * k + 1] = ink[k].left;
        table[5 * k + 2] = ink[k].top;
        table[5 * k + 3] = ink[k].right;
        table[5 * k + 4] = ink[k].bottom;
    }
    EXPECT_EQ(vaporia_label_ink_commit(0), VAPORIA_CHANGED_GRAPH);
    const struct { const char* ini; const char* mustShow; } ranges[] = {
        {"", "0"},
        {"[DATA]\ntemperatureUnit=1\ngrphWMin=223\ngrphWMax=423\n", "223"},
        {"[DATA]\ngrphHMin=0\ngrphHMax=3000\n", "2000"},
    };
    for (const auto& r : ranges) {
        SCOPED_TRACE(r.ini);
        vaporia_activate(r.ini, now);
        std::vector<mdlGrph::InkBox> boxes;
        std::vector<std::string> texts;
        for (int i = 0; i < vaporia_graph_label_count(); ++i) {
            texts.push_back(Str(vaporia_graph_label_text(i)));
            mdlGrph::InkBox b = render::InkFromChars(ink.data(), texts.back());
            b = {b.left + vaporia_graph_label_x(i), b.top + vaporia_graph_label_y(i),
                 b.right + vaporia_graph_label_x(i), b.bottom + vaporia_graph_label_y(i)};
            EXPECT_TRUE(b.left >= 0 && b.top >= 0 && b.right <= 315 && b.bottom <= 334) << texts.back();
            for (std::size_t k = 0; k < boxes.size(); ++k)
                EXPECT_FALSE(mdlGrph::InkTouches(boxes[k], b, 1)) << texts[k] << " and " << texts.back();
            boxes.push_back(b);
        }
        EXPECT_GT(boxes.size(), 4u);
        EXPECT_NE(std::find(texts.begin(), texts.end(), r.mustShow), texts.end()) << ::testing::PrintToString(texts);
    }
}

// Points typed through on the way to the number meant stay on the panel but leave the CSV
// and the picture, unless every point is asked for; the data-book values are named.
TEST_F(Api, TypedThroughPointsLeaveTheExportsByDefault)
{
    vaporia_set_temperature_text("2", now);
    vaporia_set_temperature_text("20", now);
    vaporia_spin(1, now); // 21 by the spinner: meant
    EXPECT_EQ(vaporia_point_count(), 3);
    EXPECT_EQ(vaporia_include_typed_through(), 0);
    std::string csv = Str(vaporia_points_csv());
    EXPECT_EQ(csv.find("1,水,2,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("2,水,20,℃,21.3,mmHg,標準\r\n3,水,21,"), std::string::npos) << csv;
    EXPECT_EQ(vaporia_report_legend(), 2);
    vaporia_set_include_typed_through(1);
    EXPECT_NE(Str(vaporia_points_csv()).find("1,水,2,℃,"), std::string::npos);
    vaporia_set_include_typed_through(0);

    EXPECT_EQ(Str(vaporia_label(4)), "");
    vaporia_set_data_book(1, now);
    EXPECT_EQ(Str(vaporia_label(4)), "文献値で計算中");
    vaporia_set_temperature_text("30", now);
    EXPECT_NE(Str(vaporia_points_csv()).find(",文献値\r\n"), std::string::npos);
    ASSERT_EQ(vaporia_report_legend(), 3);
    EXPECT_NE(Str(vaporia_report_legend_text(2)).find("文献値"), std::string::npos) << vaporia_report_legend_text(2);
}

TEST_F(Api, ReportPngCarriesItsResolution)
{
    // A 1 × 1 PNG with a 72 dpi pHYs of its own, which gives way.
    const std::vector<std::uint8_t> png = {
        0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
        0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0, 0x90, 0x77, 0x53, 0xDE,
        0, 0, 0, 9, 'p', 'H', 'Y', 's', 0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1, 0, 0x9A, 0x9C, 0x18,
        0, 0, 0, 12, 'I', 'D', 'A', 'T', 0x08, 0xD7, 0x63, 0xF8, 0xCF, 0xC0, 0, 0, 0x03, 0x01, 0x01, 0x00,
        0x18, 0xDD, 0x8D, 0xB0,
        0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    std::memcpy(vaporia_input(png.size()), png.data(), png.size());
    const std::size_t size = vaporia_report_png(png.size());
    ASSERT_EQ(size, png.size());
    const std::uint8_t* out = vaporia_report_png_bytes();
    const std::vector<std::uint8_t> phys = {0, 0, 0, 9, 'p', 'H', 'Y', 's', 0, 0, 0x2C, 0x4B, 0, 0, 0x2C, 0x4B, 1};
    EXPECT_TRUE(std::equal(phys.begin(), phys.end(), out + 33));
    EXPECT_TRUE(std::equal(png.begin() + 54, png.end(), out + 54)); // IDAT and IEND as they were
    // No PNG, or one cut short: nothing.
    std::memcpy(vaporia_input(4), "GIF8", 4);
    EXPECT_EQ(vaporia_report_png(4), 0u);
    std::memcpy(vaporia_input(40), png.data(), 40);
    EXPECT_EQ(vaporia_report_png(40), 0u);
    EXPECT_EQ(vaporia_report_png(1000), 0u); // more than was put in
}

// An initial-settings step shows its units, amounts and the readout in them at once; a
// scenario loaded during playback starts from its first step.
TEST_F(Api, StepsShowTheirUnitsAndALoadedScenarioStartsAtStepOne)
{
    vaporia_set_temperature_text("100", now);
    ASSERT_EQ(Str(vaporia_readout_text()), "760.0");
    ASSERT_EQ(vaporia_sinario_add_init(-1, 1, 1, "2", "10", "223", "423", "0", "2"), 1);
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "300", 0), 1);
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "310", 0), 1);
    vaporia_playback_toggle();
    const int changed = vaporia_key_up(40, now);
    EXPECT_TRUE(changed & VAPORIA_CHANGED_SETTINGS);
    EXPECT_TRUE(changed & VAPORIA_CHANGED_READOUT);
    EXPECT_EQ(Str(vaporia_label(0)), "Ｋ");
    EXPECT_EQ(Str(vaporia_label(1)), "atm");
    EXPECT_EQ(Str(vaporia_label(2)), "2mol");
    EXPECT_EQ(Str(vaporia_label(3)), "10ﾘｯﾄﾙ");
    // 100 ℃ stays 100 ℃: shown as 373 K, 1 atm.
    EXPECT_TRUE(changed & VAPORIA_CHANGED_TEMPERATURE);
    EXPECT_EQ(Str(vaporia_temperature_text()), "373");
    EXPECT_EQ(Str(vaporia_readout_text()), "1.000");
    vaporia_key_up(40, now);
    EXPECT_EQ(Str(vaporia_temperature_text()), "300");

    std::vector<std::uint8_t> record(vaporia_sinario_encode(), vaporia_sinario_encode() + vaporia_sinario_size());
    std::memcpy(vaporia_input(record.size()), record.data(), record.size());
    ASSERT_EQ(vaporia_sinario_decode(vaporia_input(record.size()), record.size(), ""), 1);
    vaporia_key_up(40, now); // step 1 again, not step 3
    vaporia_key_up(40, now);
    EXPECT_EQ(Str(vaporia_temperature_text()), "300");
    ASSERT_EQ(vaporia_lesson_load(0), 1);
    EXPECT_EQ(vaporia_playback_on(), 1);
}

// 1 mol of water in 1 L never evaporates fully: at 150 ℃ the bottom rows stay liquid,
// packed across the container's floor.
TEST_F(Api, AFillingThatNeverEvaporatesShowsItsLiquid)
{
    const auto floorInk = [&](const char* ini) {
        vaporia_activate(ini, now);
        vaporia_set_temperature_text("150", now);
        for (int n = 0; n < 300; ++n) {
            const int wait = vaporia_next_wake_ms(now);
            if (wait == VAPORIA_NO_WAKE) break;
            now += wait;
            vaporia_wake(now);
        }
        // The lowest row of sprites: inked pixels along the floor.
        const std::uint8_t* px = vaporia_field_pixels();
        const int w = vaporia_field_width(), h = vaporia_field_height();
        int inked = 0;
        for (int y = h - 8; y < h - 2; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = px + 4 * (static_cast<std::size_t>(y) * w + x);
                inked += (p[0] | p[1] | p[2]) != 0;
            }
        return inked;
    };
    const int liquid = floorInk("[DATA]\nmol=1\ncontainer=1\n");
    const int vapour = floorInk("[DATA]\nmol=1\ncontainer=30\n");
    EXPECT_GT(liquid, (vaporia_field_width() * 6) / 2);
    EXPECT_LT(vapour, liquid / 3);
}

} // namespace

// Playback says where it stands; 最初に戻す goes back to the start without reloading.
TEST_F(Api, PlaybackSaysWhereItStandsAndResetGoesBackToTheStart)
{
    EXPECT_EQ(Str(vaporia_playback_text()), "");
    vaporia_playback_toggle();
    EXPECT_EQ(Str(vaporia_playback_text()), "ステップがありません");
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "20", 0), 1);
    ASSERT_EQ(vaporia_sinario_add_temp(-1, "30", 0), 1);
    EXPECT_EQ(Str(vaporia_playback_text()), "ステップ 0 / 2");
    vaporia_key_up(40, now);
    EXPECT_EQ(Str(vaporia_playback_text()), "ステップ 1 / 2");
    vaporia_key_up(40, now);
    EXPECT_EQ(Str(vaporia_playback_text()), "シナリオの終わり（2 / 2）");
    vaporia_key_up(40, now); // past the end: nothing more
    EXPECT_EQ(Str(vaporia_playback_text()), "シナリオの終わり（2 / 2）");
    EXPECT_EQ(vaporia_point_count(), 2);

    const int changed = vaporia_reset(now);
    EXPECT_EQ(changed & (VAPORIA_CHANGED_GRAPH | VAPORIA_CHANGED_TEMPERATURE | VAPORIA_CHANGED_READOUT | VAPORIA_CHANGED_FIELD),
              VAPORIA_CHANGED_GRAPH | VAPORIA_CHANGED_TEMPERATURE | VAPORIA_CHANGED_READOUT | VAPORIA_CHANGED_FIELD);
    EXPECT_EQ(Str(vaporia_temperature_text()), "");
    EXPECT_EQ(Str(vaporia_readout_text()), "");
    EXPECT_EQ(vaporia_point_count(), 0);
    EXPECT_EQ(vaporia_sinario_step_count(), 2) << "the scenario stays";
    EXPECT_EQ(Str(vaporia_playback_text()), "ステップ 0 / 2");
    vaporia_key_up(40, now);
    EXPECT_EQ(Str(vaporia_temperature_text()), "20");
}
