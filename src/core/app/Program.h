#pragma once
// The program behind both faces: the main window's state and every decision it makes, with
// one call for each thing a person or the clock does. Each call returns the set of Changed
// bits naming what a face must show anew; everything a face shows or writes comes out of
// here as data (texts, pixels with the labels' places, CSV, .so1 bytes, CONFIG.INI text).
#include <array>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/app/AppState.h"
#include "core/app/FramePace.h"
#include "core/app/Simulation.h"
#include "core/field/mdlSprite.h"
#include "core/i18n/Catalogue.h"
#include "core/model/mdlData.h"
#include "core/render/FieldPicture.h"
#include "core/render/GraphPicture.h"
#include "core/render/ReportPicture.h"
#include "core/scenario/SinarioRecord.h"
#include "core/settings/SystemSettings.h"

namespace app {

// What a call changed, for the face to show again.
enum Changed : int {
    kTemperature = 1 << 0, // the temperature text (ramp, scenario step, spinner)
    kReadout = 1 << 1,     // the pressure readout text
    kField = 1 << 2,       // the field's pixels
    kGraph = 1 << 3,       // the graph's pixels or its labels
    kLiquid = 1 << 4,      // the liquid selector's position
    kSettings = 1 << 5,    // settings in memory: unit and amount labels
    kPlayback = 1 << 6,    // playback on/off or position
    kGraphShown = 1 << 7,  // graph shown or hidden
    kScenario = 1 << 8,    // the scenario in use (title, steps)
    kValuesKind = 1 << 9,  // the data-book values switched on or off
    kNotice = 1 << 10,     // a notice to show the user once (TakeNotice)
    kMotion = 1 << 11,     // the molecules' motion stopped or started
    kMarkers = 1 << 12,    // the colour-vision choice of markers turned on or off
    kLanguage = 1 << 13,   // the language changed: every text anew
};

// One line of the keyboard help: the keys, and what they do on the main window.
struct KeyHelpEntry {
    std::string keys;
    std::string action;
};

class Program {
public:
    static constexpr int kSpinMin = -100; // the spinner's range
    static constexpr int kSpinMax = 200;
    // F8 stops and starts the molecules: a key the temperature box does not take for
    // itself, and one no browser keeps for itself either.
    static constexpr int kMotionKey = 119;
    // F2 turns the colour-vision choice of markers on and off: free in browsers, unlike F7.
    static constexpr int kMarkersKey = 113;

    // The clocks: the time of day lays out the field, the monotonic one paces the frames.
    explicit Program(mdlSprite::TimeOfDayClock timeOfDay = mdlSprite::SystemTimeOfDay,
                     framepace::MonotonicClock monotonic = framepace::SteadyMilliseconds);

    void SetClocks(mdlSprite::TimeOfDayClock timeOfDay, framepace::MonotonicClock monotonic);

    // The language of every text the program makes, as the pupil chose it: Japanese until
    // then. The files it writes (.so1, CONFIG.INI) never depend on it.
    int SetLanguage(i18n::Lang lang);
    i18n::Lang Language() const { return lang_; }

    // Start-up, before the window is first shown: default settings, Water, graph shown,
    // playback off, "0" in both boxes, the field laid out. The scenario stays: the one the
    // program was started with, or none.
    void Start(bool dataBook = false);
    // The tick begins (the window is shown): the pace's tick 0 is now.
    void StartTicking();
    // The tick stops: nothing is planned, and the frame countdown is not brought up to the
    // clock, until it starts again.
    void StopTicking();

