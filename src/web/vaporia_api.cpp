// The one program state behind the flat C interface, doing what the desktop window does with
// its shared records, event by event; see vaporia_api.h.
#include "web/vaporia_api.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/graph/mdlGrph.h"
#include "core/app/AppState.h"
#include "core/app/FramePace.h"
#include "core/app/Simulation.h"
#include "core/field/mdlSprite.h"
#include "core/model/NumText.h"
#include "core/model/mdlData.h"
#include "core/render/FieldPicture.h"
#include "core/render/GraphPicture.h"
#include "core/render/ReportPicture.h"
#include "core/scenario/SinarioEdit.h"
#include "core/scenario/SinarioRecord.h"
#include "core/settings/ProfileText.h"
#include "web/Lessons.h"
#include "core/scenario/Utf.h"

namespace {

constexpr std::size_t kMaxInput = 16u << 20;
constexpr int kSpinMin = -100; // the spinner's range
constexpr int kSpinMax = 200;

struct Program {
    SystemSettings settings;
    mdlData::VaporTable table;
    mdlData::VaporTable dataBookTable;
    bool tableBuilt = false;
    bool dataBookBuilt = false;
    bool dataBook = false;
    mdlSinario::SinarioData sinario;
    AppState st;
    mdlSprite::MolField field;
    framepace::DrawnPlaces drawn;
    framepace::Schedule pace;
    render::FieldPicture fieldPicture;
    render::GraphPicture graph;
    render::Report report;
    std::vector<render::LegendItem> legend; // the report's legend, as last listed
    std::vector<std::int32_t> legendWidths;  // their lines' widths, from the face
    // The label fonts' ink per character, from the face: 0 the panel's, 1 the report's.
    std::array<std::array<render::CharInk, render::kLabelChars.size()>, 2> ink{};
    std::array<bool, 2> inkGiven{};
    std::vector<std::uint8_t> png;

    std::string temperatureText; // the only copy of the temperature, as the box holds it
    std::string readoutText;
    double readoutPressure = 0;
    int selectedLiquid = 0;      // cmbLiquid's position
    int spinnerValue = 0;
    bool inWake = false;

    double nowMs = 0;
    double startMs = 0;
    double startTimeOfDay = 0;

    std::string out;             // the last text returned
    std::vector<std::uint8_t> input;
    std::string error;
    std::array<unsigned char, mdlSinario::kRecordSize> record{};

    // Each table is computed when it is first asked for: the first frame needs neither.
    const mdlData::VaporTable& ActiveTable()
    {
        if (dataBook) {
            if (!dataBookBuilt) mdlData::InitDataBookTable(dataBookTable);
            dataBookBuilt = true;
            return dataBookTable;
        }
        if (!tableBuilt) mdlData::InitVaporTable(table);
        tableBuilt = true;
        return table;
    }

