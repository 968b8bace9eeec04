#include "ClassTable.h"

#include "TavrelClasses.h"
#include "pages/PageClasses.h"
#include "resource.h"

namespace tavrel {
namespace {

ClassEntry g_firstTable[] = {
    {&CLSID_RangeSurfaceDialog, IDR_RANGE_SURFACE, CreateRangeSurfaceDialog, nullptr},
    {&CLSID_HorizontalDistanceDialog, IDR_HORIZONTAL_DISTANCE, CreateHorizontalDistanceDialog, nullptr},
    {&CLSID_TsDistributionDlg, IDR_TS_DISTRIBUTION, CreateTsDistributionDlg, nullptr},
    {&CLSID_BottomDetectorDialog, IDR_BOTTOM_DETECTOR, CreateBottomDetectorDialog, nullptr},
    {&CLSID_EchoTraceDialog, IDR_ECHO_TRACE, CreateEchoTraceDialog, nullptr},
    {&CLSID_ColorScaleDialog, IDR_COLOR_SCALE, CreateColorScaleDialog, nullptr},
};

ClassEntry g_secondTable[] = {
    {&CLSID_ConfigureWindowDlg, IDR_CONFIGURE_WINDOW, CreateConfigureWindowDlg, nullptr},
    {&CLSID_RangeScrollDlg, IDR_RANGE_SCROLL, CreateRangeScrollDlg, nullptr},
    {&CLSID_ScopeDialog, IDR_SCOPE, CreateScopeDialog, nullptr},
};

}  // namespace

ClassEntry* FirstClassTable(size_t& count) {
    count = sizeof(g_firstTable) / sizeof(g_firstTable[0]);
    return g_firstTable;
}

ClassEntry* SecondClassTable(size_t& count) {
    count = sizeof(g_secondTable) / sizeof(g_secondTable[0]);
    return g_secondTable;
}

}  // namespace tavrel
