// The flat C interface over the one program object; see vaporia_api.h. Each export
// forwards to app::Program and hands its results on as numbers, pointers and UTF-8 texts.
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

#include "core/app/Program.h"
#include "core/model/NumText.h"
#include "core/render/GraphRaster.h"
#include "core/render/ReportPicture.h"
#include "core/scenario/SinarioEdit.h"
#include "core/scenario/SinarioRecord.h"
#include "core/scenario/Utf.h"
#include "core/settings/ConfigImport.h"
#include "core/settings/ProfileText.h"
#include "core/settings/SettingsLimits.h"
#include "web/Lessons.h"

static_assert(int{VAPORIA_CHANGED_TEMPERATURE} == int{app::kTemperature} && int{VAPORIA_CHANGED_READOUT} == int{app::kReadout}
              && int{VAPORIA_CHANGED_FIELD} == int{app::kField} && int{VAPORIA_CHANGED_GRAPH} == int{app::kGraph}
              && int{VAPORIA_CHANGED_LIQUID} == int{app::kLiquid} && int{VAPORIA_CHANGED_SETTINGS} == int{app::kSettings}
              && int{VAPORIA_CHANGED_PLAYBACK} == int{app::kPlayback} && int{VAPORIA_CHANGED_GRAPH_SHOWN} == int{app::kGraphShown}
              && int{VAPORIA_CHANGED_SCENARIO} == int{app::kScenario} && int{VAPORIA_CHANGED_VALUES_KIND} == int{app::kValuesKind}
              && int{VAPORIA_CHANGED_NOTICE} == int{app::kNotice} && int{VAPORIA_CHANGED_MOTION} == int{app::kMotion}
              && int{VAPORIA_CHANGED_MARKERS} == int{app::kMarkers},
              "the C interface's bits are the program's");

namespace {

constexpr std::size_t kMaxInput = 16u << 20;

// The program and what only the C interface needs: the face's clock, the buffers it reads.
struct Web {
    Web() : program([this] { return TimeOfDay(); }, [this] { return static_cast<std::int64_t>(std::floor(nowMs)); }) {}

    app::Program program;
    double nowMs = 0;
    double startMs = 0;
    double startTimeOfDay = 0;

    render::GraphRaster graphRaster; // the graph at the display's pixels
    render::GraphRaster::Box graphDirty;
    render::Report report;
    std::vector<render::LegendItem> legend; // the report's legend, as last listed
    std::vector<render::LegendItem> panelLegend; // the legend beside the graph, as last listed
    std::vector<std::int32_t> legendWidths;  // their lines' widths, from the face
    // The label fonts' ink per character, from the face: 0 the panel's, 1 the report's.
    std::array<std::array<render::CharInk, render::kLabelChars.size()>, 2> ink{};
    std::array<bool, 2> inkGiven{};
    std::vector<std::uint8_t> png;
    std::string out; // the last text returned
    std::vector<std::uint8_t> input;
    std::string config; // the last CONFIG.INI taken in
    std::string error;
    std::array<unsigned char, mdlSinario::kRecordSize> record{};

