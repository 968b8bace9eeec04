// Ownership of the resources that cross the host boundary, and the catch at every
// COM boundary. Interface pointers use Microsoft::WRL::ComPtr; BSTR, VARIANT and
// registry keys use UniqueResource (after WIL's unique_any): one template, one line
// of traits per kind. Shared by the library, the registrar and the simulated host.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <utility>

namespace tavrel {

// Owns one value of Traits::Type: Traits::Init makes the empty value, Traits::Close
// frees a value (and must accept the empty one). Move-only.
template <class Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept { Traits::Init(m_value); }
    // Takes ownership of value.
    explicit UniqueResource(Type value) noexcept : m_value(value) {}
    ~UniqueResource() { Traits::Close(m_value); }
    UniqueResource(UniqueResource&& other) noexcept : m_value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type& get() noexcept { return m_value; }
    const Type& get() const noexcept { return m_value; }
    // Frees the held value first, so the address can be handed to an out parameter.
    Type* put() noexcept {
        reset();
        return &m_value;
    }
    // Gives up ownership, for handing the value out through an out parameter.
    Type release() noexcept {
        Type value = m_value;
        Traits::Init(m_value);
        return value;
    }
    void reset() noexcept {
        Traits::Close(m_value);
        Traits::Init(m_value);
    }
    void reset(Type value) noexcept {
        Traits::Close(m_value);
        m_value = value;
    }

private:
    Type m_value;
};

struct BstrTraits {
    using Type = BSTR;
    static void Init(BSTR& value) noexcept { value = nullptr; }
    static void Close(BSTR& value) noexcept { ::SysFreeString(value); }
};
struct VariantTraits {
    using Type = VARIANT;
    static void Init(VARIANT& value) noexcept { ::VariantInit(&value); }
    static void Close(VARIANT& value) noexcept { ::VariantClear(&value); }
};
struct RegistryKeyTraits {
    using Type = HKEY;
    static void Init(HKEY& value) noexcept { value = nullptr; }
    static void Close(HKEY& value) noexcept {
        if (value)
            ::RegCloseKey(value);
    }
};

using UniqueBstr = UniqueResource<BstrTraits>;
using UniqueVariant = UniqueResource<VariantTraits>;
using UniqueHkey = UniqueResource<RegistryKeyTraits>;

// A new BSTR with the text (null for a null text or when memory runs out).
inline UniqueBstr MakeBstr(const wchar_t* text) { return UniqueBstr(text ? ::SysAllocString(text) : nullptr); }
inline UniqueBstr MakeBstr(const std::wstring& text) {
    return UniqueBstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}
// The text of a BSTR; a null BSTR is the empty text, embedded NULs are kept.
inline std::wstring BstrText(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring(); }

// No C++ exception may cross a COM method or a window procedure: every boundary runs
// its body through this. Out of memory becomes E_OUTOFMEMORY, anything else
// E_UNEXPECTED.
template <class Body>
HRESULT CatchToHresult(Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace tavrel
