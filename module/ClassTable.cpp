#include "ClassTable.h"

#include "ComObject.h"
#include "TavrelClasses.h"
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
ClassEntry EntryFor() {
    return ClassEntry{&Page::GetObjectCLSID(), &frame::CComObject<Page>::CreateInstance, nullptr};
}

ClassEntry g_firstTable[] = {
    EntryFor<CRangeSurfaceDialog>(),
    EntryFor<CHorizontalDistanceDialog>(),
    EntryFor<CTsDistributionDlg>(),
    EntryFor<CBottomDetectorDialog>(),
    EntryFor<CEchoTraceDialog>(),
    EntryFor<CColorScaleDialog>(),
};

ClassEntry g_secondTable[] = {
    EntryFor<CConfigureWindowDlg>(),
    EntryFor<CRangeScrollDlg>(),
    EntryFor<CScopeDialog>(),
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