    // The time of day now, continued from the one given at start.
    float TimeOfDay() const
    {
        const double t = startTimeOfDay + (nowMs - startMs) / 1000.0;
        return static_cast<float>(std::isfinite(t) ? std::fmod(std::fmod(t, 86400.0) + 86400.0, 86400.0) : 0.0);
    }
};

Web* g = nullptr;

Web& W()
{
    if (!g) {
        g = new Web; // lives as long as the module
        vaporia_init(0, 0);
    }
    return *g;
}

app::Program& P() { return W().program; }

void SetNow(double nowMs)
{
    Web& w = W();
    if (std::isfinite(nowMs) && nowMs >= w.nowMs) w.nowMs = nowMs; // the clock never goes back
}

const char* Out(std::string text)
{
    g->out = std::move(text);
    return g->out.c_str();
}

std::string_view Text(const char* text) { return text ? std::string_view(text) : std::string_view(); }

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

int StepsInUse() { return mdlSinario::StepsInUse(P().Sinario()); }

int InsertStep(int selectedRow, const mdlSinario::SinarioStep& step)
{
    return mdlSinario::InsertStep(P().EditSinario(), selectedRow, step) ? 1 : 0;
}

std::string Trimmed(const std::u16string& t)
{
    const auto first = t.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    return utf::Utf8Of(t.substr(first, t.find_last_not_of(u' ') - first + 1));
}

std::string SettingText(const SystemSettings& s, int which)
{
    switch (which) {
    case 0: return numtext::FormatGeneral(s.container);
    case 1: return numtext::FormatWhole(s.mol);
    case 2: return numtext::FormatWhole(s.temperatureUnit >= 0 && s.temperatureUnit < 2 ? s.temperatureUnit : 0);
    case 3: return numtext::FormatWhole(s.pressureUnit >= 0 && s.pressureUnit < 3 ? s.pressureUnit : 0);
    case 4: return numtext::FormatWhole(s.grphWMin);
    case 5: return numtext::FormatWhole(s.grphWMax);
    case 6: return numtext::FormatGeneral(s.grphHMin);
    case 7: return numtext::FormatGeneral(s.grphHMax);
    default: return {};
    }
}

} // namespace

