// IObjectLocator, IObjectSite, IObjectContainer: a lookup answers with the first
// registered service that offers the wanted interface, as its IUnknown.
#include "SimFacets.h"

namespace hostsim {

namespace {

class ObjectLocatorFacet : public Facet<IObjectLocator> {
public:
    using Facet::Facet;

    // Found: S_OK, status 0. Not found: E_NOINTERFACE, status 1.
    HRESULT STDMETHODCALLTYPE LocateObject(REFIID iid, IUnknown** object, LONG* status) override {
        static const wchar_t op[] = L"IObjectLocator::LocateObject";
        if (!object || !status) return E_POINTER;
        *object = nullptr;
        NoteStatusIn(op, status);
        Call call = Begin(op, InterfaceName(iid));
        if (call.Fails()) {
            *status = call.Status(*status);
            return call.Result();
        }
        HostObject* found = FindService(iid, __uuidof(IObjectLocator));
        *status = call.Status(found || call.NullObject() ? 0 : 1);
        return GiveObject(call, found, object, E_NOINTERFACE);
    }
};

// IObjectSite and IObjectContainer share the C++ signature of GetObject; each facet
// names its own operation.
template <class I>
class GetObjectFacet : public Facet<I> {
public:
    GetObjectFacet(HostObject& owner, const wchar_t* operation) : Facet<I>(owner), m_operation(operation) {}

    // Found: S_OK. Not found: E_NOINTERFACE.
    HRESULT STDMETHODCALLTYPE GetObject(REFIID iid, IUnknown** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        Call call = this->Begin(m_operation, InterfaceName(iid));
        return this->GiveObject(call, this->FindService(iid, __uuidof(I)), object, E_NOINTERFACE);
    }

private:
    const wchar_t* m_operation;
};

}  // namespace

std::unique_ptr<FacetBase> CreateContainerFacet(REFIID iid, HostObject& owner) {
    if (IsEqualGUID(iid, __uuidof(IObjectLocator))) return std::make_unique<ObjectLocatorFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IObjectSite))) {
        return std::make_unique<GetObjectFacet<IObjectSite>>(owner, L"IObjectSite::GetObject");
    }
    if (IsEqualGUID(iid, __uuidof(IObjectContainer))) {
        return std::make_unique<GetObjectFacet<IObjectContainer>>(owner, L"IObjectContainer::GetObject");
    }
    return nullptr;
}

}  // namespace hostsim
