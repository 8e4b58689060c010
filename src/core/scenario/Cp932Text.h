#pragma once
// Text in Windows code page 932 (Shift-JIS with the NEC and IBM extensions).
#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// The encoding of `text`, at most `maxBytes` long, ending before the first character that
// would not fit whole. A character the code page lacks, a lone surrogate included, is "?".
std::string Encode(std::u16string_view text, std::size_t maxBytes);

// The text of `bytes`; each sequence that is not valid cp932 becomes U+FFFD and decoding
// goes on after it. Never longer than `bytes`.
std::u16string Decode(std::string_view bytes);

} // namespace cp932
