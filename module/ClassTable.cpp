#include "ClassTable.h"

#include "ComObject.h"
#include "TavrelClasses.h"
#include "resource.h"
#include "pages/processing/BottomDetectorDialog.h"
#include "pages/processing/EchoTraceDialog.h"
#include "pages/view/ColorScaleDialog.h"
#include "pages/view/ConfigureWindowDlg.h"
#include "pages/view/HorizontalDistanceDialog.h"
#include "pages/view/RangeScrollDlg.h"
#include "pages/view/RangeSurfaceDialog.h"
#include "pages/view/ScopeDialog.h"
#include "pages/view/TsDistributionDlg.h"

namespace tavrel {
namespace {

template <class Page>
ClassEntry EntryFor(UINT registryScriptId) {
    return ClassEntry{&Page::GetObjectCLSID(), registryScriptId, &frame::CComObject<Page>::CreateInstance, nullptr};
}

ClassEntry g_firstTable[] = {
    EntryFor<CRangeSurfaceDialog>(IDR_RANGE_SURFACE),
    EntryFor<CHorizontalDistanceDialog>(IDR_HORIZONTAL_DISTANCE),
    EntryFor<CTsDistributionDlg>(IDR_TS_DISTRIBUTION),
    EntryFor<CBottomDetectorDialog>(IDR_BOTTOM_DETECTOR),
    EntryFor<CEchoTraceDialog>(IDR_ECHO_TRACE),
    EntryFor<CColorScaleDialog>(IDR_COLOR_SCALE),
};

ClassEntry g_secondTable[] = {
    EntryFor<CConfigureWindowDlg>(IDR_CONFIGURE_WINDOW),
    EntryFor<CRangeScrollDlg>(IDR_RANGE_SCROLL),
    EntryFor<CScopeDialog>(IDR_SCOPE),
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
