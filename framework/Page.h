// A property page of Tavrel.dll: what a page supplies and what the frame does for it.
//
// A page is one .cpp file in pages/, read top to bottom in this order (the TS
// distribution page, pages/view/TsDistributionDlg.cpp, is the worked example):
//
//   1. Constants: host value names, ladders, the SetFormObjects log line.
//   2. Page information, one constant:
//        static constexpr frame::PageInfo kInfo{template, title string, help topic,
//            Apply button id or frame::kNoApplyButton, frame::ApplyClearsDirty::Yes or ::No};
//   3. The interfaces it answers, IPropertyPage first:
//        using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl>;
//      plus a base class for each host-defined one: frame::CFormControl<Page, log line>
//      for IFormControl, frame::CParameterSubscriber<Page, Notify's answer> for
//      IParameterSubscriber2.
//   4. Initialisation, on WM_INITDIALOG:
//        BOOL OnInitDialog();   reads the host's values and fills the controls;
//                               TRUE lets the dialog manager focus the first tab stop
//   5. Write, the only place a page writes to the host:
//        void WriteValues();    called by OK and Apply, never by Cancel
//   6. Control handlers, listed once in a message map (optional):
//        template <class Map> void MessageMap(Map& on) {
//            on.Spin(IDC_RANGE_SPIN, m_rangeSpin);             // attached, arrows stepped
//            on.Control(IDC_RANGE_SLIDER, m_rangeSlider);       // attached
//            on.Scroll(IDC_RANGE_SLIDER, &Page::OnRangeSliderMoved);
//            on.Command(IDC_RANGE_EDIT, EN_KILLFOCUS, &Page::OnRangeEditLeft);
//        }
//      The handlers are small members named after what the user did; their
//      signatures are given at MessageDispatch below.
//   7. State: the page's members; host values in frame::Tracked (HostValues.h).
//
// A page may also hide these frame defaults:
//   const wchar_t* HelpTopic() const;   kInfo.helpTopic
//   void OnApplied();                   after Apply's write (nothing)
//   void OnDialogEnding();              before OK or Cancel ends the dialog (nothing)
//
// and use the frame's helpers: Object(index) for the host's objects, LocateHelpViewer,
// SetDirty, EnableApplyButton, EnableControl, ShowControl, IsChecked and SetControlText.
//
// The frame does the rest: IUnknown from Interfaces (CComObject), IPropertyPage from
// kInfo (IPropertyPageImpl), the modal run of the template and the binding of its
// window (CDialogImpl), and these messages:
//   WM_INITDIALOG     attaches the map's controls, then OnInitDialog
//   OK (1)            WriteValues, OnDialogEnding, the dialog ends with 1
//   Cancel (2)        OnDialogEnding, the dialog ends with 2; nothing is written
//   Apply             WriteValues, OnApplied; the dialog stays open
//   Help (57670)      ShowTopic(0, HelpTopic()) through the viewer LocateHelpViewer found
//   WM_STYLECHANGING  WS_EX_CONTROLPARENT added to a new extended style (result 0);
//                     result 1 for the plain style
//   WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL: the map's entries
// A missing piece of the contract is a compiler message (CreatePage below).
#pragma once

#include "ComObject.h"
#include "ComResource.h"
#include "DataExchange.h"
#include "DiagnosticsLog.h"
#include "Dialog.h"
#include "HostInterfaces.h"
#include "HostLookup.h"
#include "HostValues.h"
#include "NumericControls.h"
#include "PropertyPage.h"
#include "TavrelClasses.h"
#include "Window.h"
#include "resource.h"

#include <climits>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tavrel::frame {

inline constexpr int kAnyControl = INT_MIN;  // a map entry for every control
inline constexpr UINT kAnyCode = UINT_MAX;   // a command entry for every notification code
inline constexpr WORD kHelpButtonId = 57670;

// Runs one message through a page's message map: every entry that matches runs, in
// the order the map lists them.
template <class T>
class MessageDispatch {
public:
    enum class Kind { Attach, Command, Notify, Scroll };

    MessageDispatch(T& page, Kind kind, int controlId = 0, UINT code = 0, NMHDR* header = nullptr)
        : m_page(page), m_kind(kind), m_controlId(controlId), m_code(code), m_header(header) {}