    // The time of day now, continued from the one given at start.
    float TimeOfDay() const
    {
        const double t = startTimeOfDay + (nowMs - startMs) / 1000.0;
        return static_cast<float>(std::isfinite(t) ? std::fmod(std::fmod(t, 86400.0) + 86400.0, 86400.0) : 0.0);
    }
    std::optional<simulation::Temperature> Shown() const { return simulation::ReadTemperature(temperatureText); }
};

Program* g = nullptr;

Program& P()
{
    if (!g) {
        g = new Program; // lives as long as the module
        vaporia_init(0, 0);
    }
    return *g;
}

void SetNow(double nowMs)
{
    if (std::isfinite(nowMs) && nowMs >= g->nowMs) g->nowMs = nowMs; // the clock never goes back
}

const char* Out(std::string text)
{
    g->out = std::move(text);
    return g->out.c_str();
}

std::string_view Text(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// txtOndo_Change; typed: the box's text when a keystroke changed it.
int TemperatureChanged(std::optional<std::string_view> typed = std::nullopt)
{
    Program& p = *g;
    int changed = 0;
    if (!p.inWake) p.pace.Plan(p.st, p.Shown().has_value());
    const auto t = p.Shown();
    if (!t) return changed;
    const simulation::Readout r = simulation::ComputeReadout(p.ActiveTable(), p.st.curLiquid, p.settings, t->whole);
    p.readoutText = r.text;
    p.readoutPressure = r.pressure;
    changed |= VAPORIA_CHANGED_READOUT;
    if (p.st.grphVisible != 0) {
        p.graph.GrphPlotPoint(p.settings, p.st, t->whole, r.pressure, r.text, typed);
        changed |= VAPORIA_CHANGED_GRAPH;
    }
    if (simulation::FreezesField(p.st, p.settings, t->whole)) {
        const float now = p.TimeOfDay();
        mdlSprite::InitMolField(p.field, [now] { return now; });
    }
    return changed;
}

void Replan()
{
    if (!g->inWake) g->pace.Plan(g->st, g->Shown().has_value());
}

// Timer1_Timer.
int FrameTick()
{
    Program& p = *g;
    AppState& st = p.st;
    int changed = 0;
    auto t = p.Shown();
    if (!t) return changed;
    if (st.frameWait > 0) {
        --st.frameWait;
        return changed;
    }
    if (st.rampOn != 0) {
        if (const auto next = simulation::NextRampTemperature(st, t->whole)) {
            p.temperatureText = numtext::FormatWhole(*next);
            changed |= VAPORIA_CHANGED_TEMPERATURE | TemperatureChanged();
            t = p.Shown();
            if (!t) return changed;
        }
    }
    if (!framepace::FrameStep(p.field, p.drawn, st, p.ActiveTable(), p.settings, p.selectedLiquid, *t))
        return changed;
    p.fieldPicture.Draw(p.field);
    return changed | VAPORIA_CHANGED_FIELD;
}

// The report's label font until the face measures its own: the panel's default, three times.
const render::CharInk* DefaultReportInk()
{
    static const auto table = [] {
        std::array<render::CharInk, render::kLabelChars.size()> t{};
        for (std::size_t k = 0; k < t.size(); ++k) {
            const render::CharInk& one = render::kDefaultLabelInk[k];
            t[k] = {3 * one.advance, 3 * one.left, 3 * one.top, 3 * one.right, 3 * one.bottom};
        }
        return t;
    }();
    return table.data();
}

int StepsInUse() { return mdlSinario::StepsInUse(g->sinario); }

int InsertStep(int selectedRow, const mdlSinario::SinarioStep& step)
{
    return mdlSinario::InsertStep(P().sinario, selectedRow, step) ? 1 : 0;
}

std::string TrimmedTitle()
{
    std::u16string t = mdlSinario::TitleUnits(g->sinario);
    const auto first = t.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    t = t.substr(first, t.find_last_not_of(u' ') - first + 1);
    return webapi::Utf8Of(t);
}

} // namespace

extern "C" {

int vaporia_init(double time_of_day_seconds, double now_ms)
{
    if (!g) g = new Program;
    Program& p = *g;
    p.settings = {};
    mdlSystem::InitSystemSettings(p.settings);
    p.dataBook = false;
    p.graph.SetDataBook(false);
    p.sinario = {};
    p.st = {};
    p.st.sinarioRun = 0;
    p.st.grphVisible = 1;
    p.st.curLiquid = mdlData::Water;
    p.st.fullVaporTemp = 100;
    p.st.freezeTemp = 0;
    p.st.frameWait = 0;
    p.drawn = {};
    // The desktop's boxes start with "0" and no readout computed for it.
    p.temperatureText = "0";
    p.readoutText = "0";
    p.readoutPressure = 0;
    p.selectedLiquid = 0;
    p.spinnerValue = 0;
    p.inWake = false;
    p.nowMs = std::isfinite(now_ms) ? now_ms : 0;
    p.startMs = p.nowMs;
    p.startTimeOfDay = std::isfinite(time_of_day_seconds) ? time_of_day_seconds : 0;
    p.error.clear();
    const float now = p.TimeOfDay();
    mdlSprite::InitMolField(p.field, [now] { return now; });
    p.fieldPicture.Draw(p.field);
    p.pace.SetClock([] { return static_cast<std::int64_t>(std::floor(g->nowMs)); });
    p.pace.Start();
    Replan();
    return 1;
}

uint8_t* vaporia_input(size_t size)
{
    if (size > kMaxInput) return nullptr;
    Program& p = P();
    p.input.assign(size + 1, 0);
    return p.input.data();
}

const char* vaporia_version(void)
{
    P();
    return Out("1.0.0");
}

int vaporia_activate(const char* config_ini, double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    mdlSystem::LoadSystemSettingsFromText(p.settings, Text(config_ini));
    p.graph.GrphRedraw(p.settings);
    p.selectedLiquid = p.st.curLiquid >= 0 && p.st.curLiquid <= 2 ? p.st.curLiquid : -1;
    simulation::RefreshLiquidTemps(p.st, p.ActiveTable(), p.settings);
    Replan();
    return VAPORIA_CHANGED_GRAPH | VAPORIA_CHANGED_SETTINGS | VAPORIA_CHANGED_LIQUID | VAPORIA_CHANGED_SCENARIO
         | VAPORIA_CHANGED_PLAYBACK;
}

const char* vaporia_settings_to_ini(const char* old_text)
{
    Program& p = P();
    return Out(mdlSystem::SaveSystemSettingsToText(p.settings, std::string(Text(old_text))));
}

double vaporia_setting(int which)
{
    const SystemSettings& s = P().settings;
    switch (which) {
    case 0: return s.container;
    case 1: return s.mol;
    case 2: return s.temperatureUnit;
    case 3: return s.pressureUnit;
    case 4: return s.grphWMin;
    case 5: return s.grphWMax;
    case 6: return s.grphHMin;
    case 7: return s.grphHMax;
    default: return 0;
    }
}

const char* vaporia_setting_text(int which)
{
    const SystemSettings& s = P().settings;
    switch (which) {
    case 0: return Out(numtext::FormatGeneral(s.container));
    case 1: return Out(numtext::FormatWhole(s.mol));
    case 2: return Out(numtext::FormatWhole(s.temperatureUnit >= 0 && s.temperatureUnit < 2 ? s.temperatureUnit : 0));
    case 3: return Out(numtext::FormatWhole(s.pressureUnit >= 0 && s.pressureUnit < 3 ? s.pressureUnit : 0));
    case 4: return Out(numtext::FormatWhole(s.grphWMin));
    case 5: return Out(numtext::FormatWhole(s.grphWMax));
    case 6: return Out(numtext::FormatGeneral(s.grphHMin));
    case 7: return Out(numtext::FormatGeneral(s.grphHMax));
    default: return Out({});
    }
}

int vaporia_settings_take(int temperature_unit, int pressure_unit, const char* grph_w_min,
                          const char* grph_w_max, const char* press_w_min,
                          const char* press_w_max, const char* container, const char* mol)
{
    SystemSettings& s = P().settings;
    // The lists hold two and three units; a position outside them is the first.
    s.temperatureUnit = temperature_unit >= 0 && temperature_unit < 2 ? temperature_unit : 0;
    s.pressureUnit = pressure_unit >= 0 && pressure_unit < 3 ? pressure_unit : 0;
    const auto whole = [](const char* text, std::int32_t& field) {
        if (const auto v = numtext::ParseTypedWhole(Text(text))) field = *v;
    };
    const auto real = [](const char* text, double& field) {
        if (const auto v = numtext::ParseTypedDouble(Text(text))) field = *v;
    };
    whole(grph_w_min, s.grphWMin);
    whole(grph_w_max, s.grphWMax);
    real(press_w_min, s.grphHMin);
    real(press_w_max, s.grphHMax);
    real(container, s.container);
    whole(mol, s.mol);
    return VAPORIA_CHANGED_SETTINGS;
}

void vaporia_settings_defaults(void) { mdlSystem::InitSystemSettings(P().settings); }

const char* vaporia_label(int which)
{
    simulation::UnitLabels l = simulation::UnitLabelsFor(P().settings);
    switch (which) {
    case 0: return Out(std::move(l.temperature));
    case 1: return Out(std::move(l.pressure));
    case 2: return Out(std::move(l.mol));
    case 3: return Out(std::move(l.container));
    case 4: return Out(g->dataBook ? std::string(simulation::kDataBookMark) : std::string());
    default: return Out({});
    }
}

int vaporia_set_temperature_text(const char* text, double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    p.temperatureText = std::string(Text(text));
    return TemperatureChanged(std::optional<std::string_view>(p.temperatureText));
}

const char* vaporia_temperature_text(void) { return Out(P().temperatureText); }
const char* vaporia_readout_text(void) { return Out(P().readoutText); }
double vaporia_readout_pressure(void) { return P().readoutPressure; }

int vaporia_spin(int direction, double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    direction = direction > 0 ? 1 : -1;
    // Continue from the temperature shown; from beyond the range come back to its nearer
    // end, never against the arrow's direction.
    std::int64_t from = p.spinnerValue;
    if (const auto t = p.Shown()) from = t->whole;
    const std::int64_t next = std::clamp<std::int64_t>(from + direction, kSpinMin, kSpinMax);
    if ((next - from) * direction < 0) return 0;
    p.spinnerValue = static_cast<int>(next);
    const std::string text = numtext::FormatWhole(p.spinnerValue);
    if (text == p.temperatureText) return 0; // the box's text does not change: no event
    p.temperatureText = text;
    return VAPORIA_CHANGED_TEMPERATURE | TemperatureChanged();
}

int vaporia_select_liquid(int index, double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    p.selectedLiquid = index >= 0 && index <= 2 ? index : -1;
    Replan();
    return 0;
}

int vaporia_liquid(void) { return P().st.curLiquid; }
int vaporia_selected_liquid(void) { return P().selectedLiquid; }

int vaporia_set_data_book(int on, double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    p.dataBook = on != 0;
    p.graph.SetDataBook(p.dataBook);
    simulation::RefreshLiquidTemps(p.st, p.ActiveTable(), p.settings);
    Replan();
    return 0;
}

int vaporia_next_wake_ms(double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    if (!p.pace.Armed()) return VAPORIA_NO_WAKE;
    const double ms = static_cast<double>(p.pace.DueTime()) - p.nowMs;
    return static_cast<int>(std::clamp(std::ceil(ms), 0.0, 1e9));
}

int vaporia_wake(double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    // Woken before the frame is due (a face that wakes on every display refresh): nothing
    // yet, so the pace stays the tick's whatever the display's rate.
    if (!p.pace.Armed() || p.nowMs + 1 < static_cast<double>(p.pace.DueTime())) return 0;
    p.inWake = true;
    p.pace.BeginFrame(p.st);
    const int changed = FrameTick();
    p.inWake = false;
    const bool atRest = framepace::AtRest(p.field, p.st, p.selectedLiquid, p.drawn);
    p.pace.AfterFrame(p.st, p.Shown().has_value(), atRest);
    return changed;
}

int vaporia_field_width(void) { return render::FieldPicture::kWidth; }
int vaporia_field_height(void) { return render::FieldPicture::kHeight; }
const uint8_t* vaporia_field_pixels(void) { return P().fieldPicture.Bytes(); }

int vaporia_graph_width(void) { return render::GraphPicture::kWidth; }
int vaporia_graph_height(void) { return render::GraphPicture::kHeight; }
const uint8_t* vaporia_graph_pixels(void) { return P().graph.Bytes(); }

int vaporia_graph_label_count(void) { return static_cast<int>(P().graph.Labels().size()); }

const char* vaporia_graph_label_text(int index)
{
    const auto& labels = P().graph.Labels();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return Out({});
    return Out(labels[static_cast<std::size_t>(index)].text);
}

int vaporia_graph_label_x(int index)
{
    const auto& labels = P().graph.Labels();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return 0;
    return labels[static_cast<std::size_t>(index)].x;
}

int vaporia_graph_label_y(int index)
{
    const auto& labels = P().graph.Labels();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return 0;
    return labels[static_cast<std::size_t>(index)].y;
}

int vaporia_graph_switch(void)
{
    Program& p = P();
    p.graph.SwitchClicked(p.settings, p.st);
    return VAPORIA_CHANGED_GRAPH | VAPORIA_CHANGED_GRAPH_SHOWN;
}

int vaporia_graph_clear(void)
{
    Program& p = P();
    p.graph.ClearClicked(p.settings, p.st);
    return VAPORIA_CHANGED_GRAPH;
}

int vaporia_graph_shown(void) { return P().st.grphVisible != 0 ? 1 : 0; }

const char* vaporia_points_csv(void) { return Out(mdlGrph::PointsCsv(P().graph.Points())); }

int vaporia_point_count(void) { return static_cast<int>(P().graph.Points().Size()); }

int vaporia_report_legend(void)
{
    Program& p = P();
    p.legend = render::LegendItems(p.graph.Points());
    p.legendWidths.assign(p.legend.size(), 0);
    return static_cast<int>(p.legend.size());
}

const char* vaporia_report_legend_text(int index)
{
    const auto& legend = P().legend;
    if (index < 0 || static_cast<std::size_t>(index) >= legend.size()) return Out({});
    return Out(legend[static_cast<std::size_t>(index)].text);
}

int32_t* vaporia_report_legend_widths(void) { return P().legendWidths.data(); }

int vaporia_report_make(void)
{
    Program& p = P();
    const std::vector<int> widths(p.legendWidths.begin(), p.legendWidths.end());
    const mdlGrph::MeasureInk ink = render::MeasureFromChars(p.inkGiven[1] ? p.ink[1].data() : DefaultReportInk());
    p.report = render::MakeReport(p.graph.Points(), p.graph.GridSettings().value_or(p.settings), ink, widths);
    return static_cast<int>(p.report.texts.size());
}

const char* vaporia_label_ink_chars(void) { return Out(std::string(render::kLabelChars)); }

double* vaporia_label_ink_table(int font)
{
    if (font < 0 || font > 1) return nullptr;
    return &P().ink[static_cast<std::size_t>(font)][0].advance;
}

int vaporia_label_ink_commit(int font)
{
    Program& p = P();
    if (font < 0 || font > 1) return 0;
    p.inkGiven[static_cast<std::size_t>(font)] = true;
    if (font == 1) return 0;
    p.graph.SetLabelInk(render::MeasureFromChars(p.ink[0].data()));
    p.graph.Relabel();
    return VAPORIA_CHANGED_GRAPH;
}

size_t vaporia_report_png(size_t size)
{
    Program& p = P();
    p.png = size <= p.input.size() ? render::PngWithResolution(p.input.data(), size) : std::vector<std::uint8_t>();
    return p.png.size();
}

const uint8_t* vaporia_report_png_bytes(void) { return P().png.data(); }

void vaporia_set_include_typed_through(int include) { P().graph.SetIncludeTypedThrough(include != 0); }

int vaporia_include_typed_through(void) { return P().graph.Points().IncludesTypedThrough() ? 1 : 0; }

int vaporia_report_width(void) { return render::kReportWidth; }
int vaporia_report_height(void) { return render::kReportHeight; }

const uint8_t* vaporia_report_pixels(void)
{
    Program& p = P();
    if (p.report.pixels.empty()) vaporia_report_make();
    return reinterpret_cast<const std::uint8_t*>(p.report.pixels.data());
}

const char* vaporia_report_text(int index)
{
    const auto& texts = P().report.texts;
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size()) return Out({});
    return Out(texts[static_cast<std::size_t>(index)].text);
}

int vaporia_report_text_value(int index, int field)
{
    const auto& texts = P().report.texts;
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size()) return 0;
    const render::ReportText& t = texts[static_cast<std::size_t>(index)];
    switch (field) {
    case 0: return t.place;
    case 1: return t.x;
    case 2: return t.y;
    case 3: return t.w;
    case 4: return t.h;
    case 5: return t.pixels;
    case 6: return t.bold ? 1 : 0;
    default: return 0;
    }
}

