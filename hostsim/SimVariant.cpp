#include "SimVariant.h"

namespace hostsim {

// ---- Variant

Variant::Variant(const VARIANT& value) {
    // MinGW declares the source without const; VariantCopy only reads it.
    VariantCopy(&m_value.get(), const_cast<VARIANT*>(&value));
}

Variant::Variant(int value) : Variant(static_cast<long>(value)) {}

Variant::Variant(long value) {
    m_value.get().vt = VT_I4;
    m_value.get().lVal = value;
}

Variant::Variant(double value) {
    m_value.get().vt = VT_R8;
    m_value.get().dblVal = value;
}

Variant::Variant(const wchar_t* text) : Variant(std::wstring(text ? text : L"")) {}

Variant::Variant(const std::wstring& text) {
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (copy) {
        m_value.get().vt = VT_BSTR;
        m_value.get().bstrVal = copy;
    }
}

Variant Variant::Bool(bool value) {
    Variant v;
    v.m_value.get().vt = VT_BOOL;
    v.m_value.get().boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Object(IUnknown* object) {
    Variant v;
    v.m_value.get().vt = VT_UNKNOWN;
    v.m_value.get().punkVal = object;
    if (object) object->AddRef();
    return v;
}

Variant Variant::Dispatch(IUnknown* object) {
    Variant v = Object(object);
    v.m_value.get().vt = VT_DISPATCH;
    return v;
}

Variant Variant::Zero(VARTYPE type) {
    Variant v;
    ZeroMemory(&v.m_value.get(), sizeof(VARIANT));  // 0, 0.0, null BSTR, null object
    v.m_value.get().vt = type;
    return v;
}

}  // namespace hostsim
