// Finding host objects from the objects a page was given.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

namespace tavrel {

// Finds the host object that offers riid, starting from one of the page's objects:
// the start object's IObjectLocator, else its IObjectSite, then its IObjectContainer,
// and last the start object itself. Every intermediate reference is released.
HRESULT LocateHostInterface(IUnknown* start, REFIID riid, void** found);

template <class I>
HRESULT LocateHostInterface(IUnknown* start, Microsoft::WRL::ComPtr<I>& found) {
    return LocateHostInterface(start, __uuidof(I), reinterpret_cast<void**>(found.ReleaseAndGetAddressOf()));
}

}  // namespace tavrel
