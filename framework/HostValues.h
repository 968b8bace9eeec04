// The host's values as the pages read and write them: typed reads and writes through
// IValueStore, IParameterAccess and IParameterServer, each with its host's rule, and a
// holder that remembers what the host last had so that a page writes only a change.
//
// Types: int travels as VT_I4, double as VT_R8, std::wstring as VT_BSTR.
// A read counts only when the call returns exactly S_OK and the value has the
// expected type; otherwise the page's value stays as it was.
#pragma once

#include "ComResource.h"
#include "HostInterfaces.h"

#include <windows.h>
#include <wrl/client.h>

#include <cmath>
#include <string>

namespace tavrel::frame {

// A host value as the page shows it (value) and as the host last had it: read from
// the host, reported by it, or written to it.
template <class V>
class Tracked {
public:
    Tracked() = default;
    explicit Tracked(V initial) : value(initial), m_host(initial) {}

    // A value read from (or reported by) the host: shown and remembered.
    void FromHost(const V& read) {
        value = read;
        m_host = read;
    }
    // The shown value has reached the host.
    void MarkWritten() { m_host = value; }
    bool Changed() const { return !(value == m_host); }
    // For quantities compared with a tolerance before they are written.
    bool ChangedBeyond(double tolerance) const { return std::fabs(value - m_host) > tolerance; }
    const V& HostValue() const { return m_host; }

    V value{};

private:
    V m_host{};
};

// VARIANT conversions: From takes only the matching type.
bool FromVariant(const VARIANT& variant, int& value);
bool FromVariant(const VARIANT& variant, double& value);
bool FromVariant(const VARIANT& variant, std::wstring& value);
UniqueVariant ToVariant(int value);
UniqueVariant ToVariant(double value);
UniqueVariant ToVariant(const std::wstring& value);

// What a parameter access or parameter server call's status holds before the call.
inline constexpr long kParameterStatusPreset = 4;

// Typed reads of a host interface that hands out values by name. Derived supplies
//   bool Get(const wchar_t* name, UniqueVariant& value) const;   true on S_OK
template <class Derived>
class NamedValueReads {
public:
    template <class V>
    bool Read(const wchar_t* name, V& value) const {
        UniqueVariant read;
        return static_cast<const Derived*>(this)->Get(name, read) && FromVariant(read.get(), value);
    }
    // On success both the shown and the remembered value take what was read.
    template <class V>
    bool Read(const wchar_t* name, Tracked<V>& value) const {
        V read{};
        if (!Read(name, read))
            return false;
        value.FromHost(read);
        return true;
    }
};

// IValueStore: GetValue and PutValue by name. PutValue's result is not examined.
class ValueStore : public NamedValueReads<ValueStore> {
public:
    ValueStore() = default;
    // The value store LocateHostInterface finds from start (none when there is none).
    explicit ValueStore(IUnknown* start);
    // The object's own IValueStore, asked with QueryInterface only.
    static ValueStore Query(IUnknown* object);

    explicit operator bool() const { return m_store != nullptr; }
    IValueStore* Interface() const { return m_store.Get(); }

    template <class V>
    void Put(const wchar_t* name, const V& value) const {
        Put(name, ToVariant(value));
    }
    // Writes the shown value and remembers it as the host's.
    template <class V>
    void Put(const wchar_t* name, Tracked<V>& value) const {
        Put(name, value.value);
        value.MarkWritten();
    }

    // GetValue; true when it answered S_OK.
    bool Get(const wchar_t* name, UniqueVariant& value) const;

private:
    void Put(const wchar_t* name, const UniqueVariant& value) const;

    Microsoft::WRL::ComPtr<IValueStore> m_store;
};

// IParameterAccess: parameters by name, the route of "Apply to all" writes through
// the screen manager. GetParameter's status is preset to 4.
class ParameterAccess : public NamedValueReads<ParameterAccess> {
public:
    ParameterAccess() = default;
    // A holder of its own for an interface the caller keeps (none for null).
    explicit ParameterAccess(IParameterAccess* access) : m_access(access) {}
    // The screen manager's parameter access, found from the view.
    static ParameterAccess OfScreenManager(IUnknown* view);
    // The object's own IParameterAccess, asked with QueryInterface only.
    static ParameterAccess Query(IUnknown* object);

    explicit operator bool() const { return m_access != nullptr; }
    // Hands the reference over to the caller, who releases it; the holder is empty after.
    IParameterAccess* Detach() { return m_access.Detach(); }

    // SetParameter; status is the caller's (preset, and what the host left in it
    // from a previous call). Neither the result nor the status is examined.
    template <class V>
    void Set(const std::wstring& name, const V& value, long& status) const {
        Set(name, ToVariant(value), status);
    }

    // A read that goes by the host's status instead of the call's result: taken when
    // GetParameter (status preset to 4) leaves the status not negative and the value
    // has the expected type, whatever the call answered.
    template <class V>
    bool ReadByStatus(const wchar_t* name, V& value) const {
        UniqueVariant read;
        long status = kParameterStatusPreset;
        Get(name, read, status);
        return status >= 0 && FromVariant(read.get(), value);
    }

    // GetParameter, status preset to 4; true when it answered S_OK.
    bool Get(const wchar_t* name, UniqueVariant& value) const;

private:
    // GetParameter with the caller's status; the call's result.
    HRESULT Get(const wchar_t* name, UniqueVariant& value, long& status) const;
    void Set(const std::wstring& name, const UniqueVariant& value, long& status) const;

    Microsoft::WRL::ComPtr<IParameterAccess> m_access;
};

// IParameterServer: host parameters by path, per processing channel.
class ParameterServer {
public:
    ParameterServer() = default;
    // The parameter server LocateHostInterface finds from start.
    explicit ParameterServer(IUnknown* start);

    explicit operator bool() const { return m_server != nullptr; }

    // Subscribe with the page's identity as subscriber; cookie and status are the
    // caller's. Returns the call's result.
    HRESULT Subscribe(const std::wstring& path, IUnknown* subscriber, long& cookie, long& status) const;

    // SetValue; the host took the value when the status is not negative afterwards.
    template <class V>
    bool SetValue(const std::wstring& path, const V& value, long& status) const {
        return SetValue(path, ToVariant(value), status);
    }
    // Writes the shown value; remembered as the host's only when the host took it.
    template <class V>
    bool SetValue(const std::wstring& path, Tracked<V>& value, long& status) const {
        if (!SetValue(path, value.value, status))
            return false;
        value.MarkWritten();
        return true;
    }

private:
    bool SetValue(const std::wstring& path, const UniqueVariant& value, long& status) const;

    Microsoft::WRL::ComPtr<IParameterServer> m_server;
};

}  // namespace tavrel::frame
