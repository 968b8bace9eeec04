// The page classes the module serves, in the order they are looked up.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace tavrel {

using CreatePageFunction = HRESULT (*)(REFIID riid, void** object);

struct ClassEntry {
    const CLSID* clsid;
    UINT registryScriptId;  // REGISTRY resource: the class's registration script
    CreatePageFunction createPage;
    IClassFactory* cachedClassObject;  // created on first request, released at unload
};

// The first table is searched before the second.
ClassEntry* FirstClassTable(size_t& count);
ClassEntry* SecondClassTable(size_t& count);

}  // namespace tavrel
