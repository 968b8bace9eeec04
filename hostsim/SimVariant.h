// Owning BSTR and VARIANT holders for the simulated host. They are private to hostsim
// (the framework has its own) and never throw: an allocation that fails leaves an empty
// value behind.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace hostsim {

// The text of a BSTR (a null BSTR is the empty string; embedded NULs are kept).
std::wstring ToString(BSTR text);

// A BSTR owned by the holder and freed with SysFreeString.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text);
    explicit Bstr(const std::wstring& text);
    Bstr(const Bstr& other);
    Bstr(Bstr&& other) noexcept;
    Bstr& operator=(const Bstr& other);
    Bstr& operator=(Bstr&& other) noexcept;
    ~Bstr();

    BSTR get() const { return m_text; }
    // Frees the held string first, so the address can be handed to an out parameter.
    BSTR* put();
    // Gives up ownership, for handing the string out through an [out] BSTR*.
    BSTR release();
    std::wstring str() const { return ToString(m_text); }

private:
    BSTR m_text = nullptr;
};

// A VARIANT owned by the holder and cleared with VariantClear.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    // Copies (VariantCopy): an object inside gets its own reference.
    Variant(const VARIANT& value);
    Variant(int value);                   // VT_I4
    Variant(long value);                  // VT_I4
    Variant(double value);                // VT_R8
    Variant(const wchar_t* text);         // VT_BSTR
    Variant(const std::wstring& text);    // VT_BSTR
    static Variant Bool(bool value);      // VT_BOOL
    static Variant Object(IUnknown* object);  // VT_UNKNOWN, with its own reference
    // A value of the given type with all bits zero (0, 0.0, empty text, null object).
    static Variant Zero(VARTYPE type);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    const VARIANT& get() const { return m_value; }
    VARTYPE type() const { return m_value.vt; }
    // Clears the held value first, so the address can be handed to an out parameter.
    VARIANT* put();
    // Gives up ownership, for handing the value out through an [out] VARIANT*.
    VARIANT release();

private:
    VARIANT m_value;
};

}  // namespace hostsim