    // WM_COMMAND from control id with a notification code (kAnyCode: any).
    //   void OnSomethingDone();
    void Command(int id, UINT code, void (T::*handler)()) {
        if (m_kind == Kind::Command && id == m_controlId && (code == kAnyCode || code == m_code))
            Run([&] { (m_page.*handler)(); });
    }

    // WM_NOTIFY from control id (kAnyControl: any) with a notification code.
    //   LRESULT OnSomethingNotified(NMHDR& header);   the message's result
    void Notify(int id, UINT code, LRESULT (T::*handler)(NMHDR& header)) {
        if (m_kind == Kind::Notify && Matches(id) && code == m_code)
            Run([&] { m_result = (m_page.*handler)(*m_header); });
    }

    // WM_HSCROLL or WM_VSCROLL from a trackbar or up-down with id (kAnyControl: any).
    //   void OnSomethingMoved(int scrollCode);   SB_... / TB_... of the message
    void Scroll(int id, void (T::*handler)(int scrollCode)) {
        if (m_kind == Kind::Scroll && Matches(id))
            Run([&] { (m_page.*handler)(static_cast<int>(m_code)); });
    }

    // A control the page keeps: attached to the dialog's control id at initialisation.
    void Control(int id, CWindow& control) {
        if (m_kind == Kind::Attach)
            control.Attach(::GetDlgItem(m_page.m_hWnd, id));
    }

    // An up-down stepping a double: attached, and its arrow presses (UDN_DELTAPOS)
    // step the value in its buddy edit.
    void Spin(int id, CSpinButtonDoubleCtrl& spin) {
        Control(id, spin);
        if (m_kind == Kind::Notify && id == m_controlId && m_code == static_cast<UINT>(UDN_DELTAPOS)) {
            Run([&] {
                BOOL handled = TRUE;
                m_result = spin.OnDeltaPos(id, m_header, handled);
            });
        }
    }

    bool Handled() const { return m_handled; }
    LRESULT Result() const { return m_result; }

private:
    bool Matches(int id) const { return id == kAnyControl || id == m_controlId; }
    template <class Call>
    void Run(Call&& call) {
        call();
        m_handled = true;
    }

    T& m_page;
    Kind m_kind;
    int m_controlId;
    UINT m_code;
    NMHDR* m_header;
    bool m_handled = false;
    LRESULT m_result = 0;
};

// The frame part every page derives from.
template <class T, const CLSID* pclsid>
class CPage : public CComObjectRootEx,
              public CComCoClass<T, pclsid>,
              public IPropertyPageImpl<T>,
              public CDialogImpl<T> {
public:
    // The frame's defaults; a page hides the ones it does differently.
    const wchar_t* HelpTopic() const { return T::kInfo.helpTopic; }
    void OnApplied() {}
    void OnDialogEnding() {}
    // A page without control handlers of its own has an empty map.
    template <class Map>
    void MessageMap(Map&) {}

    // CDialogImpl's message hook.
    BOOL ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        switch (message) {
        case WM_INITDIALOG:
            return OnInitialise(result);
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam), result);
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!header)
                return FALSE;
            return Dispatch({Page(), Kind::Notify, static_cast<int>(header->idFrom), header->code, header}, result);
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            // lParam is the trackbar or up-down; a window scroll bar (null) has no id.
            if (!lParam)
                return FALSE;
            return Dispatch({Page(), Kind::Scroll, ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), LOWORD(wParam)},
                            result);
        case WM_STYLECHANGING:
            if (wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
                // Keeps tabbing working when the host nests the page in its own frame.
                reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_EX_CONTROLPARENT;
                result = 0;
            } else {
                result = 1;
            }
            return TRUE;
        default:
            return FALSE;
        }
    }

