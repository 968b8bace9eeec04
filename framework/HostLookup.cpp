#include "HostLookup.h"

#include "HostInterfaces.h"

using Microsoft::WRL::ComPtr;

namespace tavrel {
namespace {

// The found object is asked for the wanted interface; a null object offers nothing.
HRESULT AskFoundObject(IUnknown* object, REFIID riid, void** found) {
    if (!object)
        return E_NOINTERFACE;
    return object->QueryInterface(riid, found);
}

}  // namespace

HRESULT LocateHostInterface(IUnknown* start, REFIID riid, void** found) {
    if (!start || !found)
        return E_POINTER;
    *found = nullptr;

    ComPtr<IObjectLocator> locator;
    ComPtr<IObjectSite> site;
    if (SUCCEEDED(start->QueryInterface(IID_IObjectLocator, reinterpret_cast<void**>(locator.GetAddressOf())))) {
        ComPtr<IUnknown> object;
        long status = -1;
        HRESULT hr = locator->LocateObject(riid, object.GetAddressOf(), &status);
        if (hr == S_OK && status == 0)
            return AskFoundObject(object.Get(), riid, found);
        // A locator that did not find it hands over to the container; the site is skipped.
    } else if (SUCCEEDED(start->QueryInterface(IID_IObjectSite, reinterpret_cast<void**>(site.GetAddressOf())))) {
        ComPtr<IUnknown> object;
        if (site->GetObject(riid, object.GetAddressOf()) == S_OK)
            return AskFoundObject(object.Get(), riid, found);
    }

    ComPtr<IObjectContainer> container;
    if (SUCCEEDED(start->QueryInterface(IID_IObjectContainer, reinterpret_cast<void**>(container.GetAddressOf())))) {
        ComPtr<IUnknown> object;
        if (container->GetObject(riid, object.GetAddressOf()) == S_OK)
            return AskFoundObject(object.Get(), riid, found);
    }

    return start->QueryInterface(riid, found);
}

}  // namespace tavrel
