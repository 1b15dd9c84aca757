// The Windows build's portable helpers: UTF-8/UTF-16 conversion and the in-memory dialog
// templates handed to DialogBoxIndirectParamW. The templates are read back with an independent
// reader of the documented layout, so a wrong field, a missing terminator or a misaligned item
// shows up as a wrong value rather than as a dialog that Windows silently refuses to build.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/DialogTemplateBytes.h"
#include "platform/win32/Utf16.h"

namespace hvx::win32 {
namespace {

// --- UTF-8 <-> UTF-16 ------------------------------------------------------------------------

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

TEST(Utf16Test, DecodesUtf8AndReplacesMalformedInput) {
    const std::vector<Utf8Case> cases = {
        {"empty", "", u""},
        {"ascii", "Run at startup", u"Run at startup"},
        {"two and three bytes",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC",
         u"Gr\u00FC\u00DFe \u20AC"},
        {"four bytes become a surrogate pair", "\xF0\x9D\x84\x9E", u"\xD834\xDD1E"},
        {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"cut sequence at the end", "x\xE2\x82", u"x\uFFFD\uFFFD"},
        {"cut sequence before ascii", "\xE2\x82z", u"\uFFFD\uFFFDz"},
        {"surrogate written in UTF-8", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"invalid lead byte", "\xFF", u"\uFFFD"},
    };
    for (const Utf8Case& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
}

TEST(Utf16Test, EncodesUtf16AndReplacesUnpairedSurrogates) {
    EXPECT_EQ(Utf16ToUtf8(u"C:\\Program Files\\Gr\u00FC\u00DFe\\HVX.exe"),
              "C:\\Program Files\\Gr\xC3\xBC\xC3\x9F"
              "e\\HVX.exe");
    EXPECT_EQ(Utf16ToUtf8(u"\xD834\xDD1E"), "\xF0\x9D\x84\x9E");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a\xD834z")), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"\xDD1E")), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"z\xD834")), "z\xEF\xBF\xBD");
}

TEST(Utf16Test, RoundTripsEveryPlane) {
    const std::string text =
        "A \xC3\xA9 \xE4\xB8\xAD \xEF\xBF\xBD \xF0\x9F\x94\x8A \xF4\x8F\xBF\xBF";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
}

// --- Reading a built template back --------------------------------------------------------------

class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}
    uint8_t Byte() {
        if (m_pos >= m_bytes.size()) {
            ADD_FAILURE() << "read past the end at " << m_pos;
            return 0;
        }
        return m_bytes[m_pos++];
    }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    uint32_t Dword() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
    short Short() { return static_cast<short>(Word()); }
    std::u16string String() {
        std::u16string s;
        for (uint16_t c = Word(); c != 0; c = Word()) s += static_cast<char16_t>(c);
        return s;
    }
    // A class or title field: a string, or 0xFFFF and an ordinal (returned as "#n").
    std::u16string StringOrOrdinal() {
        const uint16_t first = Word();
        if (first == 0xFFFF) {
            const std::string n = "#" + std::to_string(Word());
            return std::u16string(n.begin(), n.end());
        }
        std::u16string s;
        for (uint16_t c = first; c != 0; c = Word()) s += static_cast<char16_t>(c);
        return s;
    }
    void AlignDword() {
        while (m_pos % 4 != 0) EXPECT_EQ(Byte(), 0) << "padding must be zero";
    }
    size_t Position() const { return m_pos; }
    bool AtEnd() const { return m_pos == m_bytes.size(); }

