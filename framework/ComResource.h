// Owning wrappers for the two automation types that cross the host boundary.
// Interface pointers use Microsoft::WRL::ComPtr; BSTR and VARIANT use these.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <string>

namespace tavrel {

// A BSTR owned by the holder and freed with SysFreeString.
class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(const wchar_t* text) : m_bstr(text ? SysAllocString(text) : nullptr) {}
    explicit UniqueBstr(const std::wstring& text)
        : m_bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~UniqueBstr() { reset(); }
    UniqueBstr(UniqueBstr&& other) noexcept : m_bstr(other.release()) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) { reset(); m_bstr = other.release(); }
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;

    BSTR get() const { return m_bstr; }
    // Frees the held string first, so the address can be handed to an out parameter.
    BSTR* put() { reset(); return &m_bstr; }
    BSTR release() { BSTR b = m_bstr; m_bstr = nullptr; return b; }
    void reset() { if (m_bstr) { SysFreeString(m_bstr); m_bstr = nullptr; } }

    std::wstring str() const { return m_bstr ? std::wstring(m_bstr, SysStringLen(m_bstr)) : std::wstring(); }

private:
    BSTR m_bstr = nullptr;
};

// A VARIANT cleared with VariantClear when it goes.
class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&m_var); }
    ~UniqueVariant() { VariantClear(&m_var); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    static UniqueVariant FromLong(long value) {
        UniqueVariant v; v.m_var.vt = VT_I4; v.m_var.lVal = value; return v;
    }
    UniqueVariant(UniqueVariant&& other) noexcept {
        m_var = other.m_var;
        VariantInit(&other.m_var);
    }

    VARIANT& get() { return m_var; }
    const VARIANT& get() const { return m_var; }
    // Clears the held value first, so the address can be handed to an out parameter.
    VARIANT* put() { VariantClear(&m_var); return &m_var; }
    VARTYPE type() const { return m_var.vt; }

private:
    VARIANT m_var;
};

}  // namespace tavrel
