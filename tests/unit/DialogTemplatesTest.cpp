// Dialog-unit layout and the Windows build's portable helpers: UTF-8/UTF-16 conversion and the
// in-memory templates for DialogBoxIndirectParamW. The built templates are read back with an
// independent reader of the documented layout, so a wrong field, a missing terminator or a
// misaligned item shows up as a wrong value rather than as a dialog Windows refuses to build.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/win32/DialogTemplateBytes.h"
#include "platform/win32/Utf16.h"
#include "resources/DialogUnits.h"

namespace hvx::win32 {
namespace {

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero) {
    // clang-format off
    const std::array<int, 4> cases[] = {{9, 96, 72, 12}, {8, 96, 72, 11}, {1, 1, 2, 1}, {-1, 1, 2, -1},
        {3, 5, 4, 4}, {5, 6, 4, 8}, {2, 3, 0, 0}, {-7, 6, -4, 11}, {100000, 100000, 100000, 100000}};
    // clang-format on
    for (const auto& [a, b, c, expected] : cases)
        EXPECT_EQ(MulDiv(a, b, c), expected) << a << "*" << b << "/" << c;
    EXPECT_EQ(FontPixelHeight(9, 120), 15);
}

TEST(DialogUnits, BaseUnitsAndRectangles) {
    // 52 letters: 285 px averages 5.48 → 5, 286 px averages 5.5 → 6.
    EXPECT_EQ(BaseUnitsFromFont(285, 14).x, 5);
    EXPECT_EQ(BaseUnitsFromFont(286, 14).x, 6);
    EXPECT_EQ(BaseUnitsFromFont(286, 14).y, 14);
    EXPECT_EQ(BaseUnitsFromFont(0, 0).x * BaseUnitsFromFont(0, 0).y, 1);  // still lays out
    // The Settings OK button, 69,171 50x15: x by a quarter, y by an eighth of the base units.
    const PixelRect ok = MapDialogRect(69, 171, 50, 15, DialogBaseUnits{6, 15});
    EXPECT_EQ(std::vector<int>({ok.x, ok.y, ok.width, ok.height}),
              std::vector<int>({104, 321, 75, 28}));
}

TEST(Utf16, ConvertsBothWaysAndReplacesMalformedInput) {
    // clang-format off
    const std::pair<std::string, std::u16string> decoded[] = {
        {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", u"Gr\u00FC\u00DFe \u20AC"},
        {"\xF0\x9D\x84\x9E", u"\xD834\xDD1E"},              // a surrogate pair
        {"a\x80z", u"a\uFFFDz"},                            // stray continuation byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong slash
        {"x\xE2\x82", u"x\uFFFD\uFFFD"},                    // cut at the end
        {"\xE2\x82z", u"\uFFFD\uFFFDz"},                    // cut before ASCII
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate written in UTF-8
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xFF", u"\uFFFD"}};
    // clang-format on
    for (const auto& [utf8, utf16] : decoded) EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
    const std::string text = "A \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x94\x8A \xF4\x8F\xBF\xBF";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    // Unpaired surrogates become U+FFFD.
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a\xD834z\xDD1E")), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
}

class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}
    uint8_t Byte() {
        if (m_pos < m_bytes.size()) return m_bytes[m_pos++];
        ADD_FAILURE() << "read past the end";
        return 0;
    }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    uint32_t Dword() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
    std::vector<short> Rect() {  // a braced list reads its four words in order
        return {short(Word()), short(Word()), short(Word()), short(Word())};
    }
    // A NUL-terminated string, or where allowed 0xFFFF and an ordinal (returned as "#n").
    std::u16string String(bool ordinalAllowed = false) {
        std::u16string s;
        uint16_t c = Word();
        if (ordinalAllowed && c == 0xFFFF) {
            for (char n : "#" + std::to_string(Word())) s += static_cast<char16_t>(n);
            return s;
        }
        for (; c != 0; c = Word()) s += static_cast<char16_t>(c);
        return s;
    }
    void AlignDword() {
        while (m_pos % 4 != 0) EXPECT_EQ(Byte(), 0) << "padding must be zero";
    }
    bool AtEnd() const { return m_pos == m_bytes.size(); }

  private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
};

// The predefined classes by atom, the trackbar by name.
std::u16string ClassOf(ControlClass cls) {
    const char16_t* const names[] = {u"#128", u"#129", u"#130", u"#133", u"msctls_trackbar32"};
    return names[static_cast<int>(cls)];  // Button, Edit, Static, ComboBox, Trackbar
}

// Builds t and reads every field back, in the order the DLGTEMPLATE(EX) layout gives them.
void ExpectReadsBackAsItsData(const DialogTemplate& t) {
    const std::vector<uint8_t> bytes = BuildDialogTemplate(t);
    Reader in(bytes);
    const bool ex = t.extended;
    EXPECT_EQ(ex ? in.Dword() : 0xFFFF0001u, 0xFFFF0001u) << "dlgVer 1, signature 0xFFFF";
    EXPECT_EQ(ex ? in.Dword() : 0u, 0u) << "helpID";
    uint32_t first = in.Dword(), second = in.Dword();
    EXPECT_EQ(ex ? second : first, t.style | kDsCenter);
    // Only the system-modal dialogs come up above everything.
    EXPECT_EQ(ex ? first : second, (t.style & style::DsSysModal) ? kWsExTopmost : 0u);
    EXPECT_EQ(in.Word(), t.controls.size());
    EXPECT_EQ(in.Rect(), (std::vector<short>{0, 0, t.cx, t.cy}));
    EXPECT_EQ(in.String(true) + in.String(true), u"") << "no menu, the standard class";
    EXPECT_EQ(in.String(), Utf8ToUtf16(t.caption));
    if (t.style & style::DsSetFont) {
        EXPECT_EQ(in.Word(), t.fontPoints);
        EXPECT_EQ(ex ? in.Dword() : 0x01000000u, 0x01000000u) << "weight, italic, charset";
        EXPECT_EQ(in.String(), Utf8ToUtf16(t.fontFace));
    }
    for (const ControlTemplate& c : t.controls) {
        SCOPED_TRACE("control " + std::to_string(c.id));
        in.AlignDword();
        EXPECT_EQ(ex ? in.Dword() : 0u, 0u) << "helpID";
        first = in.Dword(), second = in.Dword();
        EXPECT_EQ(ex ? second : first, c.style | style::Child | style::Visible);
        EXPECT_EQ(ex ? first : second, c.exStyle);
        EXPECT_EQ(in.Rect(), (std::vector<short>{c.x, c.y, c.cx, c.cy}));
        EXPECT_EQ(ex ? static_cast<int32_t>(in.Dword()) : static_cast<int16_t>(in.Word()), c.id);
        EXPECT_EQ(in.String(true), ClassOf(c.cls));
        EXPECT_EQ(in.String(true), Utf8ToUtf16(c.text));
        EXPECT_EQ(in.Word(), 0) << "creation data";
    }
    EXPECT_TRUE(in.AtEnd()) << "trailing bytes after the last item";
}

TEST(DialogTemplateBytes, EveryTemplateReadsBackAsItsData) {
    for (const DialogTemplate* t : AllDialogTemplates()) {
        SCOPED_TRACE("template " + std::to_string(t->id));
        ExpectReadsBackAsItsData(*t);
        // The confirmation and the alarm must come up above everything.
        EXPECT_EQ((t->style & style::DsSysModal) != 0, t->id == 118 || t->id == 119);
    }
}

TEST(DialogTemplateBytes, TextOutsideAsciiAndTemplatesWithoutFont) {
    const ControlTemplate controls[] = {
        {ControlClass::Static, 7, "\xC3\x84nderung \xF0\x9F\x94\x8A", 0, 0, 1, 2, 3, 4},
        {ControlClass::Edit, 8, "", style::EsAutoHScroll, style::ExClientEdge, 5, 6, 7, 8},
    };
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended ? "extended" : "classic");
        ExpectReadsBackAsItsData({1, "L\xC3\xA4rm", style::Popup | style::Caption, extended, 40, 30,
                                  nullptr, 0, controls});
    }
}

}  // namespace
}  // namespace hvx::win32
