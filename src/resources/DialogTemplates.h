// Dialog templates as data: every dialog's frame and controls in dialog units, with the same
// class, style and text numbers a Windows resource script would hold. Each platform builds its
// dialogs from these.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace hvx {

// Window and control styles (the Windows values).
namespace style {
inline constexpr uint32_t Popup = 0x80000000;
inline constexpr uint32_t Child = 0x40000000;
inline constexpr uint32_t Visible = 0x10000000;
inline constexpr uint32_t Caption = 0x00C00000;
inline constexpr uint32_t Border = 0x00800000;
inline constexpr uint32_t VScroll = 0x00200000;
inline constexpr uint32_t SysMenu = 0x00080000;
inline constexpr uint32_t Group = 0x00020000;
inline constexpr uint32_t TabStop = 0x00010000;

inline constexpr uint32_t DsSysModal = 0x0002;
inline constexpr uint32_t DsSetFont = 0x0040;
inline constexpr uint32_t DsModalFrame = 0x0080;

inline constexpr uint32_t BsPushButton = 0x0;
inline constexpr uint32_t BsDefPushButton = 0x1;
inline constexpr uint32_t BsAutoCheckBox = 0x3;
inline constexpr uint32_t BsGroupBox = 0x7;
inline constexpr uint32_t BsAutoRadioButton = 0x9;
inline constexpr uint32_t BsTypeMask = 0xF;

inline constexpr uint32_t EsLeft = 0x0;
inline constexpr uint32_t EsCenter = 0x1;
inline constexpr uint32_t EsRight = 0x2;
inline constexpr uint32_t EsUpperCase = 0x8;
inline constexpr uint32_t EsAutoHScroll = 0x80;
inline constexpr uint32_t EsReadOnly = 0x800;

inline constexpr uint32_t SsLeft = 0x0;
inline constexpr uint32_t SsCenter = 0x1;

inline constexpr uint32_t CbsDropDown = 0x2;
inline constexpr uint32_t CbsAutoHScroll = 0x40;
inline constexpr uint32_t CbsUpperCase = 0x2000;

inline constexpr uint32_t TbsHorz = 0x0;
inline constexpr uint32_t TbsAutoTicks = 0x1;
inline constexpr uint32_t TbsBoth = 0x8;
inline constexpr uint32_t TbsNoTicks = 0x10;

inline constexpr uint32_t ExClientEdge = 0x00000200;
}  // namespace style

enum class ControlClass { Button, Edit, Static, ComboBox, Trackbar };

// The id of a control that no code addresses.
inline constexpr int IDC_STATIC = -1;

struct ControlTemplate {
    ControlClass cls;
    int id;
    const char* text;
    uint32_t style;  // without Child and Visible, which every control has
    uint32_t exStyle;
    short x, y, cx, cy;
};

struct DialogTemplate {
    int id;
    const char* caption;
    uint32_t style;
    bool extended;  // built as an extended template
    short cx, cy;
    const char* fontFace;
    int fontPoints;
    std::span<const ControlTemplate> controls;
};

// The template with this id, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// Every template, for code that walks them all (tests, the layout check).
std::span<const DialogTemplate* const> AllDialogTemplates();

// The items of the Auto Shutdown dialog's weekday list, index = ActionDay - 1.
std::span<const char* const> WeekdayList();

// Kind of a button, from its style.
inline uint32_t ButtonKind(const ControlTemplate& c) {
    return c.style & style::BsTypeMask;
}

}  // namespace hvx
