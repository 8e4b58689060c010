#pragma once
// Code page 932 through ICU, as the desktop converted before it carried its own table: the
// reference the table is held against, code point by code point.
#include <cstddef>
#include <string>
#include <string_view>

namespace cp932_icu {

std::string Encode(std::u16string_view text, std::size_t maxBytes);
std::u16string Decode(std::string_view bytes);

} // namespace cp932_icu
