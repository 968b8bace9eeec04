#include "SimVariant.h"

namespace hostsim {

std::wstring ToString(BSTR text) {
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

// ---- Bstr

Bstr::Bstr(const wchar_t* text) : m_text(text ? SysAllocString(text) : nullptr) {}

Bstr::Bstr(const std::wstring& text)
    : m_text(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

Bstr::Bstr(const Bstr& other)
    : m_text(other.m_text ? SysAllocStringLen(other.m_text, SysStringLen(other.m_text)) : nullptr) {}

Bstr::Bstr(Bstr&& other) noexcept : m_text(other.release()) {}

Bstr& Bstr::operator=(const Bstr& other) {
    if (this != &other) {
        Bstr copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    if (this != &other) {
        SysFreeString(m_text);
        m_text = other.release();
    }
    return *this;
}

Bstr::~Bstr() { SysFreeString(m_text); }

BSTR* Bstr::put() {
    SysFreeString(m_text);
    m_text = nullptr;
    return &m_text;
}

BSTR Bstr::release() {
    BSTR text = m_text;
    m_text = nullptr;
    return text;
}

// ---- Variant

Variant::Variant(const VARIANT& value) {
    VariantInit(&m_value);
    // MinGW declares the source without const; VariantCopy only reads it.
    VariantCopy(&m_value, const_cast<VARIANT*>(&value));
}

Variant::Variant(int value) : Variant(static_cast<long>(value)) {}

Variant::Variant(long value) {
    VariantInit(&m_value);
    m_value.vt = VT_I4;
    m_value.lVal = value;
}

Variant::Variant(double value) {
    VariantInit(&m_value);
    m_value.vt = VT_R8;
    m_value.dblVal = value;
}

Variant::Variant(const wchar_t* text) : Variant(std::wstring(text ? text : L"")) {}

Variant::Variant(const std::wstring& text) {
    VariantInit(&m_value);
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (copy) {
        m_value.vt = VT_BSTR;
        m_value.bstrVal = copy;
    }
}

Variant Variant::Bool(bool value) {
    Variant v;
    v.m_value.vt = VT_BOOL;
    v.m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Object(IUnknown* object) {
    Variant v;
    v.m_value.vt = VT_UNKNOWN;
    v.m_value.punkVal = object;
    if (object) object->AddRef();
    return v;
}

Variant Variant::Zero(VARTYPE type) {
    Variant v;
    ZeroMemory(&v.m_value, sizeof v.m_value);  // 0, 0.0, null BSTR, null object
    v.m_value.vt = type;
    return v;
}

Variant::Variant(const Variant& other) : Variant(other.m_value) {}

Variant::Variant(Variant&& other) noexcept {
    m_value = other.m_value;
    VariantInit(&other.m_value);
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        VariantClear(&m_value);
        m_value = other.m_value;
        VariantInit(&other.m_value);
    }
    return *this;
}

Variant::~Variant() { VariantClear(&m_value); }

VARIANT* Variant::put() {
    VariantClear(&m_value);
    return &m_value;
}

VARIANT Variant::release() {
    VARIANT value = m_value;
    VariantInit(&m_value);
    return value;
}

}  // namespace hostsim
