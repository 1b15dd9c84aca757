// UTF-8 (the program's own strings) to and from the wide strings of the Windows calls.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/Utf16.h"

namespace hvx::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring Widen(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace hvx::win32
