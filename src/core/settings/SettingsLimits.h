#pragma once
// The settings the model can show truthfully, checked wherever settings come in: the
// dialog refuses the rest where they are typed, and a file's values out of range give way
// to the defaults, with a notice.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/i18n/Catalogue.h"
#include "core/settings/SystemSettings.h"

namespace mdlSystem {

// One bit for each setting, in the dialog's tab order.
enum SettingsFault : unsigned {
    kFaultMol = 1u << 0,        // not a whole number of at least 1
    kFaultContainer = 1u << 1,  // at or below 0, or not finite
    kFaultTempRange = 1u << 2,  // minimum not below maximum
    kFaultPressRange = 1u << 3, // minimum not below maximum, or not finite
};

unsigned FindSettingsFaults(const SystemSettings& s);
// Each faulty setting (a range as a pair) set to its default; returns the faults replaced.
unsigned ReplaceFaultySettings(SystemSettings& s);

// The first fault's box and the range it takes, as one sentence.
std::string FaultSentence(unsigned faults, i18n::Lang lang = i18n::Lang::Ja);
// The settings dialog's message: that sentence, and that nothing was saved.
std::string FaultText(unsigned faults, i18n::Lang lang = i18n::Lang::Ja);
// What a reader tells once: which values from `source` (already in lang) gave way to their
// defaults.
std::string ReplacedNotice(unsigned faults, std::string_view source, i18n::Lang lang = i18n::Lang::Ja);

// The settings dialog's boxes as typed. A box that is empty or holds no number keeps its
// setting; a number that is out of range is a fault, and the settings are not taken.
struct SettingsBoxes {
    int temperatureUnit = 0, pressureUnit = 0;
    std::string_view mol, container, grphWMin, grphWMax, grphHMin, grphHMax;
};
struct TakenBoxes {
    SystemSettings settings;
    unsigned faults = 0;
};
TakenBoxes TakeSettingsBoxes(const SystemSettings& current, const SettingsBoxes& boxes);

} // namespace mdlSystem
