// Layers, nodes, views, the application, and collections with their enumerators.
#include "SimFacets.h"

#include <algorithm>

namespace hostsim {

namespace {

// No selected layer answers E_FAIL and null.
class LayerSelectionFacet : public Facet<ILayerSelection> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetSelectedLayer(IUnknown** layer) override {
        if (!layer) return E_POINTER;
        *layer = nullptr;
        return GiveObject(Begin(L"ILayerSelection::GetSelectedLayer"), Data().selectedLayer, layer);
    }
};

class LayerFacet : public Facet<ILayer> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        return GiveString(Begin(L"ILayer::GetName"), &Data().layerName, name);
    }
};

// A Status fault reports its status as the state.
class LayerStateFacet : public Facet<ILayerState> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetState(LONG* state) override {
        if (!state) return E_POINTER;
        *state = 0;
        Call call = Begin(L"ILayerState::GetState");
        if (call.Fails()) return call.Result();
        *state = call.Status(Data().layerState);
        return call.Result(S_OK);
    }
};

// No children answers E_FAIL and null.
class HostNodeFacet : public Facet<IHostNode> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        return GiveString(Begin(L"IHostNode::GetName"), &Data().nodeName, name);
    }
    HRESULT STDMETHODCALLTYPE GetChildren(IUnknown** collection) override {
        if (!collection) return E_POINTER;
        *collection = nullptr;
        return GiveObject(Begin(L"IHostNode::GetChildren"), Data().children, collection);
    }
};

// No application answers E_FAIL and null.
class HostViewFacet : public Facet<IHostView> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetApplication(IUnknown** application) override {
        if (!application) return E_POINTER;
        *application = nullptr;
        return GiveObject(Begin(L"IHostView::GetApplication"), Data().application, application);
    }
};

// A missing name answers E_INVALIDARG and null.
class HostApplicationFacet : public Facet<IHostApplication> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetStringValue(BSTR name, BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        Call call = Begin(L"IHostApplication::GetStringValue", ToString(name));
        auto found = Data().strings.find(ToString(name));
        return GiveString(call, found == Data().strings.end() ? nullptr : &found->second, value);
    }
};

class HostCollectionFacet : public Facet<IHostCollection> {
public:
    using Facet::Facet;
    // Each call hands out a new enumerator ("<name>.enum1", "<name>.enum2", ...).
    HRESULT STDMETHODCALLTYPE GetEnumerator(IUnknown** enumerator) override {
        if (!enumerator) return E_POINTER;
        *enumerator = nullptr;
        Call call = Begin(L"IHostCollection::GetEnumerator");
        if (call.Fails() || call.NullObject()) return GiveObject(call, nullptr, enumerator);
        return GiveObject(call, MakeEnumerator(L"enum", __uuidof(IEnumVARIANT), 0), enumerator, E_UNEXPECTED);
    }
};

// Walks the items from the object's cursor: shared by both enumerator interfaces.
template <class I>
class EnumeratorFacet : public Facet<I> {
public:
    EnumeratorFacet(HostObject& owner, const wchar_t* name)
        : Facet<I>(owner), m_next(std::wstring(name) + L"::Next"), m_skip(std::wstring(name) + L"::Skip"),
          m_reset(std::wstring(name) + L"::Reset"), m_clone(std::wstring(name) + L"::Clone") {}

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        Call call = this->Begin(m_skip);
        if (call.Fails()) return call.Result();
        HostObject::State& data = this->Data();
        std::size_t left = data.items.size() - std::min(data.cursor, data.items.size());
        data.cursor += std::min<std::size_t>(count, left);
        return call.Result(count <= left ? S_OK : S_FALSE);
    }

    HRESULT STDMETHODCALLTYPE Reset() override {
        Call call = this->Begin(m_reset);
        if (call.Fails()) return call.Result();
        this->Data().cursor = 0;
        return call.Result(S_OK);
    }

    HRESULT STDMETHODCALLTYPE Clone(I** copy) override {
        if (!copy) return E_POINTER;
        *copy = nullptr;
        Call call = this->Begin(m_clone);
        if (call.Fails() || call.NullObject()) return call.Result(S_OK);
        HostObject* made = this->MakeEnumerator(L"clone", __uuidof(I), this->Data().cursor);
        if (!made) return E_UNEXPECTED;
        made->QueryInterface(__uuidof(I), reinterpret_cast<void**>(copy));
        return call.Result(S_OK);
    }

protected:
    // Runs Next: hands out up to count items through give(index, slot, nullObject).
    template <class Give>
    HRESULT NextItems(ULONG count, ULONG* fetched, Give give) {
        if (fetched) *fetched = 0;
        Call call = this->Begin(m_next);
        if (call.Fails()) return call.Result();
        HostObject::State& data = this->Data();
        const ULONG limit = call.FetchLimit(count);
        ULONG n = 0;
        while (n < limit && data.cursor < data.items.size()) {
            give(n++, data.items[data.cursor++], call.NullObject());
        }
        if (fetched) *fetched = n;
        return call.Result(n == count ? S_OK : S_FALSE);
    }

private:
    const std::wstring m_next, m_skip, m_reset, m_clone;  // the operations' names
};

// Items that are objects come out as the object; a value item that holds an object
// comes out as that object; other values come out null.
class EnumUnknownFacet : public EnumeratorFacet<IEnumUnknown> {
public:
    explicit EnumUnknownFacet(HostObject& owner) : EnumeratorFacet(owner, L"IEnumUnknown") {}
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IUnknown** items, ULONG* fetched) override {
        if (!items || (count != 1 && !fetched)) return E_POINTER;
        return NextItems(count, fetched, [items](ULONG i, const Slot& slot, bool nullObject) {
            IUnknown* p = slot.object ? slot.object->Identity()
                          : slot.value.type() == VT_UNKNOWN ? slot.value.get().punkVal
                                                             : nullptr;
            if (nullObject) p = nullptr;
            if (p) p->AddRef();
            items[i] = p;
        });
    }
};

// Items that are objects come out as VT_UNKNOWN; values as stored.
class EnumVariantFacet : public EnumeratorFacet<IEnumVARIANT> {
public:
    explicit EnumVariantFacet(HostObject& owner) : EnumeratorFacet(owner, L"IEnumVARIANT") {}
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (!items || (count != 1 && !fetched)) return E_POINTER;
        return NextItems(count, fetched, [items](ULONG i, const Slot& slot, bool nullObject) {
            Variant value = nullObject ? Variant::Object(nullptr) : ValueOf(slot);
            items[i] = value.release();
        });
    }
};

}  // namespace

std::unique_ptr<FacetBase> CreateNodeFacet(REFIID iid, HostObject& owner) {
    if (IsEqualGUID(iid, __uuidof(ILayerSelection))) return std::make_unique<LayerSelectionFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(ILayer))) return std::make_unique<LayerFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(ILayerState))) return std::make_unique<LayerStateFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IHostNode))) return std::make_unique<HostNodeFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IHostView))) return std::make_unique<HostViewFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IHostApplication))) return std::make_unique<HostApplicationFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IHostCollection))) return std::make_unique<HostCollectionFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IEnumUnknown))) return std::make_unique<EnumUnknownFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IEnumVARIANT))) return std::make_unique<EnumVariantFacet>(owner);
    return nullptr;
}

}  // namespace hostsim