int vaporia_playback_toggle(void)
{
    AppState& st = P().st;
    if (st.sinarioRun == 0) {
        st.sinarioRun = 1;
        st.sinarioPos = 1;
    } else {
        st.sinarioRun = 0;
    }
    return VAPORIA_CHANGED_PLAYBACK;
}

int vaporia_playback_on(void) { return P().st.sinarioRun != 0 ? 1 : 0; }

int vaporia_key_up(int key_code, double now_ms)
{
    Program& p = P();
    SetNow(now_ms);
    if (!simulation::IsPlaybackKey(key_code) || p.st.sinarioRun != 1) return 0;
    std::optional<std::int32_t> shown;
    if (const auto t = p.Shown()) shown = t->whole;
    const simulation::StepEffect e =
        simulation::RunSinarioStep(p.st, p.sinario, p.settings, p.ActiveTable(), shown);
    int changed = VAPORIA_CHANGED_PLAYBACK | VAPORIA_CHANGED_SETTINGS;
    switch (e.kind) {
    case simulation::StepEffect::SetTemperature:
        // A step that sets the same temperature again still gives the readout and point.
        p.temperatureText = numtext::FormatWhole(e.value);
        changed |= VAPORIA_CHANGED_TEMPERATURE | TemperatureChanged();
        break;
    case simulation::StepEffect::GraphOn:
        p.graph.GrphRedraw(p.settings);
        changed |= VAPORIA_CHANGED_GRAPH | VAPORIA_CHANGED_GRAPH_SHOWN;
        break;
    case simulation::StepEffect::GraphOff:
        p.graph.GrphClear();
        changed |= VAPORIA_CHANGED_GRAPH | VAPORIA_CHANGED_GRAPH_SHOWN;
        break;
    case simulation::StepEffect::GraphClear:
        p.graph.GrphClear();
        changed |= VAPORIA_CHANGED_GRAPH;
        break;
    case simulation::StepEffect::SelectLiquid:
        p.selectedLiquid = e.value;
        changed |= VAPORIA_CHANGED_LIQUID;
        break;
    case simulation::StepEffect::SettingsChanged:
        // New units and amounts show at once, so no number stands beside the wrong unit.
        if (const auto t = p.Shown()) {
            const simulation::Readout r = simulation::ComputeReadout(p.ActiveTable(), p.st.curLiquid, p.settings, t->whole);
            p.readoutText = r.text;
            p.readoutPressure = r.pressure;
            changed |= VAPORIA_CHANGED_READOUT;
        }
        break;
    case simulation::StepEffect::None:
        break;
    }
    Replan(); // a ramp, or the settings of an initial-settings step
    return changed;
}

