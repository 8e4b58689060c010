#include "core/app/Program.h"

#include <algorithm>
#include <cmath>

#include "core/model/NumText.h"
#include "core/scenario/SinarioEdit.h"
#include "core/scenario/Utf.h"
#include "core/settings/ProfileText.h"
#include "core/settings/SettingsLimits.h"

namespace app {

Program::Program(mdlSprite::TimeOfDayClock timeOfDay, framepace::MonotonicClock monotonic)
    : timeOfDay_(std::move(timeOfDay)), pace_(std::move(monotonic))
{
}

void Program::SetClocks(mdlSprite::TimeOfDayClock timeOfDay, framepace::MonotonicClock monotonic)
{
    timeOfDay_ = std::move(timeOfDay);
    pace_.SetClock(std::move(monotonic));
}

void Program::Start(bool dataBook)
{
    dataBook_ = dataBook;
    settings_ = {};
    mdlSystem::InitSystemSettings(settings_);
    graph_.SetDataBook(dataBook_);
    st_ = {};
    st_.sinarioRun = 0;
    st_.grphVisible = 1;
    st_.curLiquid = mdlData::Water;
    st_.fullVaporTemp = 100;
    st_.freezeTemp = 0;
    st_.frameWait = 0;
    drawn_ = {};
    // Both boxes start empty: no "0 ℃ 0 mmHg" beside each other, and typing 0 first plots
    // the 0 ℃ point.
    temperatureText_.clear();
    readoutText_.clear();
    readoutPressure_ = 0;
    selectedLiquid_ = 0;
    spinnerValue_ = 0;
    inWake_ = false;
    ticking_ = false;
    activated_ = false;
    wake_.reset();
    pace_.Stop();
    mdlSprite::InitMolField(field_, timeOfDay_);
    fieldDrawn_ = false;
}

void Program::SetFieldLayout(int percent, int originX, int originY, render::FieldPicture::Order order)
{
    if (!fieldPicture_) fieldPicture_ = std::make_unique<render::FieldPicture>();
    fieldPicture_->SetLayout(percent, originX, originY, order);
    fieldDrawn_ = false;
}

const render::FieldPicture& Program::FieldPixels()
{
    if (!fieldPicture_) fieldPicture_ = std::make_unique<render::FieldPicture>();
    if (!fieldDrawn_) fieldPicture_->Draw(field_);
    fieldDrawn_ = true;
    return *fieldPicture_;
}

void Program::StartTicking()
{
    ticking_ = true;
    pace_.Start();
    Replan();
}

void Program::StopTicking()
{
    ticking_ = false;
    pace_.Stop();
    wake_.reset();
}

// Each table is computed when it is first asked for: the first frame needs neither.
const mdlData::VaporTable& Program::ActiveTable()
{
    if (dataBook_) {
        if (!dataBookBuilt_) mdlData::InitDataBookTable(dataBookTable_);
        dataBookBuilt_ = true;
        return dataBookTable_;
    }
    if (!tableBuilt_) mdlData::InitVaporTable(table_);
    tableBuilt_ = true;
    return table_;
}

void Program::Replan()
{
    if (inWake_ || !ticking_) return; // a frame plans after itself
    wake_ = pace_.Plan(st_, Shown().has_value());
    replanned_ = true;
}

std::optional<int> Program::NextWakeMs() const
{
    if (!pace_.Armed()) return std::nullopt;
    return static_cast<int>(std::clamp<std::int64_t>(pace_.DueTime() - pace_.Now(), 0, 1'000'000'000));
}

// txtOndo_Change; typed: the box's text when a keystroke changed it.
int Program::TemperatureChanged(std::optional<std::string_view> typed)
{
    Replan();
    const auto t = Shown();
    if (!t) {
        // No temperature: no number stands beside it until one does again.
        const bool had = !readoutText_.empty();
        readoutText_.clear();
        readoutPressure_ = 0;
        return had ? kReadout : 0;
    }
    int changed = SetReadout(t->whole);
    if (st_.grphVisible != 0) {
        graph_.GrphPlotPoint(settings_, st_, t->whole, readoutPressure_, readoutText_, typed);
        changed |= kGraph;
    }
    if (simulation::FreezesField(st_, settings_, t->whole)) mdlSprite::InitMolField(field_, timeOfDay_);
    return changed;
}

int Program::SetReadout(std::int32_t whole)
{
    const simulation::Readout r = simulation::ComputeReadout(ActiveTable(), st_.curLiquid, settings_, whole);
    readoutText_ = r.text;
    readoutPressure_ = r.pressure;
    return kReadout;
}

int Program::Recompute()
{
    const auto t = Shown();
    if (!t) return 0;
    const int changed = SetReadout(t->whole);
    if (simulation::FreezesField(st_, settings_, t->whole)) mdlSprite::InitMolField(field_, timeOfDay_);
    return changed;
}

int Program::SetTemperatureText(std::string text)
{
    // A step that sets the same temperature again still gives the readout and point.
    temperatureText_ = std::move(text);
    return kTemperature | TemperatureChanged();
}

int Program::Activate(const SystemSettings& loaded, unsigned replaced)
{
    const bool first = !activated_;
    activated_ = true;
    int changed = kGraph | kSettings | kLiquid | kScenario | kPlayback | kValuesKind | kGraphShown;
    // The file is read at every activation: what it holds wrong is told once.
    if (const unsigned fresh = replaced & ~toldIni_) {
        toldIni_ |= fresh;
        notice_ = mdlSystem::ReplacedNotice(fresh, "設定ファイル（CONFIG.INI）");
        changed |= kNotice;
    }
    // The molecules stand at rest until a temperature is there: shown once.
    if (first) changed |= kField | kTemperature | kReadout;
    // The temperature shown stays the same temperature in the new unit: 100 ℃ is 373 K.
    if (const auto t = Shown(); t && loaded.temperatureUnit != settings_.temperatureUnit) {
        temperatureText_ = numtext::FormatWhole(
            simulation::ConvertWhole(t->whole, settings_.temperatureUnit, loaded.temperatureUnit));
        changed |= kTemperature;
    }
    settings_ = loaded;
    graph_.GrphRedraw(settings_);
    selectedLiquid_ = st_.curLiquid >= 0 && st_.curLiquid <= 2 ? st_.curLiquid : -1;
    simulation::RefreshLiquidTemps(st_, ActiveTable(), settings_);
    // The readout in the new units and amounts; no point is plotted for it.
    if (!first) changed |= Recompute();
    Replan();
    return changed;
}

int Program::TemperatureTyped(std::string_view text)
{
    st_.rampOn = 0; // the teacher takes the temperature over
    temperatureText_ = std::string(text);
    return TemperatureChanged(std::optional<std::string_view>(temperatureText_));
}

int Program::Spin(int direction)
{
    direction = direction > 0 ? 1 : -1;
    // Continue from the temperature shown, so typing 25 then clicking up gives 26. From
    // beyond the range an arrow comes back to the range's nearer end, or, pointing further
    // out, leaves the temperature alone: it never moves against its direction.
    std::int64_t from = spinnerValue_;
    if (const auto t = Shown()) from = t->whole;
    const std::int64_t next = std::clamp<std::int64_t>(from + direction, kSpinMin, kSpinMax);
    if ((next - from) * direction < 0) return 0;
    spinnerValue_ = static_cast<int>(next);
    std::string text = numtext::FormatWhole(spinnerValue_);
    if (text == temperatureText_) return 0; // the box's text does not change: no event
    return SetTemperatureText(std::move(text));
}

int Program::SelectLiquid(int index)
{
    selectedLiquid_ = index >= 0 && index <= 2 ? index : -1;
    // Taken up by the next frame, which a resting timer must then draw; with no temperature
    // no frame comes, so at once: the first temperature typed reads the liquid chosen.
    if (!Shown() && st_.curLiquid != selectedLiquid_) {
        st_.curLiquid = selectedLiquid_;
        simulation::RefreshLiquidTemps(st_, ActiveTable(), settings_);
    }
    Replan();
    return 0;
}

int Program::SetDataBook(bool on)
{
    dataBook_ = on;
    graph_.SetDataBook(on);
    // Before the first activation there is nothing to recompute, and no table to build
    // before the first frame.
    if (!activated_) return kValuesKind;
    // The readout and the animation's two scaling temperatures follow the new values at
    // once, so the mark and the number agree; the points plotted stay as measured.
    simulation::RefreshLiquidTemps(st_, ActiveTable(), settings_);
    int changed = kValuesKind;
    if (const auto t = Shown()) changed |= SetReadout(t->whole);
    Replan();
    return changed;
}

int Program::TogglePlayback()
{
    if (st_.sinarioRun == 0) {
        st_.sinarioRun = 1;
        st_.sinarioPos = 1;
    } else {
        st_.sinarioRun = 0;
        st_.rampOn = 0;
    }
    return kPlayback;
}

int Program::GraphSwitch()
{
    graph_.SwitchClicked(settings_, st_);
    return kGraph | kGraphShown;
}

int Program::GraphClear()
{
    graph_.ClearClicked(settings_, st_);
    return kGraph;
}

int Program::KeyUp(int keyCode)
{
    if (!simulation::IsPlaybackKey(keyCode) || st_.sinarioRun != 1) return 0;
    std::optional<std::int32_t> shown;
    if (const auto t = Shown()) shown = t->whole;
    const std::int32_t unitBefore = settings_.temperatureUnit;
    const simulation::StepEffect e = simulation::RunSinarioStep(st_, sinario_, settings_, ActiveTable(), shown);
    int changed = kPlayback;
    switch (e.kind) {
    case simulation::StepEffect::SetTemperature:
        changed |= SetTemperatureText(numtext::FormatWhole(e.value));
        break;
    case simulation::StepEffect::GraphOn:
        graph_.GrphRedraw(settings_);
        changed |= kGraph | kGraphShown;
        break;
    case simulation::StepEffect::GraphOff:
        graph_.GrphClear();
        changed |= kGraph | kGraphShown;
        break;
    case simulation::StepEffect::GraphClear:
        graph_.GrphClear();
        changed |= kGraph;
        break;
    case simulation::StepEffect::SelectLiquid:
        selectedLiquid_ = e.value >= 0 && e.value <= 2 ? e.value : -1;
        changed |= kLiquid;
        break;
    case simulation::StepEffect::SettingsChanged:
        // New units and amounts show at once, so no number stands beside the wrong unit: the
        // temperature too stays the same temperature in the new unit.
        changed |= kSettings;
        if (const unsigned fresh = static_cast<unsigned>(e.value) & ~toldStep_) {
            toldStep_ |= fresh;
            notice_ = mdlSystem::ReplacedNotice(fresh, "シナリオの初期設定");
            changed |= kNotice;
        }
        if (shown && unitBefore != settings_.temperatureUnit) {
            temperatureText_ = numtext::FormatWhole(simulation::ConvertWhole(*shown, unitBefore, settings_.temperatureUnit));
            changed |= kTemperature;
        }
        changed |= Recompute();
        break;
    case simulation::StepEffect::None:
        break;
    }
    Replan(); // a ramp, or the settings of an initial-settings step
    return changed;
}

int Program::ScenarioLoaded()
{
    simulation::RestartPlaybackOnLoad(st_);
    toldStep_ = 0; // a new scenario's steps are told of anew
    Replan();
    return kScenario | kPlayback;
}

bool Program::LoadScenarioBytes(const std::uint8_t* bytes, std::size_t size, std::string* error,
                                std::string_view fileName)
{
    if (const std::string fault = mdlSinario::SinarioRecordFault(bytes, size); !fault.empty()) {
        if (error) *error = mdlSinario::RefusedFileText(fileName, fault);
        return false;
    }
    mdlSinario::DecodeSinario(bytes, size, sinario_);
    if (error) error->clear();
    ScenarioLoaded();
    return true;
}

// Timer1_Timer.
int Program::FrameTick()
{
    int changed = 0;
    auto t = Shown();
    if (!t) return changed;
    if (st_.frameWait > 0) {
        --st_.frameWait;
        return changed;
    }
    if (st_.rampOn != 0) {
        if (const auto next = simulation::NextRampTemperature(
                st_, t->whole, simulation::RampRangeFor(settings_, kSpinMin, kSpinMax))) {
            changed |= SetTemperatureText(numtext::FormatWhole(*next));
            t = Shown();
            if (!t) return changed;
        }
    }
    // A frame that would show the same picture again is neither drawn nor flushed.
    if (!framepace::FrameStep(field_, drawn_, st_, ActiveTable(), settings_, selectedLiquid_, *t, dataBook_))
        return changed;
    fieldDrawn_ = false;
    return changed | kField;
}

int Program::Wake()
{
    // Woken before the frame is due (a face that wakes on every display refresh): nothing
    // yet, so the pace stays the tick's whatever the display's rate.
    if (!pace_.Armed() || pace_.Now() + 1 < pace_.DueTime()) return 0;
    return RunFrame();
}

int Program::Tick() { return FrameTick(); }

int Program::RunFrame()
{
    inWake_ = true;
    pace_.BeginFrame(st_);
    const int changed = FrameTick();
    inWake_ = false;
    const bool atRest = framepace::AtRest(field_, st_, selectedLiquid_, drawn_);
    wake_ = pace_.AfterFrame(st_, Shown().has_value(), atRest);
    replanned_ = true;
    return changed;
}

std::string Program::PlaybackText() const
{
    if (st_.sinarioRun == 0) return {};
    const int count = mdlSinario::StepsInUse(sinario_);
    if (count == 0) return "ステップがありません";
    const std::int64_t done = std::clamp<std::int64_t>(std::int64_t{st_.sinarioPos} - 1, 0, count);
    const std::string of = numtext::FormatWhole(done) + " / " + numtext::FormatWhole(count);
    return done >= count ? "シナリオの終わり（" + of + "）" : "ステップ " + of;
}

int Program::Reset()
{
    graph_.GrphRedraw(settings_);
    st_.sinarioPos = 1;
    st_.rampOn = 0;
    temperatureText_.clear();
    readoutText_.clear();
    readoutPressure_ = 0;
    mdlSprite::InitMolField(field_, timeOfDay_);
    fieldDrawn_ = false;
    drawn_ = {};
    Replan();
    return kGraph | kPlayback | kTemperature | kReadout | kField;
}

std::string Program::Caption() const
{
    std::u16string title = mdlSinario::TitleUnits(sinario_);
    // Control characters a hand-made file may hold would break the caption's line.
    for (char16_t& c : title)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) c = u' ';
    return "蒸気圧曲線　-　" + utf::Utf8Of(title);
}

std::string Program::PointsCsv() const { return mdlGrph::PointsCsv(graph_.Points()); }

std::array<unsigned char, mdlSinario::kRecordSize> Program::SinarioBytes() const
{
    std::array<unsigned char, mdlSinario::kRecordSize> out{};
    mdlSinario::EncodeSinario(sinario_, out);
    return out;
}

std::string Program::SettingsIni(std::string_view old) const
{
    return mdlSystem::SaveSystemSettingsToText(settings_, std::string(old));
}

render::Report Program::Report(const mdlGrph::MeasureInk& labelInk, const std::vector<int>& legendWidths) const
{
    return render::MakeReport(graph_.Points(), graph_.GridSettings().value_or(settings_), labelInk, legendWidths,
                              graph_.DistinctMarkers());
}

int Program::SetDistinctMarkers(bool on)
{
    if (on == graph_.DistinctMarkers()) return 0;
    graph_.SetDistinctMarkers(on);
    return kGraph;
}

} // namespace app
