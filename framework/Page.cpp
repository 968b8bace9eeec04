#include "Page.h"

namespace tavrel::frame {

STDMETHODIMP CFormControlBase::SetFormObjects(VARIANT objects) {
    SAFEARRAY* array = objects.vt == (VT_ARRAY | VT_VARIANT) ? objects.parray : nullptr;
    if (!IsVariantVector(array)) {
        if (m_invalidInputLog)
            LogDebugMessage(L"%ls", m_invalidInputLog);
        return E_INVALIDARG;
    }
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    HRESULT hr = ::SafeArrayLock(array);
    if (FAILED(hr)) {
        ::SafeArrayDestroy(array);
        return hr;
    }
    hr = CatchToHresult([&] {
        const auto* elements = static_cast<const VARIANT*>(array->pvData);
        std::vector<IUnknown*> pointers;
        for (LONG i = 0; i <= upper - lower; ++i) {
            const VARIANT& element = elements[i];
            const bool holdsObject = element.vt == VT_UNKNOWN || element.vt == VT_DISPATCH;
            pointers.push_back(holdsObject ? element.punkVal : nullptr);
        }
        IUnknown* none = nullptr;
        return FormPage().SetObjects(static_cast<ULONG>(pointers.size()), pointers.empty() ? &none : pointers.data());
    });
    ::SafeArrayUnlock(array);
    ::SafeArrayDestroy(array);
    return hr;
}

STDMETHODIMP CFormControlBase::ShowForm(long /*reserved1*/, long /*reserved2*/) {
    const RECT formRect{0, 200, 100, 300};
    FormPage().Activate(nullptr, &formRect, TRUE);
    return S_OK;
}

}  // namespace tavrel::frame
