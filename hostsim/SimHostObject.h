// One object of the simulated host: a COM object with a name that offers a chosen set
// of host interfaces, each backed by its own data, and that counts its calls and its
// references.
#pragma once

#include "SimFault.h"
#include "SimValueTable.h"

#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hostsim {

class Host;
class FacetBase;

// A subscription taken through IParameterServer or IParameterNotifier. The host keeps
// the subscriber with a reference, as a real host does, until ReleaseSubscribers.
struct Subscription {
    long cookie = 0;
    std::wstring path;
    std::wstring viaInterface;  // "IParameterServer" or "IParameterNotifier"
    Microsoft::WRL::ComPtr<IUnknown> subscriber;
};

// Each interface the object offers is a separate implementation object inside it that
// shares the object's identity and reference count, so that operations with the same
// C++ signature on two interfaces (ILayer::GetName, IHostNode::GetName) are told apart.
//
// Single-threaded, like the host's user-interface thread: plain reference counts.
//
// Links to other host objects (selected layer, services, children...) are plain
// pointers: the host owns every object, so links hold no references and the reference
// count shows only what others (the page) hold.
class HostObject : public IUnknown {
public:
    struct State;  // the object's data, private to hostsim

    const std::wstring& Name() const { return m_name; }
    // The object's identity (its IUnknown), without a new reference.
    IUnknown* Identity() { return this; }
    // True when p is this object's identity or one of its interface pointers.
    bool Owns(IUnknown* p) const;

    // ---- Interfaces offered
    // Offers an interface (a no-op for one hostsim does not implement); undoes Hide.
    HostObject& Offer(REFIID iid);
    HostObject& Offer(std::initializer_list<IID> iids);
    // Fault "missing interface": QueryInterface answers E_NOINTERFACE for it, the data
    // stays, and container lookups pass the object by for it.
    HostObject& Hide(REFIID iid);
    // Offered and not hidden.
    bool Offers(REFIID iid) const;
    // The interfaces hostsim implements (what Offer accepts).
    static bool CanOffer(REFIID iid);

    // ---- IObjectLocator, IObjectSite, IObjectContainer
    // Registers a service: a lookup for interface X answers with the first registered
    // service that offers X. With container, only that container interface answers it.
    HostObject& AddService(HostObject& service);
    HostObject& AddService(HostObject& service, REFIID container);

    // ---- IValueStore values, IParameterAccess parameters, IParameterServer values by path
    ValueTable& Values();
    ValueTable& Parameters();
    ValueTable& PathValues();

    // ---- IEchogramRange: range and start per area (0 displayed, 8 visual, 16 scroll)
    HostObject& SetDepthRange(long area, double range, double start);
    // False when the area holds nothing.
    bool DepthRange(long area, double* range, double* start) const;

    // ---- ILayerSelection, ILayer, ILayerState, IHostNode, IHostView, IHostApplication
    HostObject& SetSelectedLayer(HostObject* layer);
    HostObject& SetLayerName(const std::wstring& name);  // ILayer::GetName; default: Name()
    HostObject& SetLayerState(long state);               // ILayerState::GetState; default 0
    HostObject& SetNodeName(const std::wstring& name);   // IHostNode::GetName; default: Name()
    HostObject& SetChildren(HostObject* collection);     // IHostNode::GetChildren
    HostObject& SetApplication(HostObject* application); // IHostView::GetApplication
    HostObject& SetString(const std::wstring& name, const std::wstring& value);  // GetStringValue

    // ---- Collections: IEnumUnknown and IEnumVARIANT walk the items; IHostCollection
    // hands out a new enumerator object over them ("<name>.enum1", ...).
    HostObject& AddItem(HostObject& item);
    // IEnumVARIANT hands this one out as VT_DISPATCH (IEnumUnknown as the object).
    HostObject& AddDispatchItem(HostObject& item);
    HostObject& AddItem(const Variant& value);  // IEnumVARIANT only; IEnumUnknown gives null
    const std::vector<Slot>& Items() const;

