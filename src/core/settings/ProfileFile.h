#pragma once
// Reading and writing keys of a profile (INI) file held as text.
//
// The form: a line "[section]" opens a section; each "key=value" line below it belongs to
// that section until the next section line. Lines before the first section, lines without
// "=", and lines whose first non-blank character is ';' belong to no key and are kept as
// they are. Section and key names match regardless of ASCII letter case, with spaces and
// tabs around them ignored. When a section or a key occurs more than once, the first one
// counts, for reading and writing alike. A UTF-8 byte-order mark before the first line is
// ignored.
//
// Pure functions on bytes, with no file access, so both sides can be tested and fuzzed
// without files. Lines end with LF or CR LF (a CR that ends the text counts as a line end
// too); any other CR is part of its line.
#include <cstddef>
#include <string>
#include <string_view>

namespace profile {

// The value of `key` in `section`, without surrounding spaces and tabs, cut to its first
// n - 1 bytes (nothing when n is 0); `fallback`, cut the same way, when the section or
// the key does not exist.
std::string ReadString(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view fallback, std::size_t n);

// Whether a line opens `section`.
bool HasSection(std::string_view text, std::string_view section);

// Sets `key` in `section` to `value` within `text`:
// - an existing key keeps its line's text up to and including "=" and its line end; only
//   what follows "=" becomes `value`;
// - a missing key is added after the last key line of its section (or right after the
//   section line when it has no keys), so blank lines and comments that precede the next
//   section stay before it;
// - a missing section is added at the end, with the key.
// Every other line stays byte for byte. New lines end like the text's first line does,
// with CR LF when the text has no line end yet.
// Returns false and leaves `text` alone when a name or the value could not be read back:
// a line break or NUL anywhere, "]" in the section, "=" in the key, a key that is empty
// or starts with "[" or ";".
bool WriteString(std::string& text, std::string_view section, std::string_view key,
                 std::string_view value);

} // namespace profile
