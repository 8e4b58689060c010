#pragma once
// A CONFIG.INI brought in from another computer, as the bytes this program keeps for it: the
// bytes the desktop reads and writes, so that a file taken in and given out again unchanged
// is the same file. No files, no Qt.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/i18n/Catalogue.h"

namespace mdlSystem {

// More than a settings file ever holds; a larger file is refused rather than cut.
inline constexpr std::size_t kMaxImportBytes = 64 * 1024;

struct ImportedConfig {
    bool ok = false;
    std::string bytes;  // when ok: the file as the program keeps it
    std::string reason; // when not: why, in lang, for a message that names the file
};

// `file` holds the file's first bytes, `fileSize` its whole size.
// - Bytes without a byte-order mark, and UTF-8 after its mark, are kept as they are: the
//   key lines are ASCII and every other line is the owner's, in whatever code page.
// - UTF-16 after its mark (little- or big-endian) is taken into code page 932, the
//   desktop's; a character the code page lacks becomes "?".
// - Refused: a file too large, a NUL (a binary file, or UTF-16 without its mark), a UTF-16
//   file cut inside a character, and a file with no [DATA] section.
ImportedConfig ImportConfigBytes(std::string_view file, std::size_t fileSize, i18n::Lang lang = i18n::Lang::Ja);

} // namespace mdlSystem
