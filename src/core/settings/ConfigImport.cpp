#include "core/settings/ConfigImport.h"

#include <limits>

#include "core/model/NumText.h"
#include "core/scenario/Cp932Text.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/ProfileText.h"

namespace mdlSystem {

namespace {

ImportedConfig Refused(std::string reason)
{
    ImportedConfig r;
    r.reason = std::move(reason);
    return r;
}

} // namespace

ImportedConfig ImportConfigBytes(std::string_view file, std::size_t fileSize, i18n::Lang lang)
{
    if (fileSize > kMaxImportBytes || file.size() > kMaxImportBytes)
        return Refused(i18n::Format(lang, "config.fault.too_large",
                                    {numtext::FormatWhole(static_cast<std::int64_t>(kMaxImportBytes / 1024))}));
    std::string bytes(file);
    const bool le = file.substr(0, 2) == "\xFF\xFE", be = file.substr(0, 2) == "\xFE\xFF";
    if (le || be) {
        const std::string_view body = file.substr(2);
        if (body.size() % 2 != 0) return Refused(std::string(i18n::Text(lang, "config.fault.utf16_cut")));
        std::u16string text;
        text.reserve(body.size() / 2);
        for (std::size_t i = 0; i < body.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(body[i + (be ? 1 : 0)]);
            const auto hi = static_cast<unsigned char>(body[i + (be ? 0 : 1)]);
            text.push_back(static_cast<char16_t>(hi << 8 | lo));
        }
        if (text.find(u'\0') != std::u16string::npos)
            return Refused(std::string(i18n::Text(lang, "config.fault.not_text")));
        bytes = cp932::Encode(text, std::numeric_limits<std::size_t>::max());
    }
    if (bytes.find('\0') != std::string::npos)
        return Refused(std::string(i18n::Text(lang, "config.fault.no_bom")));
    if (!profile::HasSection(bytes, kSection))
        return Refused(std::string(i18n::Text(lang, "config.fault.no_section")));
    ImportedConfig r;
    r.ok = true;
    r.bytes = std::move(bytes);
    return r;
}

} // namespace mdlSystem
