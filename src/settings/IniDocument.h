// The text of a small settings file: [section] headers and name=value lines holding 32-bit
// values in decimal. Section and value names match without regard to ASCII case, as registry
// names do. Lines it does not understand (comments, foreign entries) are kept as they stand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hvx {

// True, with value filled in, for decimal digits (blanks around them allowed) that fit in 32
// bits; anything else is malformed.
bool ParseDword(std::string_view text, uint32_t& value);

class IniDocument {
  public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // True, with value filled in, when the section holds the name with a well-formed value.
    // The first entry of that name counts.
    bool ReadDword(std::string_view section, std::string_view name, uint32_t& value) const;
    // Replaces the first entry of that name or adds one at the end of the section, adding the
    // section when there is none. False, with nothing changed, for a section or name that the
    // file format cannot hold.
    bool WriteDword(std::string_view section, std::string_view name, uint32_t value);

    std::string Text() const;

  private:
    // The line of the first entry of name in section, or npos; sectionEnd receives the line
    // after the last entry of the first such section (npos when there is no section).
    size_t Find(std::string_view section, std::string_view name, size_t& sectionEnd) const;

    std::vector<std::string> m_lines;
    bool m_bom = false;  // the text started with a UTF-8 byte-order mark
};

}  // namespace hvx