int vaporia_sinario_decode(const uint8_t* bytes, size_t size)
{
    Program& p = P();
    if (bytes == nullptr || size < mdlSinario::kRecordSize) {
        p.error = "シナリオデータとして読み込めません（" + numtext::FormatWhole(static_cast<std::int64_t>(size))
                + " バイト。シナリオデータは " + numtext::FormatWhole(static_cast<std::int64_t>(mdlSinario::kRecordSize))
                + " バイトです）。";
        return 0;
    }
    if (!mdlSinario::DecodeSinario(bytes, size, p.sinario)) {
        p.error = "シナリオデータとして読み込めません。";
        return 0;
    }
    p.error.clear();
    simulation::RestartPlaybackOnLoad(p.st);
    return 1;
}

const char* vaporia_error_text(void) { return Out(P().error); }

const uint8_t* vaporia_sinario_encode(void)
{
    Program& p = P();
    mdlSinario::EncodeSinario(p.sinario, p.record);
    return p.record.data();
}

size_t vaporia_sinario_size(void) { return mdlSinario::kRecordSize; }

const char* vaporia_caption(void)
{
    P();
    return Out("蒸気圧曲線　-　" + webapi::Utf8Of(mdlSinario::TitleUnits(g->sinario)));
}

const char* vaporia_sinario_title(void)
{
    P();
    return Out(webapi::Utf8Of(mdlSinario::TitleUnits(g->sinario)));
}

