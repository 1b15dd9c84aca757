// UTF-8 <-> UTF-16 for the wide Windows calls. Plain standard C++, so it is tested natively.
#pragma once

#include <string>
#include <string_view>

namespace hvx::win32 {

// Malformed input (stray continuation bytes, overlong forms, surrogates encoded in UTF-8, cut
// sequences) becomes U+FFFD rather than being dropped or passed through.
std::u16string Utf8ToUtf16(std::string_view text);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace hvx::win32
