// The configure window page: the views of a window as a tree of check boxes, one item
// per view, checked when the view is shown. OK and Apply write every view's "Hidden",
// to the view itself or, with "Apply to all", as "ApplyAll:" commands through the
// screen manager, so that the host hides or shows the view of that name in all windows.
//
// The window is the second object: its IHostNode children are the views, walked with
// IEnumUnknown or, when the collection has none, with IHostCollection and IEnumVARIANT.
// Each tree item holds, as its data, one reference to its view's IParameterAccess (or
// nothing when the view has none). The reference goes with the item: OK and Cancel
// delete every item, which gives the references back in the tree's order, and a tree
// destroyed with its items (a dialog closed any other way) gives them back as well.
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

// A node's name; empty when it has none (no node, or GetName does not answer S_OK).
std::wstring NodeName(IHostNode* node) {
    UniqueBstr name;
    if (!node || node->GetName(name.put()) != S_OK)
        return std::wstring();
    return BstrText(name.get());
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
        ShowCheckBoxes();
        ListViews(Object(frame::kChannelObject));
        if (GetApplicationKind(Object(frame::kViewObject)) == ApplicationKind::TK11)
            ::ShowWindow(::GetDlgItem(m_hWnd, IDC_APPLY_TO_ALL), SW_HIDE);
        LocateHelpViewer();
        EnableApply(false);
        return TRUE;  // the dialog manager focuses the tree
    }

    // Every item is written, changed or not.
    void WriteValues() {
        long status = frame::kParameterStatusPreset;
        if (::IsDlgButtonChecked(m_hWnd, IDC_APPLY_TO_ALL) != BST_CHECKED) {
            WalkItems([&](bool shown, IParameterAccess* view) {
                if (view)
                    frame::ParameterAccess(view).Set(kHidden, HiddenValue(shown), status);
            });
            return;
        }
        const frame::ParameterAccess screenManager =
            frame::ParameterAccess::OfScreenManager(Object(frame::kViewObject));
        if (!screenManager) {
            LogDebugMessage(L"%ls", kNoScreenManager);
            return;
        }
        WalkItems([&](bool shown, IParameterAccess* view) {
            // A command without a name would address no view: a view that gives no name
            // (no object, no IHostNode, GetName failing or empty) is left out.
            ComPtr<IHostNode> node;
            if (view)
                view->QueryInterface(IID_IHostNode, reinterpret_cast<void**>(node.GetAddressOf()));
            const std::wstring name = NodeName(node.Get());
            if (!name.empty())
                screenManager.Set(ConfigureWindowApplyAllName(name, kHidden), HiddenValue(shown), status);
        });
    }

    // After Apply's write there is nothing new to apply until the user picks a view.
    void OnApplied() { EnableApply(false); }

    // OK and Cancel: the items go, and with them their references.
    void OnDialogEnding() {
        if (!TreeView_GetRoot(m_tree))
            LogDebugMessage(L"%ls", kNoItemsInList);
        else
            TreeView_DeleteAllItems(m_tree);
    }

    template <class Map>
    void MessageMap(Map& on) {
        on.Control(IDC_CW_VIEW_TREE, m_tree);
        on.Notify(IDC_CW_VIEW_TREE, NM_CLICK, &CConfigureWindowDlg::OnViewTreeClicked);
        on.Notify(IDC_CW_VIEW_TREE, TVN_SELCHANGEDW, &CConfigureWindowDlg::OnViewSelected);
        on.Notify(IDC_CW_VIEW_TREE, TVN_DELETEITEMW, &CConfigureWindowDlg::OnViewItemDeleted);
    }

private:
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
        views.Reset();
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
        std::wstring name = NodeName(node);
        frame::ParameterAccess access = frame::ParameterAccess::Query(&view);
        int hidden = 1;
        const bool shown = access.Read(kHidden, hidden) && hidden == 0;
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
        insert.item.pszText = &name[0];
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        insert.item.state = shown ? kChecked : kUnchecked;
        IParameterAccess* held = access.Detach();
        insert.item.lParam = reinterpret_cast<LPARAM>(held);
        if (!TreeView_InsertItem(m_tree, &insert) && held)
            held->Release();
    }

    // ---- The items

    // The walk of the write: from the first item (with the tree's no-scroll style the
    // first visible one) to each next one, with whether it is ticked and its view's
    // parameter access (null when it has none). An empty tree logs instead.
    template <class Visit>
    void WalkItems(Visit visit) {
        HTREEITEM item = TreeView_GetRoot(m_tree);
        if (!item)
            LogDebugMessage(L"%ls", kNoItemsInList);
        for (; item; item = TreeView_GetNextSibling(m_tree, item)) {
            TVITEMW data{};
            data.mask = TVIF_STATE | TVIF_PARAM;
            data.hItem = item;
            data.stateMask = TVIS_STATEIMAGEMASK;
            if (TreeView_GetItem(m_tree, &data))
                visit((data.state & TVIS_STATEIMAGEMASK) == kChecked, reinterpret_cast<IParameterAccess*>(data.lParam));
        }
    }

    // ---- Control handlers

    // A click on an item's check box, icon or label selects the item (the tree itself
    // selects on the icon and label only), so that ticking a view enables Apply.
    //   NM_CLICK: the message's position is where the user clicked.
    LRESULT OnViewTreeClicked(NMHDR& /*header*/) {
        const DWORD position = ::GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        ::ScreenToClient(m_tree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(m_tree, &hit);
        if (item && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
            TreeView_SelectItem(m_tree, item);
        return 0;  // the tree goes on and toggles the check box
    }

    // Any selection change, the one the tree makes when it first gets the focus too.
    LRESULT OnViewSelected(NMHDR& /*header*/) {
        EnableApply(true);
        return 0;
    }

    // An item that goes gives back its view's reference.
    LRESULT OnViewItemDeleted(NMHDR& header) {
        const auto& deleted = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (auto* view = reinterpret_cast<IParameterAccess*>(deleted.itemOld.lParam))
            view->Release();
        return 0;
    }

    void EnableApply(bool enable) { ::EnableWindow(::GetDlgItem(m_hWnd, IDC_APPLY_SMALL), enable ? TRUE : FALSE); }

    // ---- State

    frame::CWindow m_tree;  // 210: one item per view
};

}  // namespace

HRESULT CreateConfigureWindowDlg(REFIID riid, void** page) { return frame::CreatePage<CConfigureWindowDlg>(riid, page); }

}  // namespace tavrel