const char* vaporia_sinario_title_trimmed(void)
{
    P();
    return Out(TrimmedTitle());
}

void vaporia_sinario_set_title(const char* text)
{
    mdlSinario::SetTitleUnits(P().sinario, webapi::Utf16Of(Text(text)));
}

int vaporia_sinario_step_count(void)
{
    P();
    return StepsInUse();
}

const char* vaporia_sinario_step_text(int index)
{
    P();
    if (index < 0 || index >= StepsInUse()) return Out({});
    return Out(mdlSinario::DescribeStep(g->sinario.steps[static_cast<std::size_t>(index + 1)]));
}

int vaporia_sinario_add_init(int selected_row, int temperature_unit, int pressure_unit,
                             const char* mol, const char* container, const char* grph_w_min,
                             const char* grph_w_max, const char* press_w_min,
                             const char* press_w_max)
{
    P();
    const mdlSinario::TypedInit init = mdlSinario::InitStepFromTexts(
        temperature_unit, pressure_unit,
        {Text(mol), Text(container), Text(grph_w_min), Text(grph_w_max), Text(press_w_min), Text(press_w_max)});
    if (!init.step) return -(init.unreadBox + 1);
    return InsertStep(selected_row, *init.step);
}

int vaporia_sinario_add_temp(int selected_row, const char* temperature, int add_temp)
{
    P();
    const auto value = numtext::ParseTypedWhole(Text(temperature));
    if (!value) return -1;
    mdlSinario::SinarioStep step;
    step.kind = mdlSinario::StepTemp;
    step.value = *value;
    step.addTemp = add_temp ? 1 : 0;
    return InsertStep(selected_row, step);
}