extern "C" {

int vaporia_init(double time_of_day_seconds, double now_ms)
{
    if (!g) g = new Web;
    Web& w = *g;
    w.nowMs = std::isfinite(now_ms) ? now_ms : 0;
    w.startMs = w.nowMs;
    w.startTimeOfDay = std::isfinite(time_of_day_seconds) ? time_of_day_seconds : 0;
    w.error.clear();
    w.program.EditSinario() = {};
    w.program.Start(false);
    w.program.StartTicking();
    return 1;
}

uint8_t* vaporia_input(size_t size)
{
    if (size > kMaxInput) return nullptr;
    Web& w = W();
    w.input.assign(size + 1, 0);
    return w.input.data();
}

const char* vaporia_version(void)
{
    W();
    return Out("1.0.0");
}

int vaporia_activate(const char* config_ini, double now_ms)
{
    SetNow(now_ms);
    SystemSettings s{};
    const unsigned replaced = mdlSystem::LoadSystemSettingsFromText(s, Text(config_ini));
    return P().Activate(s, replaced);
}

const char* vaporia_take_notice(void) { return Out(P().TakeNotice()); }

const char* vaporia_settings_to_ini(const char* old_text) { return Out(P().SettingsIni(Text(old_text))); }

double vaporia_setting(int which)
{
    const SystemSettings& s = P().Settings();
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

const char* vaporia_setting_text(int which) { return Out(SettingText(P().Settings(), which)); }

const char* vaporia_ini_setting_text(const char* config_ini, int which)
{
    SystemSettings s{};
    mdlSystem::LoadSystemSettingsFromText(s, Text(config_ini));
    return Out(SettingText(s, which));
}

int vaporia_config_import(size_t size, double file_size)
{
    Web& w = W();
    if (size >= w.input.size()) size = w.input.empty() ? 0 : w.input.size() - 1;
    // A file beyond size_t (4 GiB in wasm) counts as the largest size.
    constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();
    const std::size_t whole = !(file_size >= static_cast<double>(size)) ? size
        : file_size >= static_cast<double>(kLargest) ? kLargest : static_cast<std::size_t>(file_size);
    mdlSystem::ImportedConfig r = mdlSystem::ImportConfigBytes(
        std::string_view(reinterpret_cast<const char*>(w.input.data()), size), whole);
    w.error = std::move(r.reason);
    w.config = std::move(r.bytes);
    return r.ok ? static_cast<int>(w.config.size()) : -1;
}

const uint8_t* vaporia_config_bytes(void) { return reinterpret_cast<const uint8_t*>(W().config.data()); }

int vaporia_settings_take(int temperature_unit, int pressure_unit, const char* grph_w_min,
                          const char* grph_w_max, const char* press_w_min,
                          const char* press_w_max, const char* container, const char* mol)
{
    mdlSystem::SettingsBoxes b;
    b.temperatureUnit = temperature_unit;
    b.pressureUnit = pressure_unit;
    b.grphWMin = Text(grph_w_min);
    b.grphWMax = Text(grph_w_max);
    b.grphHMin = Text(press_w_min);
    b.grphHMax = Text(press_w_max);
    b.container = Text(container);
    b.mol = Text(mol);
    const mdlSystem::TakenBoxes taken = mdlSystem::TakeSettingsBoxes(P().Settings(), b);
    if (taken.faults != 0) {
        W().error = mdlSystem::FaultText(taken.faults);
        // The first box at fault, in tab order, as -1 - its bit's place.
        int bit = 0;
        while (!(taken.faults & (1u << bit))) ++bit;
        return -1 - bit;
    }
    return P().TakeSettings(taken.settings);
}

void vaporia_settings_defaults(void)
{
    SystemSettings s{};
    mdlSystem::InitSystemSettings(s);
    P().TakeSettings(s);
}

const char* vaporia_label(int which)
{
    simulation::UnitLabels l = P().Labels();
    switch (which) {
    case 0: return Out(std::move(l.temperature));
    case 1: return Out(std::move(l.pressure));
    case 2: return Out(std::move(l.mol));
    case 3: return Out(std::move(l.container));
    case 4: return Out(P().DataBook() ? std::string(simulation::kDataBookMark) : std::string());
    default: return Out({});
    }
}

int vaporia_set_temperature_text(const char* text, double now_ms)
{
    SetNow(now_ms);
    return P().TemperatureTyped(Text(text));
}

const char* vaporia_temperature_text(void) { return Out(P().TemperatureText()); }
const char* vaporia_readout_text(void) { return Out(P().ReadoutText()); }
int vaporia_temperature_refused(void) { return P().TemperatureRefused() ? 1 : 0; }
double vaporia_readout_pressure(void) { return P().ReadoutPressure(); }

int vaporia_spin(int direction, double now_ms)
{
    SetNow(now_ms);
    return P().Spin(direction);
}

int vaporia_select_liquid(int index, double now_ms)
{
    SetNow(now_ms);
    return P().SelectLiquid(index);
}

int vaporia_liquid(void) { return P().State().curLiquid; }
int vaporia_selected_liquid(void) { return P().SelectedLiquid(); }

int vaporia_set_data_book(int on, double now_ms)
{
    SetNow(now_ms);
    return P().SetDataBook(on != 0);
}

int vaporia_next_wake_ms(double now_ms)
{
    SetNow(now_ms);
    const auto ms = P().NextWakeMs();
    return ms ? *ms : VAPORIA_NO_WAKE;
}

int vaporia_wake(double now_ms)
{
    SetNow(now_ms);
    return P().Wake();
}

int vaporia_field_width(void) { return render::FieldPicture::kWidth; }
int vaporia_field_height(void) { return render::FieldPicture::kHeight; }
const uint8_t* vaporia_field_pixels(void) { return P().FieldPixels().Bytes(); }

int vaporia_graph_width(void) { return render::GraphPicture::kWidth; }
int vaporia_graph_height(void) { return render::GraphPicture::kHeight; }
const uint8_t* vaporia_graph_pixels(void)
{
    // The list of what changed stays for the display's copy (vaporia_graph_raster).
    return P().Graph().Bytes();
}

int vaporia_graph_layout(int width, int height)
{
    Web& w = W();
    w.graphRaster.SetSize(width, height, w.program.Graph());
    w.program.Graph().ClearChanges();
    return w.graphRaster.Width() * 65536 + w.graphRaster.Height();
}

const uint8_t* vaporia_graph_raster(void)
{
    Web& w = W();
    w.graphRaster.Apply(w.program.Graph());
    w.program.Graph().ClearChanges();
    w.graphDirty = w.graphRaster.TakeDirty();
    return w.graphRaster.Bytes();
}

int vaporia_graph_raster_width(void) { return W().graphRaster.Width(); }
int vaporia_graph_raster_height(void) { return W().graphRaster.Height(); }

int vaporia_graph_dirty(int edge)
{
    const render::GraphRaster::Box& d = W().graphDirty;
    switch (edge) {
    case 0: return d.left;
    case 1: return d.top;
    case 2: return d.right;
    case 3: return d.bottom;
    default: return 0;
    }
}

int vaporia_graph_label_count(void) { return static_cast<int>(P().Graph().Labels().size()); }

const char* vaporia_graph_label_text(int index)
{
    const auto& labels = P().Graph().Labels();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return Out({});
    return Out(labels[static_cast<std::size_t>(index)].text);
}

int vaporia_graph_label_x(int index)
{
    const auto& labels = P().Graph().Labels();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return 0;
    return labels[static_cast<std::size_t>(index)].x;
}

int vaporia_graph_label_y(int index)
{
    const auto& labels = P().Graph().Labels();
    if (index < 0 || static_cast<std::size_t>(index) >= labels.size()) return 0;
    return labels[static_cast<std::size_t>(index)].y;
}

int vaporia_graph_switch(void) { return P().GraphSwitch(); }
int vaporia_graph_clear(void) { return P().GraphClear(); }
int vaporia_graph_shown(void) { return P().GraphShown() ? 1 : 0; }

const char* vaporia_points_csv(void) { return Out(P().PointsCsv()); }

int vaporia_point_count(void) { return static_cast<int>(P().Graph().Points().Size()); }

int vaporia_set_distinct_markers(int on) { return P().SetDistinctMarkers(on != 0); }
int vaporia_distinct_markers(void) { return P().DistinctMarkers() ? 1 : 0; }

int vaporia_panel_legend(void)
{
    Web& w = W();
    w.panelLegend = w.program.PanelLegend();
    return static_cast<int>(w.panelLegend.size());
}

namespace {
const render::LegendItem* PanelLegendItem(int index)
{
    const auto& items = W().panelLegend;
    return index >= 0 && static_cast<std::size_t>(index) < items.size() ? &items[static_cast<std::size_t>(index)] : nullptr;
}
} // namespace

const char* vaporia_panel_legend_text(int index)
{
    const render::LegendItem* it = PanelLegendItem(index);
    return Out(it ? it->text : std::string());
}

int vaporia_panel_legend_color(int index)
{
    const render::LegendItem* it = PanelLegendItem(index);
    return it ? static_cast<int>(render::RedOf(it->color) << 16 | render::GreenOf(it->color) << 8 | render::BlueOf(it->color)) : 0;
}

int vaporia_panel_legend_shape(int index)
{
    const render::LegendItem* it = PanelLegendItem(index);
    return it ? it->shape : 0;
}

int vaporia_mark_cells(int shape) { return render::MarkCells(shape); }

int vaporia_mark_inked(int shape, int cx, int cy)
{
    const int n = render::MarkCells(shape);
    return cx >= 0 && cy >= 0 && cx < n && cy < n && render::MarkInked(shape, cx, cy) ? 1 : 0;
}

int vaporia_report_legend(void)
{
    Web& w = W();
    w.legend = render::LegendItems(w.program.Graph().Points());
    w.legendWidths.assign(w.legend.size(), 0);
    return static_cast<int>(w.legend.size());
}

const char* vaporia_report_legend_text(int index)
{
    const auto& legend = W().legend;
    if (index < 0 || static_cast<std::size_t>(index) >= legend.size()) return Out({});
    return Out(legend[static_cast<std::size_t>(index)].text);
}

int32_t* vaporia_report_legend_widths(void) { return W().legendWidths.data(); }

int vaporia_report_make(void)
{
    Web& w = W();
    const std::vector<int> widths(w.legendWidths.begin(), w.legendWidths.end());
    const mdlGrph::MeasureInk ink = render::MeasureFromChars(w.inkGiven[1] ? w.ink[1].data() : DefaultReportInk());
    w.report = w.program.Report(ink, widths);
    return static_cast<int>(w.report.texts.size());
}

const char* vaporia_label_ink_chars(void)
{
    W();
    return Out(std::string(render::kLabelChars));
}

double* vaporia_label_ink_table(int font)
{
    if (font < 0 || font > 1) return nullptr;
    return &W().ink[static_cast<std::size_t>(font)][0].advance;
}

int vaporia_label_ink_commit(int font)
{
    Web& w = W();
    if (font < 0 || font > 1) return 0;
    w.inkGiven[static_cast<std::size_t>(font)] = true;
    if (font == 1) return 0;
    w.program.Graph().SetLabelInk(render::MeasureFromChars(w.ink[0].data()));
    w.program.Graph().Relabel();
    return VAPORIA_CHANGED_GRAPH;
}

size_t vaporia_report_png(size_t size)
{
    Web& w = W();
    w.png = size <= w.input.size() ? render::PngWithResolution(w.input.data(), size) : std::vector<std::uint8_t>();
    return w.png.size();
}

const uint8_t* vaporia_report_png_bytes(void) { return W().png.data(); }

void vaporia_set_include_typed_through(int include) { P().Graph().SetIncludeTypedThrough(include != 0); }

int vaporia_include_typed_through(void) { return P().Graph().Points().IncludesTypedThrough() ? 1 : 0; }

int vaporia_report_width(void) { return render::kReportWidth; }
int vaporia_report_height(void) { return render::kReportHeight; }

const uint8_t* vaporia_report_pixels(void)
{
    Web& w = W();
    if (w.report.pixels.empty()) vaporia_report_make();
    return reinterpret_cast<const std::uint8_t*>(w.report.pixels.data());
}

const char* vaporia_report_text(int index)
{
    const auto& texts = W().report.texts;
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size()) return Out({});
    return Out(texts[static_cast<std::size_t>(index)].text);
}

int vaporia_report_text_value(int index, int field)
{
    const auto& texts = W().report.texts;
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

int vaporia_playback_toggle(void) { return P().TogglePlayback(); }
int vaporia_playback_on(void) { return P().PlaybackOn() ? 1 : 0; }
const char* vaporia_playback_text(void) { return Out(P().PlaybackText()); }

int vaporia_reset(double now_ms)
{
    SetNow(now_ms);
    return P().Reset();
}

int vaporia_key_up(int key_code, double now_ms)
{
    SetNow(now_ms);
    return P().KeyUp(key_code);
}

int vaporia_key_down(int key_code, double now_ms)
{
    SetNow(now_ms);
    return P().KeyDown(key_code);
}

int vaporia_set_motion(int on, double now_ms)
{
    SetNow(now_ms);
    return P().SetMotion(on != 0);
}

int vaporia_motion_on(void) { return P().MotionOn() ? 1 : 0; }

const char* vaporia_announcement(void) { return Out(P().Announcement()); }
const char* vaporia_field_description(void) { return Out(P().FieldDescription()); }

int vaporia_exported_point_count(void)
{
    return static_cast<int>(std::min<std::size_t>(P().PointCount(), std::numeric_limits<int>::max()));
}

const char* vaporia_point_text(int index)
{
    if (index < 0) return Out({});
    return Out(P().PointText(static_cast<std::size_t>(index)));
}

int vaporia_key_help_count(void) { return static_cast<int>(P().KeyHelp().size()); }

const char* vaporia_key_help_keys(int index)
{
    const auto help = P().KeyHelp();
    if (index < 0 || static_cast<std::size_t>(index) >= help.size()) return Out({});
    return Out(help[static_cast<std::size_t>(index)].keys);
}

const char* vaporia_key_help_action(int index)
{
    const auto help = P().KeyHelp();
    if (index < 0 || static_cast<std::size_t>(index) >= help.size()) return Out({});
    return Out(help[static_cast<std::size_t>(index)].action);
}

int vaporia_sinario_decode(const uint8_t* bytes, size_t size, const char* file_name)
{
    Web& w = W();
    return w.program.LoadScenarioBytes(bytes, size, &w.error, Text(file_name)) ? 1 : 0;
}

const char* vaporia_error_text(void) { return Out(W().error); }

const uint8_t* vaporia_sinario_encode(void)
{
    Web& w = W();
    w.record = w.program.SinarioBytes();
    return w.record.data();
}

size_t vaporia_sinario_size(void) { return mdlSinario::kRecordSize; }

const char* vaporia_caption(void) { return Out(P().Caption()); }

const char* vaporia_sinario_title(void) { return Out(utf::Utf8Of(mdlSinario::TitleUnits(P().Sinario()))); }

const char* vaporia_sinario_title_trimmed(void) { return Out(Trimmed(mdlSinario::TitleUnits(P().Sinario()))); }

void vaporia_sinario_set_title(const char* text)
{
    mdlSinario::SetTitleUnits(P().EditSinario(), utf::Utf16Of(Text(text)));
}

int vaporia_sinario_step_count(void) { return StepsInUse(); }

const char* vaporia_sinario_step_text(int index)
{
    if (index < 0 || index >= StepsInUse()) return Out({});
    const mdlSinario::SinarioData& d = P().Sinario();
    return Out(mdlSinario::DescribeStep(d.steps[static_cast<std::size_t>(index + 1)],
                                        mdlSinario::TemperatureUnitAt(d, index, P().Settings().temperatureUnit)));
}

int vaporia_sinario_add_init(int selected_row, int temperature_unit, int pressure_unit,
                             const char* mol, const char* container, const char* grph_w_min,
                             const char* grph_w_max, const char* press_w_min,
                             const char* press_w_max)
{
    W();
    const mdlSinario::TypedInit init = mdlSinario::InitStepFromTexts(
        temperature_unit, pressure_unit,
        {Text(mol), Text(container), Text(grph_w_min), Text(grph_w_max), Text(press_w_min), Text(press_w_max)});
    W().error = init.fault;
    if (!init.step) return -(init.unreadBox + 1);
    return InsertStep(selected_row, *init.step);
}

int vaporia_sinario_add_temp(int selected_row, const char* temperature, int add_temp)
{
    W();
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
    return mdlSinario::DeleteStep(P().EditSinario(), selected_row) ? 1 : 0;
}

int vaporia_lesson_count(void) { return static_cast<int>(webapi::LessonCount()); }

const char* vaporia_lesson_title(int index)
{
    W();
    mdlSinario::SinarioData d;
    if (index < 0 || static_cast<std::size_t>(index) >= webapi::LessonCount()) return Out({});
    const webapi::Lesson lesson = webapi::LessonAt(static_cast<std::size_t>(index));
    if (!mdlSinario::DecodeSinario(lesson.bytes, lesson.size, d)) return Out(lesson.name);
    const std::string title = Trimmed(mdlSinario::TitleUnits(d));
    return Out(title.empty() ? std::string(lesson.name) : title);
}

int vaporia_lesson_load(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= webapi::LessonCount()) return 0;
    const webapi::Lesson lesson = webapi::LessonAt(static_cast<std::size_t>(index));
    return P().LoadScenarioBytes(lesson.bytes, lesson.size, nullptr) ? 1 : 0;
}

int vaporia_parse_number(const char* text, double* out)
{
    const auto v = numtext::ParseTypedDouble(Text(text));
    if (!v) return 0;
    if (out) *out = *v;
    return 1;
}

} // extern "C"
