// The configure window page: the views of a window as a tree of check boxes, one item
// per view, ticked when the view is shown. OK and Apply write every view's "Hidden",
// to the view itself or, with "Apply to all", as "ApplyAll:" commands through the
// screen manager, so that the host hides or shows the view of that name in all windows.
//
// The window is the second object: its IHostNode children are the views, walked with
// IEnumUnknown or, when the collection has none, with IHostCollection and IEnumVARIANT.
// Each tree item holds, as its data, one reference to its view's IParameterAccess (or
// nothing when the view has none), which OK and Cancel give back.
//
// The page also keeps its own list of the items, in the tree's order, with what each
// was ticked as when listed; before a write it reads again only the items the user may
// have ticked since. A tree view asked about one item may search all of its items for
// it (Wine's does), so asking about every item would make OK on 10,000 views take
// quadratic time; with the list, opening, OK and Apply take time in proportion to the
// number of views.
#include "framework/Page.h"

namespace tavrel {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kHidden[] = L"Hidden";
constexpr wchar_t kNoScreenManager[] = L"ConfigureWindowDlg: No screen manager";
constexpr wchar_t kNoItemsInList[] = L"ConfigureWindowDlg: No items in list";

// The tree's state images: 1 the empty box, 2 the ticked one.
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);

// "Hidden" as a view's check box shows it: 0 shown (ticked), 1 hidden.
int HiddenValue(bool shown) { return shown ? 0 : 1; }

// A node's name; null when it has none (no node, or GetName does not answer S_OK).
UniqueBstr NodeName(IHostNode* node) {
    UniqueBstr name;
    if (node && node->GetName(name.put()) != S_OK)
        name.reset();
    return name;
}

// The object an enumerated VARIANT holds: VT_UNKNOWN and VT_DISPATCH hold one, other
// types none.
IUnknown* ObjectOf(const VARIANT& element) {
    if (element.vt == VT_UNKNOWN)
        return element.punkVal;
    if (element.vt == VT_DISPATCH)
        return element.pdispVal;
    return nullptr;
}

