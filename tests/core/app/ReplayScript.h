#pragma once
// One classroom session as data: what a person and the clock do to the main window, in
// order. The program core replays it natively and under node against one golden list of
// hashes; a face's widget test can replay the same steps through its window. Plain C++,
// no Qt and no program object, so any of them can include it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace replay {

enum class Op {
    Start,          // start-up, the tick begins, the window activated with the default settings
    Type,           // text: the temperature box's whole text after one keystroke
    Spin,           // value: +1 up or -1 down, count clicks (count > 1: the button held)
    SelectLiquid,   // value: 0 water, 1 ethanol, 2 ether
    Frames,         // count: frames the timer runs, each when it is due; fewer if it sleeps
    KeyUp,          // value: key code, count releases (count > 1: the key held)
    LoadLesson,     // text: the lesson file's name without .so1
    TogglePlayback,
    PlayLesson,     // value: key code pressed until past the last step; count frames after
                    // each press once its ramp has run out; a checkpoint text.pressNN each
    Settings,       // text: CONFIG.INI; the dialog takes its values, saves them over that
                    // same text, and the window activates with the file read back
    DataBook,       // value: 1 the data-book values, 0 the lesson's table
    Check,          // text: a checkpoint's name
};

struct Step {
    Op op;
    std::string_view text{};
    int value = 0;
    int count = 1;
    int gapMs = 0; // the clock runs on this long before each event, frames due included
};

// Key codes of the main window (Windows codes).
inline constexpr int kDown = 40, kEnter = 13, kSpace = 32, kUp = 38;

// Time between keystrokes of a person typing, and between repeats of a held key or button.
inline constexpr int kTyping = 180;
inline constexpr int kRepeat = 33;

// The school's CONFIG.INI: a line of its own before the section, another section after it.
inline constexpr std::string_view kSchoolConfig =
    "; set up by the science department\r\n"
    "[DATA]\r\n"
    "temperatureUnit=1\r\n"
    "pressureUnit=1\r\n"
    "grphWMin=250\r\n"
    "grphWMax=400\r\n"
    "grphHMin=0\r\n"
    "grphHMax=2\r\n"
    "mol=1\r\n"
    "container=30\r\n"
    "[WINDOW]\r\n"
    "zoom=125\r\n";

inline constexpr Step kSession[] = {
    {Op::Start},
    {Op::Check, "start"},
    {Op::Frames, {}, 0, 10},
    {Op::Check, "idle"},

    {Op::Type, "2", 0, 1, kTyping},
    {Op::Type, "25", 0, 1, kTyping},
    {Op::Frames, {}, 0, 30},
    {Op::Check, "typed-25"},
    {Op::Type, "2", 0, 1, kTyping}, // backspace
    {Op::Type, "", 0, 1, kTyping},
    {Op::Type, "1", 0, 1, kTyping},
    {Op::Type, "10", 0, 1, kTyping},
    {Op::Type, "100", 0, 1, kTyping},
    {Op::Frames, {}, 0, 30},
    {Op::Check, "water-100"},

    // An input method's full-width forms; a lone sign is no number yet.
    {Op::Type, "", 0, 1, kTyping},
    {Op::Type, "－", 0, 1, kTyping},
    {Op::Check, "fullwidth-sign-only"},
    {Op::Type, "－５", 0, 1, kTyping},
    {Op::Frames, {}, 0, 20},
    {Op::Check, "fullwidth-minus-5"},
    {Op::Type, "", 0, 1, kTyping},
    {Op::Type, "１", 0, 1, kTyping},
    {Op::Type, "１２", 0, 1, kTyping},
    {Op::Type, "１２．", 0, 1, kTyping},
    {Op::Type, "１２．５", 0, 1, kTyping},
    {Op::Frames, {}, 0, 20},
    {Op::Check, "fullwidth-12.5"},

    // The spinner held from the temperature shown, then pressed beyond its range.
    {Op::Spin, {}, +1, 30, kRepeat * 2},
    {Op::Frames, {}, 0, 20},
    {Op::Check, "spun-up"},
    {Op::Type, "2", 0, 1, kTyping},
    {Op::Type, "25", 0, 1, kTyping},
    {Op::Type, "250", 0, 1, kTyping},
    {Op::Spin, {}, +1, 3, kRepeat * 2},
    {Op::Spin, {}, -1, 1, kTyping},
    {Op::Check, "spin-range"},

    {Op::Type, "6", 0, 1, kTyping},
    {Op::Type, "60", 0, 1, kTyping},
    {Op::SelectLiquid, {}, 1, 1, kTyping},
    {Op::Frames, {}, 0, 40},
    {Op::Check, "ethanol-60"},
    {Op::SelectLiquid, {}, 2, 1, kTyping},
    {Op::Frames, {}, 0, 40},
    {Op::Check, "ether-60"},
    {Op::SelectLiquid, {}, 0, 1, kTyping},
    {Op::Frames, {}, 0, 10},
    {Op::Check, "water-60"},

    // Playback keys do nothing while playback is off.
    {Op::KeyUp, {}, kDown, 1, kTyping},
    {Op::KeyUp, {}, kSpace, 1, kTyping},
    {Op::Check, "keys-playback-off"},

    // Space held through the first lesson's opening steps.
    {Op::LoadLesson, "lesson1-water-curve"},
    {Op::TogglePlayback},
    {Op::KeyUp, {}, kSpace, 8, kRepeat},
    {Op::Check, "held-space"},
    {Op::KeyUp, {}, kUp, 1, kTyping},
    {Op::KeyUp, {}, kEnter, 1, kTyping},
    {Op::Frames, {}, 0, 5},
    {Op::Check, "enter-after-held"},

    // Another lesson while playback is on starts it again from its first step.
    {Op::LoadLesson, "lesson2-three-liquids"},
    {Op::Check, "lesson2-loaded"},
    {Op::PlayLesson, "lesson2", kDown, 3, kTyping},
    {Op::Check, "lesson2-end"},
    {Op::TogglePlayback},

    {Op::Settings, kSchoolConfig},
    {Op::Check, "settings-kelvin-atm"},
    {Op::SelectLiquid, {}, 0, 1, kTyping}, // the lesson left ether
    {Op::Frames, {}, 0, 5},
    {Op::Type, "2", 0, 1, kTyping},
    {Op::Type, "29", 0, 1, kTyping},
    {Op::Type, "298", 0, 1, kTyping},
    {Op::Frames, {}, 0, 20},
    {Op::Check, "kelvin-298"},

    {Op::DataBook, {}, 1, 1, kTyping},
    {Op::Check, "databook-298"},
    {Op::Type, "3", 0, 1, kTyping},
    {Op::Type, "37", 0, 1, kTyping},
    {Op::Type, "373", 0, 1, kTyping},
    {Op::Frames, {}, 0, 20},
    {Op::Check, "databook-373"},
    {Op::DataBook, {}, 0, 1, kTyping},
    {Op::Frames, {}, 0, 5},
    {Op::Check, "databook-off-373"},
};

// 64-bit FNV-1a: small, and the same on every machine and in wasm.
inline std::uint64_t Fnv1a64(const void* data, std::size_t size, std::uint64_t h = 0xcbf29ce484222325ull)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 0x100000001b3ull;
    }
    return h;
}
inline std::uint64_t Fnv1a64(std::string_view s) { return Fnv1a64(s.data(), s.size()); }

// One line of the golden list: "name: 16 hex digits".
inline std::string Line(std::string_view name, std::uint64_t hash)
{
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(name) + ": " + hex;
}

} // namespace replay
