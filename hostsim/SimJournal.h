// The simulated host's record of the calls that change something or that the host
// must react to, one line per call, in the order they arrived.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hostsim {

// Lines read "<object>.<interface>::<operation>(<arguments>)", for example
// view.IValueStore::PutValue("HistogramScale", VT_I4 2).
class CallJournal {
public:
    void Add(std::wstring line) { m_lines.push_back(std::move(line)); }
    void Clear() { m_lines.clear(); }

    const std::vector<std::wstring>& Lines() const { return m_lines; }
    std::size_t Size() const { return m_lines.size(); }
    // The lines from index on: take Size() as a mark before an action, then the lines
    // the action added.
    std::vector<std::wstring> Since(std::size_t index) const;
    // All lines, each ending in a newline, for printing.
    std::wstring Text() const;

private:
    std::vector<std::wstring> m_lines;
};

}  // namespace hostsim