    // ---- Events -------------------------------------------------------------------------
    // The main window's activation, at first and after every dialog: the settings it left
    // (as loaded from CONFIG.INI), the empty grid, the liquid's temperatures.
    // replaced: the mdlSystem::SettingsFault bits the reader put defaults in for; each is
    // told once a run.
    int Activate(const SystemSettings& loaded, unsigned replaced = 0);
    // The settings dialog's values in memory, before it is saved and the window activated.
    int TakeSettings(const SystemSettings& s)
    {
        settings_ = s;
        return kSettings;
    }
    // The temperature box's text changed by a keystroke or a paste.
    int TemperatureTyped(std::string_view text);
    // The spinner: +1 up, -1 down.
    int Spin(int direction);
    // The liquid selector: 0..2, anything else none; taken up by the next frame.
    int SelectLiquid(int index);
    // A key released on the main window (Windows key codes).
    int KeyUp(int keyCode);
    // The colour-vision choice of markers (render::DistinctShape), for the panel and the
    // report picture.
    int SetDistinctMarkers(bool on);
    // The legend a face may show beside the graph: the newest point's red, and each run's
    // liquid, amount and marker as the panel draws them.
    std::vector<render::LegendItem> PanelLegend() const
    {
        return render::LegendItems(graph_.Points(),
                                   graph_.DistinctMarkers() ? render::MarkerStyle::Distinct : render::MarkerStyle::Panel,
                                   lang_);
    }
    bool DistinctMarkers() const { return graph_.DistinctMarkers(); }
    // A key pressed in the temperature box (Windows key codes), repeating while held: ↑ and
    // ↓ step the temperature as the spinner does, except ↓ while playback is on, whose
    // release runs the next step.
    int KeyDown(int keyCode);
    // The molecules' motion: while off they stand still, and the picture shows each new state
    // still; the temperature, ramps, readout, graph and playback go on as before.
    int SetMotion(bool on);
    int ToggleMotion() { return SetMotion(!motion_); }
    bool MotionOn() const { return motion_; }
    int TogglePlayback();
    int GraphSwitch();
    int GraphClear();
    // The data-book values (true) or the lesson's table.
    int SetDataBook(bool on);
    // A scenario was put in use from a file or a lesson: playback starts again at step 1.
    int ScenarioLoaded();
    // Back to the start without reloading anything: the graph cleared to its grid, playback
    // (if on) at step 1, the box empty as at start-up, the molecules laid out afresh.
    int Reset();
    // The .so1 bytes decoded into the scenario in use; false (and error set, naming the file
    // when its name is given) leaves it untouched.
    bool LoadScenarioBytes(const std::uint8_t* bytes, std::size_t size, std::string* error,
                           std::string_view fileName = {});
    // The timer woke: runs the frame when it is due (a face may wake on every refresh).
    int Wake();
    // The timer woke for the frame planned: runs it, and plans the next wake.
    int RunFrame();
    // One 16 ms tick of a timer that wakes on every tick: counts the wait down or draws.
    int Tick();

    // ---- The tick's plan ----------------------------------------------------------------
    // Milliseconds until the timer must wake, as planned by the last call; nothing: sleep.
    std::optional<int> PlannedWake() const { return wake_; }
    // Whether a plan was made since the last ask: only then must a face set its timer again.
    bool TakeReplanned()
    {
        const bool r = replanned_;
        replanned_ = false;
        return r;
    }
    // The same, counted from the clock's now.
    std::optional<int> NextWakeMs() const;

    // ---- What the faces show ------------------------------------------------------------
    const std::string& TemperatureText() const { return temperatureText_; }
    const std::string& ReadoutText() const { return readoutText_; }
    double ReadoutPressure() const { return readoutPressure_; }
    // The temperature the box holds, or nothing while it holds no temperature (empty, no
    // number, below absolute zero).
    std::optional<simulation::Temperature> Shown() const
    {
        return simulation::ReadShownTemperature(temperatureText_, settings_.temperatureUnit);
    }
    // The box holds text that is no temperature: the face marks it, and no readout stands.
    bool TemperatureRefused() const { return !temperatureText_.empty() && !Shown(); }
    int SelectedLiquid() const { return selectedLiquid_; }
    bool DataBook() const { return dataBook_; }
    bool GraphShown() const { return st_.grphVisible != 0; }
    bool PlaybackOn() const { return st_.sinarioRun != 0; }
    simulation::UnitLabels Labels() const { return simulation::UnitLabelsFor(settings_, lang_); }
    // What shows while the data-book values are in use.
    std::string_view DataBookMark() const { return simulation::DataBookMark(lang_); }
    // Where playback stands, for the class to see: "ステップ 3 / 13" (the steps run so far),
    // "シナリオの終わり（13 / 13）" once the last has run; empty while playback is off.
    std::string PlaybackText() const;
    // The window's caption: the program's name and the scenario's title.
    std::string Caption() const;
    // The notice a call raised with kNotice, handed over once.
    std::string TakeNotice() { return std::exchange(notice_, {}); }