protected:
    // The help viewer found from the view, kept until the page goes.
    void LocateHelpViewer() { LocateHostInterface(this->Object(kViewObject), m_helpViewer); }
    // The page's Apply button (kInfo's), enabled or disabled.
    void EnableApplyButton(bool enable) { EnableControl(static_cast<int>(T::kInfo.applyButtonId), enable); }
    void EnableControl(int id, bool enable) const {
        ::EnableWindow(::GetDlgItem(this->m_hWnd, id), enable ? TRUE : FALSE);
    }
    void ShowControl(int id, bool show) const { ::ShowWindow(::GetDlgItem(this->m_hWnd, id), show ? SW_SHOW : SW_HIDE); }
    // A check box or radio button of the dialog is checked.
    bool IsChecked(int buttonId) const { return ::IsDlgButtonChecked(this->m_hWnd, buttonId) == BST_CHECKED; }
    // A control's text; an edit sends EN_CHANGE, so its handler runs as for typing.
    void SetControlText(int id, const std::wstring& text) const { ::SetDlgItemTextW(this->m_hWnd, id, text.c_str()); }

private:
    using Kind = typename MessageDispatch<T>::Kind;

    T& Page() { return *static_cast<T*>(this); }

    BOOL OnInitialise(LRESULT& result) {
        MessageDispatch<T> attach(Page(), Kind::Attach);
        Page().MessageMap(attach);
        result = Page().OnInitDialog();
        return TRUE;
    }

    // The buttons every page has are the frame's; other commands go to the map.
    BOOL OnCommand(WORD id, WORD code, LRESULT& result) {
        if (id == IDOK && code == BN_CLICKED) {
            Page().WriteValues();
            Page().OnDialogEnding();
            this->EndDialog(IDOK);
        } else if (id == IDCANCEL && code == BN_CLICKED) {
            Page().OnDialogEnding();
            this->EndDialog(IDCANCEL);
        } else if (T::kInfo.applyButtonId != kNoApplyButton && id == T::kInfo.applyButtonId && code == BN_CLICKED) {
            Page().WriteValues();
            Page().OnApplied();
        } else if (id == kHelpButtonId) {
            ShowHelpTopic(Page().HelpTopic());
        } else {
            return Dispatch({Page(), Kind::Command, id, code}, result);
        }
        return TRUE;
    }

    BOOL Dispatch(MessageDispatch<T>&& dispatch, LRESULT& result) {
        Page().MessageMap(dispatch);
        result = dispatch.Result();
        return dispatch.Handled();
    }

    // Without a viewer nothing happens.
    void ShowHelpTopic(const wchar_t* topic) {
        if (!m_helpViewer || !topic)
            return;
        UniqueBstr topicFile = MakeBstr(topic);
        m_helpViewer->ShowTopic(0, topicFile.get());
    }

    Microsoft::WRL::ComPtr<IHelpViewer> m_helpViewer;
};

// IFormControl for the pages that offer it, written once; CFormControl<T, ...> below
// binds it to its page.
class CFormControlBase : public IFormControl {
public:
    // The objects arrive as one VARIANT holding a one-dimensional array of VARIANTs,
    // each with an object. The page takes such an array whatever the outcome: it
    // destroys it, which releases the array's own reference to every object. Anything
    // else is refused with E_INVALIDARG and stays the caller's, and so do the objects
    // held before.
    STDMETHODIMP SetFormObjects(VARIANT objects) override;
    // The modal run, as from Activate, with the rectangle 0,200 - 100,300.
    STDMETHODIMP ShowForm(long reserved1, long reserved2) override;

protected:
    explicit CFormControlBase(const wchar_t* invalidInputLog) : m_invalidInputLog(invalidInputLog) {}

private:
    virtual IPropertyPage& FormPage() = 0;

    const wchar_t* m_invalidInputLog;  // logged for a refused SetFormObjects, unless null
};

// kInvalidInput is the log line of a refused SetFormObjects (nullptr: nothing is logged).
template <class T, const wchar_t* kInvalidInput>
class CFormControl : public CFormControlBase {
public:
    CFormControl() : CFormControlBase(kInvalidInput) {}

private:
    IPropertyPage& FormPage() override { return *static_cast<T*>(this); }
};

// What a page hands the host as its subscriber. Subscriptions are never cancelled
// (the host interfaces offer no way to) and the host keeps its subscriber for as
// long as it likes. So the subscriber is not the page itself, which the host would
// then keep alive for ever, but this small object: it holds no reference to its
// page and forwards each report to it while the page lives; the page cuts it off
// when it is destroyed, after which every cookie is a foreign one (E_NOTIMPL) and
// no report reaches the destroyed page. Like every object of the module it keeps
// the module loaded while the host holds it.
class CSubscriptionSink final : public IParameterSubscriber2 {
public:
    explicit CSubscriptionSink(IParameterSubscriber2* page) : m_page(page) { LockModule(); }
    CSubscriptionSink(const CSubscriptionSink&) = delete;
    CSubscriptionSink& operator=(const CSubscriptionSink&) = delete;

