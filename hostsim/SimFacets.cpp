#include "SimFacets.h"

#include "SimHost.h"


namespace hostsim {

NameNumbers& NameNumbers::Operations() {
    static NameNumbers numbers;
    return numbers;
}

NameNumbers& NameNumbers::Keys() {
    static NameNumbers numbers;
    return numbers;
}

int NameNumbers::Number(std::wstring_view name) {
    auto found = m_numbers.find(name);
    if (found != m_numbers.end()) return found->second;
    m_names.emplace_back(name);
    const int number = static_cast<int>(m_names.size()) - 1;
    m_numbers.emplace(m_names.back(), number);
    return number;
}

int NameNumbers::Known(std::wstring_view name) const {
    auto found = m_numbers.find(name);
    return found == m_numbers.end() ? -1 : found->second;
}

Call FacetBase::Begin(std::wstring_view operation, std::wstring_view key) {
    return m_owner.Begin(operation, key);
}

void FacetBase::Record(const wchar_t* operation, const std::wstring& arguments) {
    if (Host* host = OwnerHost()) {
        host->Journal().Add(m_owner.Name() + L"." + operation + L"(" + arguments + L")");
    }
}

void FacetBase::NoteStatusIn(std::wstring_view operation, const LONG* status) {
    if (status) FindOrAdd(Data().statusIn, NameNumbers::Operations().Number(operation)) = *status;
}

std::wstring FacetBase::Describe(const VARIANT& value) {
    Host* host = OwnerHost();
    return FormatVariant(value, [host](IUnknown* object) { return host ? host->NameOf(object) : std::wstring(); });
}

std::wstring FacetBase::Describe(IUnknown* object) {
    Host* host = OwnerHost();
    return FormatObject(object, [host](IUnknown* p) { return host ? host->NameOf(p) : std::wstring(); });
}

Slot FacetBase::ToSlot(const VARIANT& value) {
    Slot slot;
    HostObject* linked = nullptr;
    if (OwnerHost() && (value.vt == VT_UNKNOWN || value.vt == VT_DISPATCH)) {
        linked = OwnerHost()->ObjectOf(value.punkVal);
    }
    if (linked) {
        slot.object = linked;
    } else {
        slot.value = value;
    }
    return slot;
}

HostObject* FacetBase::FindService(REFIID wanted, REFIID container) {
    for (const Service& service : Data().services) {
        if (!service.anyContainer && !IsEqualGUID(service.container, container)) continue;
        if (service.object && service.object->Offers(wanted)) return service.object;
    }
    return nullptr;
}

HostObject* FacetBase::MakeEnumerator(const wchar_t* kind, REFIID iid, std::size_t cursor) {
    Host* host = OwnerHost();
    if (!host) return nullptr;
    HostObject::State& data = Data();
    HostObject& made = host->Create(m_owner.Name() + L"." + kind + std::to_wstring(++data.enumeratorsMade));
    made.Offer(iid);
    HostObject::State& madeData = DataOf(made);
    madeData.items = data.items;
    madeData.cursor = cursor;
    const std::wstring prefix = InterfaceName(iid) + L"::";
    auto isEnumeratorOperation = [&prefix](const std::wstring& operation) { return operation.rfind(prefix, 0) == 0; };
    for (const auto& fault : data.faults) {
        if (isEnumeratorOperation(fault.first)) madeData.faults.insert(fault);
    }
    for (const auto& fault : data.keyedFaults) {
        if (isEnumeratorOperation(fault.first.first)) madeData.keyedFaults.insert(fault);
    }
    return &made;
}

HRESULT FacetBase::GiveObject(const Call& call, HostObject* object, IUnknown** out, HRESULT missing) {
    if (call.Fails()) return call.Result();
    if (call.NullObject()) return call.Result(S_OK);
    if (!object) return call.Result(missing);
    *out = object->Identity();
    (*out)->AddRef();
    return call.Result(S_OK);
}

HRESULT FacetBase::GiveString(const Call& call, const std::wstring* text, BSTR* out, HRESULT missing) {
    if (call.Fails()) return call.Result();
    if (call.NullObject()) return call.Result(S_OK);
    if (!text) return call.Result(missing);
    *out = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    return *out ? call.Result(S_OK) : E_OUTOFMEMORY;
}

std::unique_ptr<FacetBase> CreateFacet(REFIID iid, HostObject& owner) {
    if (auto facet = CreateContainerFacet(iid, owner)) return facet;
    if (auto facet = CreateServiceFacet(iid, owner)) return facet;
    if (auto facet = CreateNodeFacet(iid, owner)) return facet;
    return CreateChannelFacet(iid, owner);
}

}  // namespace hostsim