    // ---- What a screen reader says ------------------------------------------------------
    // The readout as one sentence, "50 ℃、圧力 92.5 mmHg", in the units in force; empty while
    // no readout stands. A face says it once the typing settles, not at each keystroke.
    std::string Announcement() const;
    // The field in words, from the molecules' states: "液体と気体。分子の約5分の1が気体",
    // "すべて気体", "すべて固体" …
    std::string FieldDescription() const;
    // The graph's exported points, oldest first, as the CSV has them, each as
    // "水、50 ℃、92.5 mmHg"; empty beyond the last.
    std::size_t PointCount() const;
    std::string PointText(std::size_t i) const;
    // Every key the main window answers, on either face, for the keyboard help (F1).
    std::vector<KeyHelpEntry> KeyHelp() const;

    const SystemSettings& Settings() const { return settings_; }
    const AppState& State() const { return st_; }
    AppState& EditState() { return st_; } // for tests and benchmarks
    mdlSprite::MolField& EditField() // for tests and benchmarks
    {
        fieldDrawn_ = false;
        return field_;
    }
    const mdlSinario::SinarioData& Sinario() const { return sinario_; }
    // The scenario editor edits the scenario in use in place.
    mdlSinario::SinarioData& EditSinario() { return sinario_; }
    const mdlSprite::MolField& Field() const { return field_; }
    // The field's picture, drawn when first asked for after a frame moved it.
    const render::FieldPicture& FieldPixels();
    // The field's picture at the view's zoom, for a field at design offset (x, y) of the
    // window, in the face's byte order; drawn anew at the next ask.
    void SetFieldLayout(int percent, int originX, int originY, render::FieldPicture::Order order);
    render::GraphPicture& Graph()
    {
        ++pointsAge_; // a face may change the points, or which of them are exported
        return graph_;
    }
    const render::GraphPicture& Graph() const { return graph_; }
    const mdlData::VaporTable& ActiveTable();

    // ---- What the faces write -----------------------------------------------------------
    // The table in the language in force, or in Japanese whatever the language.
    std::string PointsCsv(bool japanese = false) const;
    std::array<unsigned char, mdlSinario::kRecordSize> SinarioBytes() const;
    // The settings in memory as CONFIG.INI text: old (what the file holds) with the eight
    // keys of section DATA set and every other line kept.
    std::string SettingsIni(std::string_view old) const;
    // The report picture of the exported points on the grid shown (the settings in memory
    // when none is shown): labelInk at render::kReportLabelPixels, legend widths as
    // render::PlaceLegend takes them, of the legend in the language in force.
    render::Report Report(const mdlGrph::MeasureInk& labelInk, const std::vector<int>& legendWidths) const;

    // For the tests: the state as the frame leaves it.
    const framepace::Schedule& Pace() const { return pace_; }

private:
    int TemperatureChanged(std::optional<std::string_view> typed = std::nullopt);
    int Recompute();
    // The readout for the whole temperature shown, in the settings in force.
    int SetReadout(std::int32_t whole);
    int FrameTick();
    void Replan();
    int SetTemperatureText(std::string text);
    // The record's indices of the exported points, kept until the points may have changed.
    const std::vector<std::size_t>& ExportedPoints() const;

    mdlSprite::TimeOfDayClock timeOfDay_;
    SystemSettings settings_{};
    mdlData::VaporTable table_{};
    mdlData::VaporTable dataBookTable_{};
    bool tableBuilt_ = false;
    bool dataBookBuilt_ = false;
    bool dataBook_ = false;
    mdlSinario::SinarioData sinario_{};
    AppState st_{};
    mdlSprite::MolField field_{};
    framepace::DrawnPlaces drawn_{};
    framepace::Schedule pace_;
    // Made when a face first asks for the field's pixels.
    std::unique_ptr<render::FieldPicture> fieldPicture_;
    render::GraphPicture graph_;

    std::string temperatureText_; // the only copy of the temperature, as the box holds it
    std::string readoutText_;
    double readoutPressure_ = 0;
    int selectedLiquid_ = 0;
    int spinnerValue_ = 0;
    bool inWake_ = false;
    bool ticking_ = false;
    bool replanned_ = false;
    bool activated_ = false;
    bool fieldDrawn_ = false;
    bool motion_ = true;
    std::optional<int> wake_;
    std::uint64_t pointsAge_ = 0; // counts every call that may change the points
    mutable std::uint64_t exportedAge_ = ~std::uint64_t{0};
    mutable std::vector<std::size_t> exported_;
    std::string notice_;
    i18n::Lang lang_ = i18n::Lang::Ja;
    unsigned toldIni_ = 0;  // faults of the settings file already told
    unsigned toldStep_ = 0; // of the scenario in use's initial-settings steps
};

} // namespace app
