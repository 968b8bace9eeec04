#include "SimJournal.h"

namespace hostsim {

std::vector<std::wstring> CallJournal::Since(std::size_t index) const {
    if (index >= m_lines.size()) return {};
    return std::vector<std::wstring>(m_lines.begin() + static_cast<std::ptrdiff_t>(index), m_lines.end());
}

std::wstring CallJournal::Text() const {
    std::wstring text;
    for (const std::wstring& line : m_lines) {
        text += line;
        text += L'\n';
    }
    return text;
}

}  // namespace hostsim
