// Text helpers of the page host: UTF-8 output, and the dialog driver's failures
// collected instead of printed.
#pragma once

#include "driver/DialogDriver.h"

#include <string>
#include <vector>

namespace tavrel::pagehost {

std::string Utf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// While it lives, the dialog driver's failures are collected here instead of going to
// the reporter installed before (stderr, or a test framework).
class FailureCollector {
public:
    FailureCollector();
    ~FailureCollector();
    FailureCollector(const FailureCollector&) = delete;
    FailureCollector& operator=(const FailureCollector&) = delete;

    // The failures collected since the last call, joined with "; "; empty if none.
    std::wstring TakeText();

private:
    std::vector<std::string> m_messages;
    driver::FailureReporter m_previous;
};

}  // namespace tavrel::pagehost
