#pragma once
// The settings record and its CONFIG.INI text, without files: the defaults, the load with
// each key's limits, and the save that keeps every line the program does not own. No Qt.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/settings/SystemSettings.h"

namespace mdlSystem {

inline constexpr std::string_view kSection = "DATA";
inline constexpr std::size_t kTransferSize = 50; // the reader keeps 49 characters
inline constexpr std::size_t kValueWidth = 50;   // saved values are padded to this width
// Loading reads at most this much of the file and ignores the rest (from the last line
// break within it); saving leaves a larger file untouched and reports it.
inline constexpr std::size_t kMaxFileBytes = 1 << 20;

void InitSystemSettings(SystemSettings& s);

// The load on the file's text. A value that is empty, no number, not finite, beyond its
// 32-bit field, or a unit outside its codes (temperature 0..1, pressure 0..2) gives that
// key's default. So does a value the model cannot show (SettingsLimits.h); those are
// returned as SettingsFault bits, for the user to be told.
unsigned LoadSystemSettingsFromText(SystemSettings& s, std::string_view text);
// The save on the file's text: the eight keys set in `text`, every other line kept.
std::string SaveSystemSettingsToText(const SystemSettings& s, std::string text);

} // namespace mdlSystem