  private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
};

struct ReadItem {
    uint32_t style, exStyle;
    short x, y, cx, cy;
    int32_t id;
    std::u16string cls, text;
};

struct ReadDialog {
    uint32_t style = 0, exStyle = 0;
    uint16_t count = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::u16string menu, cls, caption, face;
    uint16_t points = 0, weight = 0;
    uint8_t italic = 0, charset = 0;
    std::vector<ReadItem> items;
};

ReadDialog Read(const std::vector<uint8_t>& bytes, bool extended) {
    Reader in(bytes);
    ReadDialog d;
    if (extended) {
        EXPECT_EQ(in.Word(), 1) << "dlgVer";
        EXPECT_EQ(in.Word(), 0xFFFF) << "signature";
        EXPECT_EQ(in.Dword(), 0u) << "helpID";
        d.exStyle = in.Dword();
        d.style = in.Dword();
    } else {
        d.style = in.Dword();
        d.exStyle = in.Dword();
    }
    d.count = in.Word();
    d.x = in.Short(), d.y = in.Short(), d.cx = in.Short(), d.cy = in.Short();
    d.menu = in.StringOrOrdinal();
    d.cls = in.StringOrOrdinal();
    d.caption = in.String();
    if (d.style & style::DsSetFont) {
        d.points = in.Word();
        if (extended) {
            d.weight = in.Word();
            d.italic = in.Byte();
            d.charset = in.Byte();
        }
        d.face = in.String();
    }
    for (int i = 0; i < d.count; ++i) {
        in.AlignDword();
        ReadItem item{};
        if (extended) {
            EXPECT_EQ(in.Dword(), 0u) << "item helpID";
            item.exStyle = in.Dword();
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            item.exStyle = in.Dword();
        }
        item.x = in.Short(), item.y = in.Short(), item.cx = in.Short(), item.cy = in.Short();
        item.id = extended ? static_cast<int32_t>(in.Dword()) : static_cast<int16_t>(in.Word());
        item.cls = in.StringOrOrdinal();
        item.text = in.StringOrOrdinal();
        EXPECT_EQ(in.Word(), 0) << "creation data";
        d.items.push_back(item);
    }
    EXPECT_TRUE(in.AtEnd()) << "trailing bytes after the last item at " << in.Position();
    return d;
}

std::u16string U16(const char* text) {
    return Utf8ToUtf16(text);
}

std::u16string ExpectedClass(ControlClass cls) {
    switch (cls) {
        case ControlClass::Button:
            return u"#128";
        case ControlClass::Edit:
            return u"#129";
        case ControlClass::Static:
            return u"#130";
        case ControlClass::ComboBox:
            return u"#133";
        case ControlClass::Trackbar:
            return u"msctls_trackbar32";
    }
    return u"?";
}

constexpr uint32_t kChildVisible = style::Child | style::Visible;

TEST(DialogTemplateBytesTest, EveryTemplateReadsBackAsItsData) {
    for (const DialogTemplate* t : AllDialogTemplates()) {
        SCOPED_TRACE("template " + std::to_string(t->id));
        const ReadDialog d = Read(BuildDialogTemplate(*t), t->extended);
        EXPECT_EQ(d.style, t->style | kDsCenter);
        EXPECT_EQ(d.count, t->controls.size());
        EXPECT_EQ(d.x, 0);
        EXPECT_EQ(d.y, 0);
        EXPECT_EQ(d.cx, t->cx);
        EXPECT_EQ(d.cy, t->cy);
        EXPECT_EQ(d.menu, u"");
        EXPECT_EQ(d.cls, u"");
        EXPECT_EQ(d.caption, U16(t->caption));
        EXPECT_EQ(d.points, t->fontPoints);
        EXPECT_EQ(d.face, U16(t->fontFace));
        ASSERT_EQ(d.items.size(), t->controls.size());
        for (size_t i = 0; i < d.items.size(); ++i) {
            const ControlTemplate& c = t->controls[i];
            const ReadItem& item = d.items[i];
            SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(c.id));
            EXPECT_EQ(item.style, c.style | kChildVisible);
            EXPECT_EQ(item.exStyle, c.exStyle);
            EXPECT_EQ(item.x, c.x);
            EXPECT_EQ(item.y, c.y);
            EXPECT_EQ(item.cx, c.cx);
            EXPECT_EQ(item.cy, c.cy);
            EXPECT_EQ(item.id, c.id);
            EXPECT_EQ(item.cls, ExpectedClass(c.cls));
            EXPECT_EQ(item.text, U16(c.text));
        }
    }
}

TEST(DialogTemplateBytesTest, OnlySystemModalDialogsAreTopmost) {
    for (const DialogTemplate* t : AllDialogTemplates()) {
        const ReadDialog d = Read(BuildDialogTemplate(*t), t->extended);
        const bool sysModal = (t->style & style::DsSysModal) != 0;
        EXPECT_EQ(d.exStyle, sysModal ? kWsExTopmost : 0u) << "template " << t->id;
    }
    // The confirmation and the alarm are the two that must come up above everything.
    for (int id : {118, 119})
        EXPECT_NE(FindDialogTemplate(id)->style & style::DsSysModal, 0u) << id;
}

TEST(DialogTemplateBytesTest, ExtendedTemplateCarriesFontDetailsAndFullIds) {
    const DialogTemplate* about = FindDialogTemplate(106);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->extended);
    const ReadDialog d = Read(BuildDialogTemplate(*about), true);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);  // DEFAULT_CHARSET
    EXPECT_EQ(d.items.front().id, -1);
}

TEST(DialogTemplateBytesTest, TextOutsideAsciiAndTemplatesWithoutFont) {
    const ControlTemplate controls[] = {
        {ControlClass::Static, 7, "\xC3\x84nderung \xF0\x9F\x94\x8A", 0, 0, 1, 2, 3, 4},
        {ControlClass::Edit, 8, "", style::EsAutoHScroll, style::ExClientEdge, 5, 6, 7, 8},
    };
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended ? "extended" : "classic");
        const DialogTemplate t{
            1, "L\xC3\xA4rm", style::Popup | style::Caption, extended, 40, 30, nullptr,
            0, controls};
        const ReadDialog d = Read(BuildDialogTemplate(t), extended);
        EXPECT_EQ(d.caption, u"L\u00E4rm");
        EXPECT_EQ(d.face, u"");  // no DS_SETFONT: no font fields at all
        ASSERT_EQ(d.items.size(), 2u);
        EXPECT_EQ(d.items[0].text, u"\u00C4nderung \xD83D\xDD0A");
        EXPECT_EQ(d.items[1].text, u"");
        EXPECT_EQ(d.items[1].exStyle, style::ExClientEdge);
    }
}

}  // namespace
}  // namespace hvx::win32
