#include "settings/IniDocument.h"

#include <limits>

namespace hvx {

namespace {

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool IsSectionLine(std::string_view line, std::string_view& name) {
    const std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    name = Trim(t.substr(1, t.size() - 2));
    return true;
}

bool IsEntryLine(std::string_view line, std::string_view& name, std::string_view& value) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return false;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    name = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return !name.empty();
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

bool ParseDword(std::string_view text, uint32_t& value) {
    const std::string_view digits = Trim(text);
    if (digits.empty()) return false;
    uint64_t result = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + static_cast<uint64_t>(c - '0');
        if (result > std::numeric_limits<uint32_t>::max()) return false;
    }
    value = static_cast<uint32_t>(result);
    return true;
}

IniDocument::IniDocument(std::string_view text) {
    // Editors that save UTF-8 with a byte-order mark put it before the first section header;
    // it is kept for the rewrite but is no part of the first line.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.starts_with(kBom)) {
        m_bom = true;
        text.remove_prefix(kBom.size());
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        m_lines.emplace_back(line);
        start = end + 1;
    }
}

size_t IniDocument::Find(std::string_view section, std::string_view name,
                         size_t& sectionEnd) const {
    sectionEnd = std::string::npos;
    bool inSection = false;
    bool firstSectionOpen = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view header, key, value;
        if (IsSectionLine(m_lines[i], header)) {
            inSection = EqualNoCase(header, section);
            if (inSection && sectionEnd == std::string::npos) {
                sectionEnd = i + 1;
                firstSectionOpen = true;
            } else {
                firstSectionOpen = false;
            }
            continue;
        }
        if (!inSection || !IsEntryLine(m_lines[i], key, value)) continue;
        if (firstSectionOpen) sectionEnd = i + 1;
        if (EqualNoCase(key, name)) return i;
    }
    return std::string::npos;
}

bool IniDocument::ReadDword(std::string_view section, std::string_view name,
                            uint32_t& value) const {
    size_t sectionEnd = 0;
    const size_t line = Find(section, name, sectionEnd);
    if (line == std::string::npos) return false;
    std::string_view key, text;
    IsEntryLine(m_lines[line], key, text);
    return ParseDword(text, value);
}

bool IniDocument::WriteDword(std::string_view section, std::string_view name, uint32_t value) {
    const std::string_view cleanSection = Trim(section);
    const std::string_view cleanName = Trim(name);
    if (cleanSection.empty() || cleanSection.find(']') != std::string_view::npos ||
        HasLineBreak(cleanSection))
        return false;
    if (cleanName.empty() || cleanName.find('=') != std::string_view::npos ||
        HasLineBreak(cleanName) || cleanName.front() == ';' || cleanName.front() == '#' ||
        cleanName.front() == '[')
        return false;

    std::string entry(cleanName);
    entry += '=';
    entry += std::to_string(value);
    size_t sectionEnd = 0;
    const size_t line = Find(cleanSection, cleanName, sectionEnd);
    if (line != std::string::npos) {
        m_lines[line] = std::move(entry);
    } else if (sectionEnd != std::string::npos) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), std::move(entry));
    } else {
        if (!m_lines.empty() && !Trim(m_lines.back()).empty()) m_lines.emplace_back();
        std::string header = "[";
        header += cleanSection;
        header += ']';
        m_lines.push_back(std::move(header));
        m_lines.push_back(std::move(entry));
    }
    return true;
}

std::string IniDocument::Text() const {
    std::string text = m_bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : m_lines) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace hvx
