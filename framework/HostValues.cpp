#include "HostValues.h"

#include "HostLookup.h"


using Microsoft::WRL::ComPtr;

namespace tavrel::frame {

// ---- VARIANT conversions

bool FromVariant(const VARIANT& variant, int& value) {
    if (variant.vt != VT_I4)
        return false;
    value = variant.lVal;
    return true;
}

bool FromVariant(const VARIANT& variant, double& value) {
    if (variant.vt != VT_R8)
        return false;
    value = variant.dblVal;
    return true;
}

bool FromVariant(const VARIANT& variant, std::wstring& value) {
    if (variant.vt != VT_BSTR)
        return false;
    value = BstrText(variant.bstrVal);
    return true;
}

UniqueVariant ToVariant(int value) {
    UniqueVariant variant;
    variant.get().vt = VT_I4;
    variant.get().lVal = value;
    return variant;
}

UniqueVariant ToVariant(double value) {
    UniqueVariant variant;
    variant.get().vt = VT_R8;
    variant.get().dblVal = value;
    return variant;
}

UniqueVariant ToVariant(const std::wstring& value) {
    UniqueVariant variant;
    variant.get().bstrVal = MakeBstr(value).release();
    if (variant.get().bstrVal)
        variant.get().vt = VT_BSTR;
    return variant;
}

// ---- IValueStore

ValueStore::ValueStore(IUnknown* start) { LocateHostInterface(start, m_store); }

ValueStore ValueStore::Query(IUnknown* object) {
    ValueStore store;
    if (object)
        object->QueryInterface(IID_IValueStore, reinterpret_cast<void**>(store.m_store.GetAddressOf()));
    return store;
}

bool ValueStore::Get(const wchar_t* name, UniqueVariant& value) const {
    if (!m_store)
        return false;
    UniqueBstr valueName = MakeBstr(name);
    return m_store->GetValue(valueName.get(), value.put()) == S_OK;
}

void ValueStore::Put(const wchar_t* name, const UniqueVariant& value) const {
    if (!m_store)
        return;
    UniqueBstr valueName = MakeBstr(name);
    m_store->PutValue(valueName.get(), value.get());
}

// ---- IParameterAccess

ParameterAccess ParameterAccess::OfScreenManager(IUnknown* view) {
    ParameterAccess access;
    ComPtr<IScreenManager> screenManager;
    if (SUCCEEDED(LocateHostInterface(view, screenManager)) && screenManager)
        screenManager.As(&access.m_access);
    return access;
}

ParameterAccess ParameterAccess::Query(IUnknown* object) {
    ParameterAccess access;
    if (object)
        object->QueryInterface(IID_IParameterAccess, reinterpret_cast<void**>(access.m_access.GetAddressOf()));
    return access;
}

bool ParameterAccess::Get(const wchar_t* name, UniqueVariant& value) const {
    long status = kParameterStatusPreset;
    return Get(name, value, status) == S_OK;
}

HRESULT ParameterAccess::Get(const wchar_t* name, UniqueVariant& value, long& status) const {
    if (!m_access)
        return E_POINTER;
    UniqueBstr parameterName = MakeBstr(name);
    return m_access->GetParameter(parameterName.get(), value.put(), &status);
}

void ParameterAccess::Set(const std::wstring& name, const UniqueVariant& value, long& status) const {
    if (!m_access)
        return;
    UniqueBstr parameterName = MakeBstr(name);
    m_access->SetParameter(parameterName.get(), value.get(), &status);
}

// ---- IParameterServer

ParameterServer::ParameterServer(IUnknown* start) { LocateHostInterface(start, m_server); }

HRESULT ParameterServer::Subscribe(const std::wstring& path, IUnknown* subscriber, long& cookie,
                                   long& status) const {
    if (!m_server)
        return E_POINTER;
    UniqueBstr parameterPath = MakeBstr(path);
    return m_server->Subscribe(parameterPath.get(), subscriber, &cookie, &status);
}

bool ParameterServer::SetValue(const std::wstring& path, const UniqueVariant& value, long& status) const {
    if (!m_server)
        return false;
    UniqueBstr parameterPath = MakeBstr(path);
    m_server->SetValue(parameterPath.get(), value.get(), &status);
    return status >= 0;
}

}  // namespace tavrel::frame
