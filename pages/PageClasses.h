// The nine page classes as the module's class table reaches them: one create function
// each, defined at the end of the page's source file.
#pragma once

#include <windows.h>

namespace tavrel {

HRESULT CreateRangeSurfaceDialog(REFIID riid, void** page);
HRESULT CreateHorizontalDistanceDialog(REFIID riid, void** page);
HRESULT CreateTsDistributionDlg(REFIID riid, void** page);
HRESULT CreateBottomDetectorDialog(REFIID riid, void** page);
HRESULT CreateEchoTraceDialog(REFIID riid, void** page);
HRESULT CreateColorScaleDialog(REFIID riid, void** page);
HRESULT CreateConfigureWindowDlg(REFIID riid, void** page);
HRESULT CreateRangeScrollDlg(REFIID riid, void** page);
HRESULT CreateScopeDialog(REFIID riid, void** page);

}  // namespace tavrel