int vaporia_sinario_add_graph(int selected_row, int shown)
{
    mdlSinario::SinarioStep step;
    step.kind = shown ? mdlSinario::StepGrphOn : mdlSinario::StepGrphOff;
    return InsertStep(selected_row, step);
}

int vaporia_sinario_add_graph_clear(int selected_row)
{
    mdlSinario::SinarioStep step;
    step.kind = mdlSinario::StepGrphCls;
    return InsertStep(selected_row, step);
}

int vaporia_sinario_add_liquid(int selected_row, int liquid)
{
    mdlSinario::SinarioStep step;
    step.kind = mdlSinario::StepBussitu;
    step.value = liquid >= 0 && liquid <= 2 ? liquid : -1;
    return InsertStep(selected_row, step);
}

int vaporia_sinario_delete(int selected_row)
{
    return mdlSinario::DeleteStep(P().sinario, selected_row) ? 1 : 0;
}

int vaporia_lesson_count(void) { return static_cast<int>(webapi::LessonCount()); }

const char* vaporia_lesson_title(int index)
{
    P();
    mdlSinario::SinarioData d;
    if (index < 0 || static_cast<std::size_t>(index) >= webapi::LessonCount()) return Out({});
    const webapi::Lesson lesson = webapi::LessonAt(static_cast<std::size_t>(index));
    if (!mdlSinario::DecodeSinario(lesson.bytes, lesson.size, d)) return Out(lesson.name);
    std::u16string t = mdlSinario::TitleUnits(d);
    const auto first = t.find_first_not_of(u' ');
    if (first == std::u16string::npos) return Out(lesson.name);
    return Out(webapi::Utf8Of(t.substr(first, t.find_last_not_of(u' ') - first + 1)));
}

int vaporia_lesson_load(int index)
{
    Program& p = P();
    if (index < 0 || static_cast<std::size_t>(index) >= webapi::LessonCount()) return 0;
    const webapi::Lesson lesson = webapi::LessonAt(static_cast<std::size_t>(index));
    if (!mdlSinario::DecodeSinario(lesson.bytes, lesson.size, p.sinario)) return 0;
    simulation::RestartPlaybackOnLoad(p.st);
    return 1;
}

int vaporia_parse_number(const char* text, double* out)
{
    const auto v = numtext::ParseTypedDouble(Text(text));
    if (!v) return 0;
    if (out) *out = *v;
    return 1;
}

} // extern "C"
