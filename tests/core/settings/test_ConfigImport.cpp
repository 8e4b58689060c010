#include <gtest/gtest.h>

#include <string>

#include "core/settings/ConfigImport.h"
#include "core/settings/ProfileText.h"

using namespace std::string_literals;

namespace {

// "; 理科室の設定" and "mol=5" in code page 932, as a Japanese Windows editor saves it.
const std::string kCp932 = "; \x97\x9D\x89\xC8\x8E\xBA\x82\xCC\x90\xDD\x92\xE8\r\n[DATA]\r\nmol=5\r\n"s;
// The same text in UTF-16 (no mark) and UTF-8.
const std::u16string kText = u"; 理科室の設定\r\n[DATA]\r\nmol=5\r\n";
const std::string kUtf8 = "; \xE7\x90\x86\xE7\xA7\x91\xE5\xAE\xA4\xE3\x81\xAE\xE8\xA8\xAD\xE5\xAE\x9A\r\n[DATA]\r\nmol=5\r\n"s;

std::string Utf16(std::u16string_view text, bool bigEndian, bool mark = true)
{
    std::string out = mark ? (bigEndian ? "\xFE\xFF"s : "\xFF\xFE"s) : ""s;
    for (const char16_t u : text) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST(ConfigImport, KeepsTheDesktopsBytesAndTakesUtf16IntoItsCodePage)
{
    struct Case {
        const char* what;
        std::string file;
        std::string kept;
        int mol; // as the activation reads what is kept
    };
    const Case cases[] = {
        {"code page 932, Japanese comment", kCp932, kCp932, 5},
        {"UTF-8 with its mark: kept, mark too", "\xEF\xBB\xBF" + kUtf8, "\xEF\xBB\xBF" + kUtf8, 5},
        {"UTF-8 without a mark", kUtf8, kUtf8, 5},
        {"UTF-16 little-endian", Utf16(kText, false), kCp932, 5},
        {"UTF-16 big-endian", Utf16(kText, true), kCp932, 5},
        {"characters code page 932 lacks", Utf16(u"; \U0001F600 \u00E9\n[DATA]\n", false), "; ? ?\n[DATA]\n", 1},
        {"section name in other case", "[data]\nMOL=2\n", "[data]\nMOL=2\n", 2},
        {"no line end at all", "[DATA]", "[DATA]", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = mdlSystem::ImportConfigBytes(c.file, c.file.size());
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_EQ(r.bytes, c.kept);
        SystemSettings s{};
        mdlSystem::LoadSystemSettingsFromText(s, r.bytes);
        EXPECT_EQ(s.mol, c.mol);
    }
}

TEST(ConfigImport, RefusesWhatIsNoSettingsFileAndSaysWhy)
{
    struct Case {
        const char* what;
        std::string file;
        std::size_t size;
        const char* reason;
    };
    const std::string big = "[DATA]\n" + std::string(mdlSystem::kMaxImportBytes, ';');
    const Case cases[] = {
        {"UTF-16 without its mark", Utf16(kText, false, false), 0, "BOM"},
        {"UTF-16 cut inside a character", Utf16(kText, false) + "x", 0, "UTF-16"},
        {"UTF-32 (a NUL after the UTF-16 mark)", "\xFF\xFE\0\0[\0\0\0"s, 0, "文字のファイルではありません"},
        {"a picture", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, 0, "文字のファイルではありません"},
        {"no [DATA] section", "[OTHER]\nmol=5\n", 0, "[DATA]"},
        {"keys before any section", "mol=5\n", 0, "[DATA]"},
        {"empty", "", 0, "[DATA]"},
        {"larger than a settings file, read in part", "[DATA]\nmol=5\n", mdlSystem::kMaxImportBytes + 1, "大きすぎます"},
        {"larger than a settings file, read whole", big, 0, "大きすぎます"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = mdlSystem::ImportConfigBytes(c.file, c.size ? c.size : c.file.size());
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.reason.find(c.reason), std::string::npos) << r.reason;
    }
}

TEST(ConfigImport, ASaveChangesOnlyTheValuesOfAnImportedFile)
{
    const auto r = mdlSystem::ImportConfigBytes(kCp932 + "[school]\r\nroom=\x97\x9D\x89\xC8\r\n"s, 100);
    ASSERT_TRUE(r.ok);
    SystemSettings s{};
    mdlSystem::LoadSystemSettingsFromText(s, r.bytes);
    s.container = 10;
    const std::string saved = mdlSystem::SaveSystemSettingsToText(s, r.bytes);
    EXPECT_EQ(saved.substr(0, 16), kCp932.substr(0, 16)) << "the comment's bytes";
    EXPECT_NE(saved.find("[school]\r\nroom=\x97\x9D\x89\xC8\r\n"), std::string::npos);
    SystemSettings back{};
    mdlSystem::LoadSystemSettingsFromText(back, saved);
    EXPECT_EQ(back, s);
}

} // namespace