class CConfigureWindowDlg : public frame::CPage<CConfigureWindowDlg, &CLSID_ConfigureWindowDlg> {
public:
    static constexpr frame::PageInfo kInfo{IDD_CONFIGURE_WINDOW, IDS_TITLE_CONFIGURE_WINDOW,
                                           L"qz4_para_configure_window.html", IDC_APPLY_SMALL,
                                           frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage>;

    BOOL OnInitDialog() {
        m_views.clear();  // a list left by a dialog closed without OK or Cancel
        m_touched.clear();
        ShowCheckBoxes();
        ListViews(Object(frame::kChannelObject));
        if (GetApplicationKind(Object(frame::kViewObject)) == ApplicationKind::TK11)
            ShowControl(IDC_APPLY_TO_ALL, false);
        LocateHelpViewer();
        EnableApplyButton(false);
        return TRUE;  // the dialog manager focuses the tree
    }

    // Every view is written, changed or not, in the tree's order.
    void WriteValues() {
        ReadTouchedTicks();
        long status = frame::kParameterStatusPreset;
        if (!IsChecked(IDC_APPLY_TO_ALL)) {
            if (m_views.empty())
                LogDebugMessage(L"%ls", kNoItemsInList);
            for (const ListedView& listed : m_views) {
                if (listed.view)
                    frame::ParameterAccess(listed.view).Set(kHidden, HiddenValue(listed.shown), status);
            }
            return;
        }
        const frame::ParameterAccess screenManager =
            frame::ParameterAccess::OfScreenManager(Object(frame::kViewObject));
        if (!screenManager) {
            LogDebugMessage(L"%ls", kNoScreenManager);
            return;
        }
        if (m_views.empty())
            LogDebugMessage(L"%ls", kNoItemsInList);
        for (const ListedView& listed : m_views) {
            // A command without a name would address no view: a view that gives no name
            // (no object, no IHostNode, GetName failing or empty) is left out.
            ComPtr<IHostNode> node;
            if (listed.view)
                listed.view->QueryInterface(IID_IHostNode, reinterpret_cast<void**>(node.GetAddressOf()));
            const UniqueBstr name = NodeName(node.Get());
            if (::SysStringLen(name.get()) > 0)
                screenManager.Set(ConfigureWindowApplyAllName(BstrText(name.get()), kHidden), HiddenValue(listed.shown),
                                  status);
        }
    }

    // After Apply's write there is nothing new to apply until the user picks a view.
    void OnApplied() { EnableApplyButton(false); }

    // OK and Cancel: every item gives back its view's reference, in the tree's order.
    void OnDialogEnding() {
        if (m_views.empty())
            LogDebugMessage(L"%ls", kNoItemsInList);
        for (const ListedView& listed : m_views) {
            if (listed.view)
                listed.view->Release();
        }
        m_views.clear();
        m_touched.clear();
    }

    template <class Map>
    void MessageMap(Map& on) {
        on.Control(IDC_CW_VIEW_TREE, m_tree);
        on.Notify(IDC_CW_VIEW_TREE, NM_CLICK, &CConfigureWindowDlg::OnViewTreeClicked);
        on.Notify(IDC_CW_VIEW_TREE, TVN_KEYDOWN, &CConfigureWindowDlg::OnViewTreeKeyDown);
        on.Notify(IDC_CW_VIEW_TREE, NM_TVSTATEIMAGECHANGING, &CConfigureWindowDlg::OnViewTickChanging);
        on.Notify(IDC_CW_VIEW_TREE, TVN_SELCHANGEDW, &CConfigureWindowDlg::OnViewSelected);
        on.Notify(IDC_CW_VIEW_TREE, TVN_DELETEITEMW, &CConfigureWindowDlg::OnViewItemDeleted);
    }

private:
    // One listed view: its item, the reference the item holds as its data (null when
    // the view has no IParameterAccess) and whether its box is ticked.
    struct ListedView {
        HTREEITEM item;
        IParameterAccess* view;
        bool shown;
    };

    // ---- Initialisation

    // A template's check-box style makes the state images only at the first paint,
    // which unticks every item: switched off and on again, the tree makes them now, and
    // the ticks set while listing the views stay.
    void ShowCheckBoxes() {
        const LONG style = ::GetWindowLongW(m_tree, GWL_STYLE);
        ::SetWindowLongW(m_tree, GWL_STYLE, style & ~TVS_CHECKBOXES);
        ::SetWindowLongW(m_tree, GWL_STYLE, style | TVS_CHECKBOXES);
    }

    // The window's views, in the order its collection gives them. A page given no
    // second object (or a null one) lists nothing: a window is needed to have views,
    // and the view itself is not one. The page still opens, as with a window without
    // IHostNode, and OK, Apply and Cancel log that the list is empty.
    void ListViews(IUnknown* window) {
        ComPtr<IHostNode> node;
        ComPtr<IUnknown> children;
        if (!window || FAILED(window->QueryInterface(IID_IHostNode, reinterpret_cast<void**>(node.GetAddressOf()))) ||
            FAILED(node->GetChildren(children.GetAddressOf())) || !children)
            return;
        // The tree lays its items out once, after the last one, not after each.
        m_tree.SendMessage(WM_SETREDRAW, FALSE);
        ComPtr<IEnumUnknown> views;
        ComPtr<IHostCollection> collection;
        if (SUCCEEDED(children.As(&views)))
            ListEnumerated(*views.Get());
        else if (SUCCEEDED(children.As(&collection)))
            ListCollected(*collection.Get());
        m_tree.SendMessage(WM_SETREDRAW, TRUE);
    }

    // An element counts only when Next answers S_OK with exactly one element, and that
    // element is an object: any other answer (S_FALSE, a failure, S_OK with nothing
    // fetched, or a null element, which no working enumerator hands out) ends the walk,
    // and an element that came with it is released unseen.
    void ListEnumerated(IEnumUnknown& views) {
        views.Reset();  // its result is not examined: Next says what there is
        for (;;) {
            ComPtr<IUnknown> view;
            ULONG fetched = 0;
            if (views.Next(1, view.GetAddressOf(), &fetched) != S_OK || fetched != 1 || !view)
                return;
            ComPtr<IHostNode> node;
            view.As(&node);  // a view without IHostNode is listed with an empty name
            AddView(*view.Get(), node.Get());
        }
    }

    // The same rule for Next; elements that hold no object answering IHostNode are
    // passed over.
    void ListCollected(IHostCollection& collection) {
        ComPtr<IUnknown> enumerator;
        ComPtr<IEnumVARIANT> elements;
        if (FAILED(collection.GetEnumerator(enumerator.GetAddressOf())) || !enumerator ||
            FAILED(enumerator.As(&elements)))
            return;
        for (;;) {
            UniqueVariant element;
            ULONG fetched = 0;
            if (elements->Next(1, element.put(), &fetched) != S_OK || fetched != 1)
                return;
            IUnknown* view = ObjectOf(element.get());
            ComPtr<IHostNode> node;
            if (view && SUCCEEDED(view->QueryInterface(IID_IHostNode, reinterpret_cast<void**>(node.GetAddressOf()))))
                AddView(*view, node.Get());
        }
    }

    // One item at the end of the list: the view's name, ticked exactly when its "Hidden"
    // reads 0 (an unreadable one leaves it unticked), holding the view's IParameterAccess.
    void AddView(IUnknown& view, IHostNode* node) {
        UniqueBstr name = NodeName(node);
        frame::ParameterAccess access = frame::ParameterAccess::Query(&view);
        int hidden = 1;
        const bool shown = access.Read(kHidden, hidden) && hidden == 0;
        m_views.push_back({nullptr, nullptr, shown});  // first, as it may throw
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
        wchar_t noName[] = L"";
        insert.item.pszText = name.get() ? name.get() : noName;
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        insert.item.state = shown ? kChecked : kUnchecked;
        IParameterAccess* held = access.Detach();
        insert.item.lParam = reinterpret_cast<LPARAM>(held);
        HTREEITEM item = TreeView_InsertItem(m_tree, &insert);
        if (!item) {
            m_views.pop_back();
            if (held)
                held->Release();
            return;
        }
        m_views.back().item = item;
        m_views.back().view = held;
    }

    // ---- The ticks

    // The user ticks a box with the mouse (a double click starts with a click too) or
    // with the space bar on the selected item; the tree tells before it changes the tick.
    void NoteTouched(HTREEITEM item) {
        if (item)
            m_touched.push_back(item);
    }

    // The items the user may have ticked or unticked since the last write, read again.
    void ReadTouchedTicks() {
        for (HTREEITEM item : m_touched) {
            const bool shown = (TreeView_GetItemState(m_tree, item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) == kChecked;
            for (ListedView& listed : m_views) {
                if (listed.item == item)
                    listed.shown = shown;
            }
        }
        m_touched.clear();
    }

    // The item under the click being handled, and the part of it clicked.
    HTREEITEM ClickedItem(UINT& part) const {
        const DWORD position = ::GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        ::ScreenToClient(m_tree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(m_tree, &hit);
        part = hit.flags;
        return item;
    }

    // ---- Control handlers

    // A click on an item's check box, icon or label selects the item (the tree itself
    // selects the rest of the row, but not on the check box), so that ticking a view
    // enables Apply.
    //   NM_CLICK: the message's position is where the user clicked.
    LRESULT OnViewTreeClicked(NMHDR& /*header*/) {
        UINT part = 0;
        HTREEITEM item = ClickedItem(part);
        NoteTouched(item);
        if (item && (part & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
            TreeView_SelectItem(m_tree, item);
        return 0;  // the tree goes on and toggles the check box
    }

    LRESULT OnViewTreeKeyDown(NMHDR& /*header*/) {
        NoteTouched(TreeView_GetSelection(m_tree));
        return 0;
    }

    // Windows' own tree views also say which item's tick changes, however it happens.
    LRESULT OnViewTickChanging(NMHDR& header) {
        NoteTouched(reinterpret_cast<const NMTVSTATEIMAGECHANGING&>(header).hti);
        return 0;
    }

    // Any selection change, the one the tree makes when it first gets the focus too.
    LRESULT OnViewSelected(NMHDR& /*header*/) {
        EnableApplyButton(true);
        return 0;
    }

    // A tree destroyed before OK or Cancel (a dialog closed another way) still gives
    // back its items' references; after OK or Cancel they are given back already.
    LRESULT OnViewItemDeleted(NMHDR& header) {
        if (m_views.empty())
            return 0;
        if (auto* view = reinterpret_cast<IParameterAccess*>(reinterpret_cast<const NMTREEVIEWW&>(header).itemOld.lParam))
            view->Release();
        return 0;
    }

    // ---- State

    frame::CWindow m_tree;                // 210: one item per view
    std::vector<ListedView> m_views;      // the items, in the tree's order
    std::vector<HTREEITEM> m_touched;     // items the user may have ticked since the last write
};

}  // namespace

HRESULT CreateConfigureWindowDlg(REFIID riid, void** page) { return frame::CreatePage<CConfigureWindowDlg>(riid, page); }

}  // namespace tavrel
