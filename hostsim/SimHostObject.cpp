#include "SimHostObject.h"

#include "SimFacets.h"
#include "SimHost.h"

#include <algorithm>

namespace hostsim {

HostObject::HostObject(Host& host, std::wstring name)
    : m_host(&host), m_name(std::move(name)), m_state(std::make_unique<State>()) {
    m_state->layerName = m_name;
    m_state->nodeName = m_name;
}

HostObject::~HostObject() = default;

bool HostObject::Owns(IUnknown* p) const {
    if (!p) return false;
    if (p == static_cast<const IUnknown*>(this)) return true;
    for (const auto& facet : m_state->facets) {
        if (facet->Interface() == p) return true;
    }
    return false;
}

FacetBase* HostObject::FindFacet(REFIID iid) const {
    for (const auto& facet : m_state->facets) {
        if (IsEqualGUID(facet->Iid(), iid)) return facet.get();
    }
    return nullptr;
}

void HostObject::Detach() {
    // Links and stored values go (a stored VARIANT may hold the page's objects); the
    // subscribers are released. Counts and faults stay for a last look.
    State& s = *m_state;
    m_host = nullptr;
    s.services.clear();
    s.values.Clear();
    s.parameters.Clear();
    s.pathValues.Clear();
    s.selectedLayer = nullptr;
    s.children = nullptr;
    s.application = nullptr;
    s.items.clear();
    s.transceivers.clear();
    s.components.clear();
    s.settings = nullptr;
    ReleaseSubscribers();
}

// ---- Interfaces offered

HostObject& HostObject::Offer(REFIID iid) {
    State& s = *m_state;
    s.hidden.erase(std::remove_if(s.hidden.begin(), s.hidden.end(),
                                  [&](const IID& hidden) { return IsEqualGUID(hidden, iid) != 0; }),
                   s.hidden.end());
    if (!FindFacet(iid)) {
        if (auto facet = CreateFacet(iid, *this)) s.facets.push_back(std::move(facet));
    }
    return *this;
}

HostObject& HostObject::Offer(std::initializer_list<IID> iids) {
    for (const IID& iid : iids) Offer(iid);
    return *this;
}

HostObject& HostObject::Hide(REFIID iid) {
    if (!std::any_of(m_state->hidden.begin(), m_state->hidden.end(),
                     [&](const IID& hidden) { return IsEqualGUID(hidden, iid) != 0; })) {
        m_state->hidden.push_back(iid);
    }
    return *this;
}

bool HostObject::Offers(REFIID iid) const {
    return IsEqualGUID(iid, __uuidof(IUnknown)) || OfferedFacet(iid);
}

FacetBase* HostObject::OfferedFacet(REFIID iid) const {
    FacetBase* facet = FindFacet(iid);
    if (!facet || std::any_of(m_state->hidden.begin(), m_state->hidden.end(),
                              [&](const IID& hidden) { return IsEqualGUID(hidden, iid) != 0; }))
        return nullptr;
    return facet;
}

bool HostObject::CanOffer(REFIID iid) {
    // A throw-away object answers whether an implementation exists for the interface.
    Host host;
    return host.Create(L"probe").Offer(iid).Offers(iid);
}

// ---- Containers

HostObject& HostObject::AddService(HostObject& service) {
    m_state->services.push_back(Service{&service, true, {}});
    return *this;
}

HostObject& HostObject::AddService(HostObject& service, REFIID container) {
    m_state->services.push_back(Service{&service, false, container});
    return *this;
}

// ---- Data

ValueTable& HostObject::Values() { return m_state->values; }
ValueTable& HostObject::Parameters() { return m_state->parameters; }
ValueTable& HostObject::PathValues() { return m_state->pathValues; }

HostObject& HostObject::SetDepthRange(long area, double range, double start) {
    m_state->depthRanges[area] = {range, start};
    return *this;
}

bool HostObject::DepthRange(long area, double* range, double* start) const {
    auto found = m_state->depthRanges.find(area);
    if (found == m_state->depthRanges.end()) return false;
    if (range) *range = found->second.first;
    if (start) *start = found->second.second;
    return true;
}

HostObject& HostObject::SetSelectedLayer(HostObject* layer) { m_state->selectedLayer = layer; return *this; }
HostObject& HostObject::SetLayerName(const std::wstring& name) { m_state->layerName = name; return *this; }
HostObject& HostObject::SetLayerState(long state) { m_state->layerState = state; return *this; }
HostObject& HostObject::SetNodeName(const std::wstring& name) { m_state->nodeName = name; return *this; }
HostObject& HostObject::SetChildren(HostObject* collection) { m_state->children = collection; return *this; }
HostObject& HostObject::SetApplication(HostObject* application) { m_state->application = application; return *this; }

HostObject& HostObject::SetString(const std::wstring& name, const std::wstring& value) {
    m_state->strings[name] = value;
    return *this;
}

HostObject& HostObject::AddItem(HostObject& item) {
    Slot slot;
    slot.object = &item;
    m_state->items.push_back(std::move(slot));
    return *this;
}

HostObject& HostObject::AddDispatchItem(HostObject& item) {
    AddItem(item);
    m_state->items.back().objectType = VT_DISPATCH;
    return *this;
}

HostObject& HostObject::AddItem(const Variant& value) {
    Slot slot;
    slot.value = value;
    m_state->items.push_back(std::move(slot));
    return *this;
}

const std::vector<Slot>& HostObject::Items() const { return m_state->items; }

HostObject& HostObject::SetTransceiver(const std::wstring& channelId, HostObject* transceiver) {
    m_state->transceivers[channelId] = transceiver;
    return *this;
}

HostObject& HostObject::SetDirectoryBusy(unsigned char busy) { m_state->directoryBusy = busy; return *this; }
HostObject& HostObject::SetCalibrationBusy(bool busy) { m_state->calibrationBusy = busy; return *this; }
HostObject& HostObject::SetChannelId(const std::wstring& id) { m_state->channelId = id; return *this; }

HostObject& HostObject::SetComponent(long index, HostObject* component) {
    m_state->components[index] = component;
    return *this;
}

HostObject& HostObject::SetOriginId(const std::wstring& id) { m_state->originId = id; return *this; }
HostObject& HostObject::SetSettings(HostObject* settings) { m_state->settings = settings; return *this; }

// ---- Subscriptions

const std::vector<Subscription>& HostObject::Subscriptions() const { return m_state->subscriptions; }

std::vector<HRESULT> HostObject::ChangeParameter(const std::wstring& path, const Variant& value) {
    m_state->pathValues.Set(path, value);
    // A subscriber may subscribe again while it is told: walk a copy.
    std::vector<Subscription> subscriptions = m_state->subscriptions;
    std::vector<HRESULT> results;
    for (std::size_t i = 0; i < subscriptions.size(); ++i) {
        if (subscriptions[i].path != path) continue;
        Microsoft::WRL::ComPtr<IParameterSubscriber2> subscriber;
        HRESULT hr = subscriptions[i].subscriber
                         ? subscriptions[i].subscriber.As(&subscriber)
                         : E_NOINTERFACE;
        if (SUCCEEDED(hr)) {
            VARIANT copy = value.get();  // [in] by value: the callee does not free it
            hr = subscriber->OnParameterChanged(subscriptions[i].cookie, copy, 0, 0, 0);
        }
        results.push_back(hr);
    }
    return results;
}

HRESULT HostObject::NotifySubscriber(std::size_t index, long cookie, const Variant& value) {
    if (index >= m_state->subscriptions.size()) return E_INVALIDARG;
    Microsoft::WRL::ComPtr<IUnknown> target = m_state->subscriptions[index].subscriber;
    Microsoft::WRL::ComPtr<IParameterSubscriber2> subscriber;
    if (!target || FAILED(target.As(&subscriber))) return E_NOINTERFACE;
    VARIANT copy = value.get();
    return subscriber->OnParameterChanged(cookie, copy, 0, 0, 0);
}

void HostObject::ReleaseSubscribers() {
    // Move them out first: a subscriber's release may reach this object again.
    std::vector<Subscription> subscriptions;
    subscriptions.swap(m_state->subscriptions);
    subscriptions.clear();
}

// ---- Faults and calls

namespace {

// The call a registered fault makes of this call: none while calls still go by
// unharmed; one fewer time to apply afterwards, and gone after its last.
template <class Faults>
Call TakeFault(Faults& faults, typename Faults::iterator found) {
    Fault& registered = found->second;
    if (registered.after > 0) {
        --registered.after;
        return Call();
    }
    Fault fault = registered;
    if (registered.times > 0 && --registered.times == 0) faults.erase(found);
    return Call(std::move(fault));
}

}  // namespace

Call HostObject::Begin(std::wstring_view operation, std::wstring_view key) {
    State& s = *m_state;
    const auto number = static_cast<std::size_t>(NameNumbers::Operations().Number(operation));
    if (s.calls.size() <= number) s.calls.resize(number + 1);
    State::CallCount& count = s.calls[number];
    ++count.total;
    ++FindOrAdd(count.byKey, NameNumbers::Keys().Number(key));

    if (!s.callbacks.empty()) {
        auto callback = s.callbacks.find(operation);
        if (callback != s.callbacks.end() && !s.inCallback) {
            // The host's own code runs before it answers; it may call the page back,
            // but a call it makes does not run the callback again.
            s.inCallback = true;
            std::function<void()> action = callback->second;
            action();
            s.inCallback = false;
        }
    }

    if (!s.keyedFaults.empty()) {
        auto keyed = s.keyedFaults.find({std::wstring(operation), std::wstring(key)});
        if (keyed != s.keyedFaults.end()) return TakeFault(s.keyedFaults, keyed);
    }
    auto any = s.faults.find(operation);
    if (any != s.faults.end()) return TakeFault(s.faults, any);
    return Call();
}

HostObject& HostObject::SetFault(const std::wstring& operation, const Fault& fault) {
    m_state->faults[operation] = fault;
    return *this;
}

HostObject& HostObject::SetFault(const std::wstring& operation, const std::wstring& key, const Fault& fault) {
    m_state->keyedFaults[{operation, key}] = fault;
    return *this;
}

HostObject& HostObject::OnCall(const std::wstring& operation, std::function<void()> action) {
    m_state->callbacks[operation] = std::move(action);
    return *this;
}

void HostObject::ClearFaults() {
    m_state->faults.clear();
    m_state->keyedFaults.clear();
}

namespace {

// The counts of an operation's calls; null when there was none.
const HostObject::State::CallCount* CallsOf(const HostObject::State& state, const std::wstring& operation) {
    const int number = NameNumbers::Operations().Known(operation);
    if (number < 0 || static_cast<std::size_t>(number) >= state.calls.size()) return nullptr;
    return &state.calls[static_cast<std::size_t>(number)];
}

}  // namespace

int HostObject::Calls(const std::wstring& operation) const {
    const State::CallCount* count = CallsOf(*m_state, operation);
    return count ? count->total : 0;
}

int HostObject::Calls(const std::wstring& operation, const std::wstring& key) const {
    const State::CallCount* count = CallsOf(*m_state, operation);
    const int* calls = count ? Find(count->byKey, NameNumbers::Keys().Known(key)) : nullptr;
    return calls ? *calls : 0;
}

std::vector<std::wstring> HostObject::CalledOperations() const {
    std::vector<std::wstring> operations;
    for (std::size_t number = 0; number < m_state->calls.size(); ++number) {
        if (m_state->calls[number].total > 0)
            operations.push_back(NameNumbers::Operations().Name(static_cast<int>(number)));
    }
    return operations;
}

std::vector<std::wstring> HostObject::CalledKeys(const std::wstring& operation) const {
    std::vector<std::wstring> keys;
    if (const State::CallCount* count = CallsOf(*m_state, operation)) {
        for (const auto& key : count->byKey)
            keys.push_back(NameNumbers::Keys().Name(key.first));
    }
    return keys;
}

long HostObject::LastStatusIn(const std::wstring& operation) const {
    const long* status = Find(m_state->statusIn, NameNumbers::Operations().Known(operation));
    return status ? *status : 0;
}

void HostObject::ResetCalls() {
    m_state->calls.clear();
    m_state->statusIn.clear();
}

// ---- IUnknown

HRESULT STDMETHODCALLTYPE HostObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    const std::wstring_view known = KnownInterfaceName(iid);
    Call call = known.empty() ? Begin(L"QueryInterface", InterfaceName(iid)) : Begin(L"QueryInterface", known);
    if (call.Fails()) return call.Result();  // a failing fault hides the interface for the call

    if (IsEqualGUID(iid, __uuidof(IUnknown))) {
        *object = static_cast<IUnknown*>(this);
    } else if (FacetBase* facet = OfferedFacet(iid)) {
        *object = facet->Interface();
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE HostObject::AddRef() { return ++m_references; }

ULONG STDMETHODCALLTYPE HostObject::Release() {
    if (m_heldByHost && m_references == 1) {
        // The caller gives back a reference it never had: keep the host's and note it.
        ++m_excessReleases;
        return m_references;
    }
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

}  // namespace hostsim
