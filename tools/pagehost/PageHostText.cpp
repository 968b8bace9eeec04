#include "PageHostText.h"

#include <windows.h>

#include <utility>

namespace tavrel::pagehost {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                            nullptr);
    }
    return result;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

FailureCollector::FailureCollector() {
    m_previous = driver::SetFailureReporter([this](const std::string& message) { m_messages.push_back(message); });
}

FailureCollector::~FailureCollector() { driver::SetFailureReporter(std::move(m_previous)); }

std::wstring FailureCollector::TakeText() {
    std::string joined;
    for (const std::string& message : m_messages) {
        if (!joined.empty()) joined += "; ";
        joined += message;
    }
    m_messages.clear();
    return FromUtf8(joined);
}

}  // namespace tavrel::pagehost
