// Copyable BSTR and VARIANT values for the simulated host, built on the library's
// owning holders (ComResource.h). They never throw: an allocation that fails leaves
// an empty value behind.
#pragma once

#include "ComResource.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace hostsim {

// The text of a BSTR (a null BSTR is the empty string; embedded NULs are kept).
inline std::wstring ToString(BSTR text) { return tavrel::BstrText(text); }

// A BSTR owned by the holder and freed with SysFreeString.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : m_text(tavrel::MakeBstr(text)) {}
    explicit Bstr(const std::wstring& text) : m_text(tavrel::MakeBstr(text)) {}
    Bstr(const Bstr& other) : m_text(tavrel::MakeBstr(other.str())) {}
    Bstr(Bstr&& other) noexcept = default;
    Bstr& operator=(const Bstr& other) { return *this = Bstr(other); }
    Bstr& operator=(Bstr&& other) noexcept = default;

    BSTR get() const { return m_text.get(); }
    // Frees the held string first, so the address can be handed to an out parameter.
    BSTR* put() { return m_text.put(); }
    // Gives up ownership, for handing the string out through an [out] BSTR*.
    BSTR release() { return m_text.release(); }
    std::wstring str() const { return ToString(m_text.get()); }

private:
    tavrel::UniqueBstr m_text;
};

// A VARIANT owned by the holder and cleared with VariantClear.
class Variant {
public:
    Variant() = default;
    // Copies (VariantCopy): an object inside gets its own reference.
    Variant(const VARIANT& value);
    Variant(int value);                   // VT_I4
    Variant(long value);                  // VT_I4
    Variant(double value);                // VT_R8
    Variant(const wchar_t* text);         // VT_BSTR
    Variant(const std::wstring& text);    // VT_BSTR
    static Variant Bool(bool value);      // VT_BOOL
    static Variant Object(IUnknown* object);  // VT_UNKNOWN, with its own reference
    // VT_DISPATCH, with its own reference, as hosts hand out automation objects. hostsim
    // objects have no IDispatch methods: the pointer is the object's IUnknown, for
    // callers that only ask it for other interfaces.
    static Variant Dispatch(IUnknown* object);
    // A value of the given type with all bits zero (0, 0.0, empty text, null object).
    static Variant Zero(VARTYPE type);

    Variant(const Variant& other) : Variant(other.get()) {}
    Variant(Variant&& other) noexcept = default;
    Variant& operator=(const Variant& other) { return *this = Variant(other); }
    Variant& operator=(Variant&& other) noexcept = default;

    const VARIANT& get() const { return m_value.get(); }
    VARTYPE type() const { return m_value.get().vt; }
    // Clears the held value first, so the address can be handed to an out parameter.
    VARIANT* put() { return m_value.put(); }
    // Gives up ownership, for handing the value out through an [out] VARIANT*.
    VARIANT release() { return m_value.release(); }

private:
    tavrel::UniqueVariant m_value;
};

}  // namespace hostsim
