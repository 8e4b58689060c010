#pragma once
// UTF-8 <-> UTF-16 for the texts that cross the C interface. Malformed UTF-8 reads as
// U+FFFD per bad byte; lone surrogates write as U+FFFD.
#include <string>
#include <string_view>

namespace utf {

std::u16string Utf16Of(std::string_view utf8);
std::string Utf8Of(std::u16string_view utf16);

} // namespace utf
