#include "core/app/Program.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/graph/mdlGrph.h"
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

int Program::SetLanguage(i18n::Lang lang)
{
    if (lang == lang_) return 0;
    lang_ = lang;
    // A notice not yet taken is said in the language it was raised in.
    return kLanguage | kSettings | kPlayback | kGraph | kScenario | kValuesKind;
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
    motion_ = true;
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
    ++pointsAge_;
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
    ++pointsAge_;
    int changed = kGraph | kSettings | kLiquid | kScenario | kPlayback | kValuesKind | kGraphShown;
    // The file is read at every activation: what it holds wrong is told once.
    if (const unsigned fresh = replaced & ~toldIni_) {
        toldIni_ |= fresh;
        notice_ = mdlSystem::ReplacedNotice(fresh, i18n::Text(lang_, "notice.source.config"), lang_);
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
    ++pointsAge_;
    graph_.SwitchClicked(settings_, st_);
    return kGraph | kGraphShown;
}

int Program::GraphClear()
{
    ++pointsAge_;
    graph_.ClearClicked(settings_, st_);
    return kGraph;
}

int Program::KeyUp(int keyCode)
{
    if (keyCode == kMotionKey) return ToggleMotion();
    if (keyCode == kMarkersKey) return SetDistinctMarkers(!DistinctMarkers());
    if (!simulation::IsPlaybackKey(keyCode) || st_.sinarioRun != 1) return 0;
    ++pointsAge_;
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
            notice_ = mdlSystem::ReplacedNotice(fresh, i18n::Text(lang_, "notice.source.scenario_init"), lang_);
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

int Program::KeyDown(int keyCode)
{
    if (keyCode == 38) return Spin(+1);
    if (keyCode == 40 && st_.sinarioRun == 0) return Spin(-1);
    return 0;
}

int Program::SetMotion(bool on)
{
    if (on == motion_) return 0;
    motion_ = on;
    Replan(); // a field resting still may have molecules to move again
    return kMotion;
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
    if (const std::string fault = mdlSinario::SinarioRecordFault(bytes, size, lang_); !fault.empty()) {
        if (error) *error = mdlSinario::RefusedFileText(fileName, fault, lang_);
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
    if (!framepace::FrameStep(field_, drawn_, st_, ActiveTable(), settings_, selectedLiquid_, *t, dataBook_, !motion_))
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
    const bool atRest = motion_ ? framepace::AtRest(field_, st_, selectedLiquid_, drawn_)
                                : framepace::StillAtRest(st_, selectedLiquid_, drawn_);
    wake_ = pace_.AfterFrame(st_, Shown().has_value(), atRest);
    replanned_ = true;
    return changed;
}

std::string Program::PlaybackText() const
{
    if (st_.sinarioRun == 0) return {};
    const int count = mdlSinario::StepsInUse(sinario_);
    if (count == 0) return std::string(i18n::Text(lang_, "playback.no_steps"));
    const std::int64_t done = std::clamp<std::int64_t>(std::int64_t{st_.sinarioPos} - 1, 0, count);
    return i18n::Format(lang_, done >= count ? "playback.end" : "playback.step",
                        {numtext::FormatWhole(done), numtext::FormatWhole(count)});
}

int Program::Reset()
{
    ++pointsAge_;
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
    return i18n::Format(lang_, "app.caption", {utf::Utf8Of(title)});
}

std::string Program::PointsCsv(bool japanese) const
{
    return mdlGrph::PointsCsv(graph_.Points(), japanese ? i18n::Lang::Ja : lang_);
}

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
                              graph_.DistinctMarkers(), lang_);
}

int Program::SetDistinctMarkers(bool on)
{
    if (on == graph_.DistinctMarkers()) return 0;
    graph_.SetDistinctMarkers(on);
    return kGraph | kMarkers;
}

namespace {

// A share of the molecules as a class would say it: a simple fraction where one lies close,
// else a whole percent.
std::string ShareText(std::int64_t part, std::int64_t whole, i18n::Lang lang)
{
    const double share = static_cast<double>(part) / static_cast<double>(whole);
    const int percent = static_cast<int>(std::lround(share * 100));
    if (percent < 1) return std::string(i18n::Text(lang, "share.tiny"));
    if (percent > 99) return std::string(i18n::Text(lang, "share.most"));
    if (std::abs(share - 0.5) < 0.0125) return std::string(i18n::Text(lang, "share.half"));
    for (const int d : {3, 4, 5, 10})
        for (int n = 1; n < d; ++n) {
            if (std::gcd(n, d) != 1) continue;
            if (std::abs(share - static_cast<double>(n) / d) < 0.0125)
                return i18n::Format(lang, "share.fraction", {numtext::FormatWhole(d), numtext::FormatWhole(n)});
        }
    return i18n::Format(lang, "share.percent", {numtext::FormatWhole(percent)});
}

} // namespace

std::string Program::Announcement() const
{
    const auto t = Shown();
    if (!t || readoutText_.empty()) return {};
    return i18n::Format(lang_, "announce.readout",
                        {numtext::FormatWhole(t->whole), mdlGrph::TemperatureUnitName(settings_.temperatureUnit, lang_),
                         readoutText_, mdlGrph::PressureUnitName(settings_.pressureUnit, lang_)});
}

std::string Program::FieldDescription() const
{
    std::int64_t solid = 0, liquid = 0, vapour = 0;
    for (int i = 1; i <= mdlSprite::kRows; ++i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const std::int16_t state = field_.cells[i][j].state;
            solid += state == mdlSprite::MolSolid;
            liquid += state == mdlSprite::MolLiquid;
            vapour += state == mdlSprite::MolVapor;
        }
    const std::int64_t all = solid + liquid + vapour;
    if (all == 0) return {};
    if (solid == all) return std::string(i18n::Text(lang_, "field.all_solid"));
    if (liquid == all) return std::string(i18n::Text(lang_, "field.all_liquid"));
    if (vapour == all) return std::string(i18n::Text(lang_, "field.all_gas"));
    // Each mix has a text of its own: languages join their words differently.
    const std::string_view kinds = i18n::Text(lang_, solid == 0    ? "field.liquid_gas"
                                                     : liquid == 0 ? "field.solid_gas"
                                                     : vapour == 0 ? "field.solid_liquid"
                                                                   : "field.solid_liquid_gas");
    if (vapour == 0) return std::string(kinds);
    return i18n::Format(lang_, "field.gas_share", {kinds, ShareText(vapour, all, lang_)});
}

const std::vector<std::size_t>& Program::ExportedPoints() const
{
    if (exportedAge_ == pointsAge_) return exported_;
    const mdlGrph::PlotRecord& record = graph_.Points();
    exported_.clear();
    for (std::size_t i = 0; i < record.Size(); ++i)
        if (record.Exported(i)) exported_.push_back(i);
    exportedAge_ = pointsAge_;
    return exported_;
}

std::size_t Program::PointCount() const { return ExportedPoints().size(); }

std::string Program::PointText(std::size_t i) const
{
    const std::vector<std::size_t>& exported = ExportedPoints();
    if (i >= exported.size()) return {};
    const mdlGrph::PlottedPoint& p = graph_.Points().At(exported[i]);
    return i18n::Format(lang_, p.dataBook ? "point.text_databook" : "point.text",
                        {mdlGrph::LiquidName(p.liquid, lang_), numtext::FormatWhole(p.temperature),
                         mdlGrph::TemperatureUnitName(p.temperatureUnit, lang_), p.pressureText,
                         mdlGrph::PressureUnitName(p.pressureUnit, lang_)});
}

std::vector<KeyHelpEntry> Program::KeyHelp() const
{
    static constexpr std::string_view kLines[] = {
        "help", "tab", "type", "step_temperature", "liquid", "playback", "button", "points", "ends",
        "graph_menu", "markers", "motion", "reset", "full_screen", "menus", "menu_move", "menu_enter", "escape",
    };
    std::vector<KeyHelpEntry> lines;
    lines.reserve(std::size(kLines));
    for (const std::string_view line : kLines) {
        const std::string key = "keys." + std::string(line);
        lines.push_back({std::string(i18n::Text(lang_, key + ".keys")), std::string(i18n::Text(lang_, key + ".action"))});
    }
    return lines;
}

} // namespace app
