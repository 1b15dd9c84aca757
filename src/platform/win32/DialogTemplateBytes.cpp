#include "platform/win32/DialogTemplateBytes.h"

#include <string_view>

#include "platform/win32/Utf16.h"

namespace hvx::win32 {

namespace {

class Writer {
  public:
    void Byte(uint8_t v) { m_bytes.push_back(v); }
    void Word(uint16_t v) {
        Byte(static_cast<uint8_t>(v & 0xFF));
        Byte(static_cast<uint8_t>(v >> 8));
    }
    void Dword(uint32_t v) {
        Word(static_cast<uint16_t>(v & 0xFFFF));
        Word(static_cast<uint16_t>(v >> 16));
    }
    void Short(short v) { Word(static_cast<uint16_t>(v)); }
    // A NUL-terminated UTF-16 string.
    void String(std::u16string_view text) {
        for (char16_t c : text) Word(static_cast<uint16_t>(c));
        Word(0);
    }
    void Text(const char* text) { String(Utf8ToUtf16(text != nullptr ? text : "")); }
    void AlignDword() {
        while (m_bytes.size() % 4 != 0) Byte(0);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

  private:
    std::vector<uint8_t> m_bytes;
};

constexpr uint16_t kOrdinalMarker = 0xFFFF;
constexpr uint32_t kWsChild = 0x40000000;
constexpr uint32_t kWsVisible = 0x10000000;
constexpr uint8_t kDefaultCharset = 1;

void WriteClass(Writer& out, ControlClass cls) {
    switch (cls) {
        case ControlClass::Button:
            out.Word(kOrdinalMarker), out.Word(kAtomButton);
            break;
        case ControlClass::Edit:
            out.Word(kOrdinalMarker), out.Word(kAtomEdit);
            break;
        case ControlClass::Static:
            out.Word(kOrdinalMarker), out.Word(kAtomStatic);
            break;
        case ControlClass::ComboBox:
            out.Word(kOrdinalMarker), out.Word(kAtomComboBox);
            break;
        case ControlClass::Trackbar:
            out.String(kTrackbarClass);
            break;
    }
}

}  // namespace

std::vector<uint8_t> BuildDialogTemplate(const DialogTemplate& dialog) {
    Writer out;
    const uint32_t style = dialog.style | kDsCenter;
    const uint32_t exStyle = (dialog.style & style::DsSysModal) != 0 ? kWsExTopmost : 0;
    const auto count = static_cast<uint16_t>(dialog.controls.size());

    if (dialog.extended) {
        out.Word(1);       // dlgVer
        out.Word(0xFFFF);  // signature
        out.Dword(0);      // helpID
        out.Dword(exStyle);
        out.Dword(style);
    } else {
        out.Dword(style);
        out.Dword(exStyle);
    }
    out.Word(count);
    out.Short(0), out.Short(0), out.Short(dialog.cx), out.Short(dialog.cy);
    out.Word(0);  // no menu
    out.Word(0);  // the standard dialog class
    out.Text(dialog.caption);
    if ((dialog.style & style::DsSetFont) != 0) {
        out.Word(static_cast<uint16_t>(dialog.fontPoints));
        if (dialog.extended) {
            out.Word(0);  // weight: the face's own
            out.Byte(0);  // not italic
            out.Byte(kDefaultCharset);
        }
        out.Text(dialog.fontFace);
    }

    for (const ControlTemplate& control : dialog.controls) {
        out.AlignDword();
        const uint32_t controlStyle = control.style | kWsChild | kWsVisible;
        if (dialog.extended) {
            out.Dword(0);  // helpID
            out.Dword(control.exStyle);
            out.Dword(controlStyle);
        } else {
            out.Dword(controlStyle);
            out.Dword(control.exStyle);
        }
        out.Short(control.x), out.Short(control.y), out.Short(control.cx), out.Short(control.cy);
        if (dialog.extended)
            out.Dword(static_cast<uint32_t>(control.id));
        else
            out.Word(static_cast<uint16_t>(control.id));
        WriteClass(out, control.cls);
        out.Text(control.text);
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace hvx::win32
