// Turns a dialog template of resources/ into the in-memory form DialogBoxIndirectParamW takes
// (DLGTEMPLATE, or DLGTEMPLATEEX for an extended template). Plain standard C++ that writes the
// documented little-endian layout, so it is tested natively; only the Windows build uses it.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/DialogTemplates.h"

namespace hvx::win32 {

// Windows numbers the builder adds on top of the template's own styles.
inline constexpr uint32_t kDsCenter = 0x0800;
inline constexpr uint32_t kWsExTopmost = 0x00000008;

// Predefined control classes by atom, as a resource compiler writes them.
inline constexpr uint16_t kAtomButton = 0x0080;
inline constexpr uint16_t kAtomEdit = 0x0081;
inline constexpr uint16_t kAtomStatic = 0x0082;
inline constexpr uint16_t kAtomComboBox = 0x0085;
inline constexpr char16_t kTrackbarClass[] = u"msctls_trackbar32";

// What the builder writes besides the template's data:
// - every control gets WS_CHILD | WS_VISIBLE;
// - the dialog is centred on the screen (DS_CENTER), since it has no visible owner to sit on;
// - a system-modal template (DS_SYSMODAL) is also marked WS_EX_TOPMOST, which is all that style
//   still means on 32-bit Windows, so the dialog is topmost whatever the window manager does
//   with the old flag.
// The result is a sequence of bytes starting on an allocation boundary, which is aligned well
// beyond the DWORD the dialog manager needs.
std::vector<uint8_t> BuildDialogTemplate(const DialogTemplate& dialog);

}  // namespace hvx::win32