    // ---- ITransceiverDirectory, ICalibrationControl, IChannel, IChannelOrigin, IProcessingUnit
    HostObject& SetTransceiver(const std::wstring& channelId, HostObject* transceiver);
    HostObject& SetDirectoryBusy(unsigned char busy);
    HostObject& SetCalibrationBusy(bool busy);
    HostObject& SetChannelId(const std::wstring& id);
    HostObject& SetComponent(long index, HostObject* component);
    HostObject& SetOriginId(const std::wstring& id);
    HostObject& SetSettings(HostObject* settings);

    // ---- IParameterServer, IParameterNotifier subscriptions (cookies 1, 2, 3... per object)
    const std::vector<Subscription>& Subscriptions() const;
    // Stores the value under the path and reports it to each subscriber of the path:
    // OnParameterChanged(cookie, value, 0, 0, 0) on the subscriber's
    // IParameterSubscriber2. Returns each subscriber's result (E_NOINTERFACE for one
    // without the interface), in subscription order.
    std::vector<HRESULT> ChangeParameter(const std::wstring& path, const Variant& value);
    // Sends one subscriber (by its index in Subscriptions()) a change with any cookie.
    HRESULT NotifySubscriber(std::size_t index, long cookie, const Variant& value);
    // Drops the references to the subscribers.
    void ReleaseSubscribers();

    // ---- Fault injection, by operation ("IValueStore::GetValue", "QueryInterface") and
    // optionally by key (the name, path, interface name or area the call passes).
    // A keyed fault wins over one for every key.
    HostObject& SetFault(const std::wstring& operation, const Fault& fault);
    HostObject& SetFault(const std::wstring& operation, const std::wstring& key, const Fault& fault);
    void ClearFaults();

    // ---- The host's own code: action runs when a call of operation arrives, before
    // the call is answered (a host that calls the page back from inside a call).
    HostObject& OnCall(const std::wstring& operation, std::function<void()> action);

    // ---- Calls received, journaled or not: Calls(L"IValueStore::GetValue"),
    // Calls(L"IValueStore::GetValue", L"HistogramScale"), Calls(L"QueryInterface", L"IEchogramRange").
    int Calls(const std::wstring& operation) const;
    int Calls(const std::wstring& operation, const std::wstring& key) const;
    // Every operation the object received a call of, and the keys the calls of one
    // operation named (interface names for "QueryInterface").
    std::vector<std::wstring> CalledOperations() const;
    std::vector<std::wstring> CalledKeys(const std::wstring& operation) const;
    // The status value the caller had preset at its last call of an operation with a
    // status argument (0 when there was none).
    long LastStatusIn(const std::wstring& operation) const;
    void ResetCalls();

    // ---- References
    ULONG References() const { return m_references; }  // all, the host's own included
    // References held by others than the host: what the page has not given back.
    ULONG OutstandingReferences() const { return m_references - (m_heldByHost ? 1 : 0); }
    // Release calls that would have taken the host's own reference (the page released
    // more than it took).
    ULONG ExcessReleases() const { return m_excessReleases; }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

private:
    friend class Host;
    friend class FacetBase;

    HostObject(Host& host, std::wstring name);
    virtual ~HostObject();
    FacetBase* FindFacet(REFIID iid) const;
    // The facet of an interface offered and not hidden; null for any other.
    FacetBase* OfferedFacet(REFIID iid) const;
    // Counts a call under its operation and key and returns the fault that applies.
    Call Begin(std::wstring_view operation, std::wstring_view key);
    // Cuts every tie to the host and its objects when the host goes (the object may
    // live on if the page leaked a reference).
    void Detach();

    Host* m_host;
    std::wstring m_name;
    ULONG m_references = 1;     // the host's
    bool m_heldByHost = true;
    ULONG m_excessReleases = 0;
    std::unique_ptr<State> m_state;
};

}  // namespace hostsim
