#pragma once
// The scenario record and its 2380-byte .so1 form, without files: a title and up to 50
// steps. Plain data and bytes, no Qt, for every face.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/i18n/Catalogue.h"

namespace mdlSinario {

enum SinarioStepKind : std::int16_t {
    StepInit = 0, StepTemp = 1, StepGrphOn = 2, StepGrphOff = 3, StepGrphCls = 4, StepBussitu = 5
};

struct SinarioStep {
    std::int16_t kind = 0;
    std::int32_t value = 0;
    std::int32_t addTemp = 0;
    std::int32_t mol = 0;
    double container = 0;
    std::int32_t temperatureUnit = 0;
    std::int32_t pressureUnit = 0;
    std::int32_t grphWMin = 0;
    std::int32_t grphWMax = 0;
    std::int32_t grphHMin = 0;
    std::int32_t grphHMax = 0;

    friend bool operator==(const SinarioStep&, const SinarioStep&) = default;
};

constexpr int kTitleChars = 30;
constexpr int kMaxSteps = 50;
constexpr std::size_t kRecordSize = 2380;

struct SinarioData {
    // Exactly 30 UTF-16 units; all NUL while unset, else padded with spaces.
    std::array<char16_t, kTitleChars> title{};
    std::int32_t stepCount = 0;
    std::array<SinarioStep, kMaxSteps + 1> steps{}; // slot 0 unused

    friend bool operator==(const SinarioData&, const SinarioData&) = default;
};

// The title's 30 units with the NULs dropped.
std::u16string TitleUnits(const SinarioData& d);
// Padded with spaces or cut to 30 units, never between the halves of a surrogate pair.
void SetTitleUnits(SinarioData& d, std::u16string_view text);

// The record in its file form; both never fail on any input.
void EncodeSinario(const SinarioData& d, std::array<unsigned char, kRecordSize>& out);
// Why the bytes hold no scenario (for a message), or empty when they hold one: fewer than
// kRecordSize bytes, a step count outside 0..kMaxSteps, or a step in use of a kind that
// does not exist. Bytes after the record are never looked at.
std::string SinarioRecordFault(const unsigned char* bytes, std::size_t size, i18n::Lang lang = i18n::Lang::Ja);
// The message for a file refused as a scenario: its name (if known) and the fault.
std::string RefusedFileText(std::string_view fileName, std::string_view fault, i18n::Lang lang = i18n::Lang::Ja);
// Returns false and leaves d untouched when the bytes hold no scenario.
bool DecodeSinario(const unsigned char* bytes, std::size_t size, SinarioData& d);

} // namespace mdlSinario