    void Detach() { m_page = nullptr; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = riid == IID_IUnknown || riid == IID_IParameterSubscriber2 ? this : nullptr;
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG count = --m_references;
        if (count == 0)
            delete this;
        return count;
    }
    STDMETHODIMP OnParameterChanged(long cookie, VARIANT value, long word1, long word2, long word3) override {
        return m_page ? m_page->OnParameterChanged(cookie, value, word1, word2, word3) : E_NOTIMPL;
    }
    STDMETHODIMP Notify(long word1, long word2, long word3, long word4, long word5, long word6, long word7) override {
        return m_page ? m_page->Notify(word1, word2, word3, word4, word5, word6, word7) : E_NOTIMPL;
    }

private:
    ~CSubscriptionSink() { UnlockModule(); }

    IParameterSubscriber2* m_page;  // no reference: the page cuts this off as it goes
    ULONG m_references = 0;         // the first owner's AddRef makes it 1
};

// IParameterSubscriber2 for the pages that subscribe to host parameters; Notify
// answers kNotifyResult. T supplies
//   HRESULT OnHostParameterChanged(long cookie, const VARIANT& value);
// and subscribes with Subscriber() as the subscriber.
template <class T, HRESULT kNotifyResult>
class CParameterSubscriber : public IParameterSubscriber2 {
public:
    CParameterSubscriber() = default;
    CParameterSubscriber(const CParameterSubscriber&) = delete;
    CParameterSubscriber& operator=(const CParameterSubscriber&) = delete;
    ~CParameterSubscriber() {
        if (m_sink)
            m_sink->Detach();
    }

    STDMETHODIMP OnParameterChanged(long cookie, VARIANT value, long, long, long) override {
        return CatchToHresult([&] { return static_cast<T*>(this)->OnHostParameterChanged(cookie, value); });
    }
    STDMETHODIMP Notify(long, long, long, long, long, long, long) override { return kNotifyResult; }

protected:
    // The page's subscriber for the host (see CSubscriptionSink), made on first use;
    // null when memory runs out.
    IUnknown* Subscriber() {
        if (!m_sink)
            m_sink = new (std::nothrow) CSubscriptionSink(this);  // the first reference
        return m_sink.Get();
    }

private:
    Microsoft::WRL::ComPtr<CSubscriptionSink> m_sink;
};

// What CreatePage checks a page for.
template <class T, class = void>
struct ListsInterfaces : std::false_type {};
template <class T>
struct ListsInterfaces<T, std::void_t<typename T::Interfaces>> : std::true_type {};
template <class T, class = void>
struct InitialisesDialog : std::false_type {};
template <class T>
struct InitialisesDialog<T, std::enable_if_t<std::is_same_v<decltype(std::declval<T&>().OnInitDialog()), BOOL>>>
    : std::true_type {};
template <class T, class = void>
struct WritesValues : std::false_type {};
template <class T>
struct WritesValues<T, std::void_t<decltype(std::declval<T&>().WriteValues())>> : std::true_type {};

// Creates a page for the class table, after checking at compile time that T keeps
// the page contract above.
template <class T>
HRESULT CreatePage(REFIID riid, void** page) {
    static_assert(std::is_same_v<decltype(T::kInfo), const PageInfo>,
                  "a page declares its information: static constexpr frame::PageInfo kInfo{...}");
    static_assert(ListsInterfaces<T>::value,
                  "a page lists its interfaces: using Interfaces = frame::InterfaceList<IPropertyPage, ...>");
    static_assert(T::Interfaces::template ImplementedBy<T>() &&
                      std::is_same_v<typename T::Interfaces::Primary, IPropertyPage>,
                  "a page's Interfaces start with IPropertyPage and name only interfaces it derives from");
    static_assert(InitialisesDialog<T>::value, "a page initialises its dialog: BOOL OnInitDialog()");
    static_assert(WritesValues<T>::value, "a page writes in one place: void WriteValues()");
    return CComObject<T>::CreateInstance(riid, page);
}

}  // namespace tavrel::frame
