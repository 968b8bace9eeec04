// Internal to hostsim: the interface implementations inside a host object, and the
// object's data they work on.
#pragma once

#include "HostInterfaces.h"
#include "SimHostObject.h"
#include "SimText.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hostsim {

// A service registered on a container: answered through every container interface, or
// only through one.
struct Service {
    HostObject* object = nullptr;
    bool anyContainer = true;
    IID container = {};
};

struct HostObject::State {
    // What every call touches comes first, so that a call of a host with 10,000 views
    // reads few lines of memory: the interfaces, the faults and the counts.
    std::vector<std::unique_ptr<FacetBase>> facets;  // the interfaces offered
    std::vector<IID> hidden;
    std::map<std::wstring, Fault, std::less<>> faults;
    std::map<std::pair<std::wstring, std::wstring>, Fault> keyedFaults;
    std::map<std::wstring, std::function<void()>, std::less<>> callbacks;
    bool inCallback = false;
    // Every call is counted: by operation and key, their names turned into numbers
    // once for the process (NameNumbers), in small arrays of the object's own, so that
    // counting builds no strings.
    struct CallCount {
        int total = 0;
        std::vector<std::pair<int, int>> byKey;  // key's number, calls
    };
    std::vector<CallCount> calls;                // by the operation's number
    std::vector<std::pair<int, long>> statusIn;  // operation's number, status preset
    ValueTable parameters;
    std::wstring nodeName;
    std::vector<Slot> items;
    std::size_t cursor = 0;

    std::vector<Service> services;
    ValueTable values;
    ValueTable pathValues;
    std::map<long, std::pair<double, double>> depthRanges;  // area -> (range, start)

    HostObject* selectedLayer = nullptr;
    std::wstring layerName;
    long layerState = 0;
    HostObject* children = nullptr;
    HostObject* application = nullptr;
    std::map<std::wstring, std::wstring> strings;
    int enumeratorsMade = 0;

    std::map<std::wstring, HostObject*> transceivers;
    unsigned char directoryBusy = 0;
    bool calibrationBusy = false;
    std::wstring channelId;
    std::wstring originId;
    std::map<long, HostObject*> components;
    HostObject* settings = nullptr;

    std::vector<Subscription> subscriptions;
    long nextCookie = 1;
};

// Numbers for names, the same for the whole process: a new name gets the next one.
// Operations and keys are numbered apart, so operations keep small numbers however
// many keys (names, paths) the calls bring. Single-threaded, like the host.
class NameNumbers {
public:
    static NameNumbers& Operations();
    static NameNumbers& Keys();
    int Number(std::wstring_view name);
    // The number a name has, or -1 when no call has used it yet.
    int Known(std::wstring_view name) const;
    // The name of a number Number gave.
    const std::wstring& Name(int number) const { return m_names[static_cast<std::size_t>(number)]; }

private:
    std::deque<std::wstring> m_names;  // never move: the views below point into them
    std::unordered_map<std::wstring_view, int> m_numbers;
};

// The value paired with number in a small array of pairs, added (as 0) when missing.
template <class Value>
Value& FindOrAdd(std::vector<std::pair<int, Value>>& pairs, int number) {
    for (auto& pair : pairs) {
        if (pair.first == number) return pair.second;
    }
    pairs.emplace_back(number, Value{});
    return pairs.back().second;
}
template <class Value>
const Value* Find(const std::vector<std::pair<int, Value>>& pairs, int number) {
    for (const auto& pair : pairs) {
        if (pair.first == number) return &pair.second;
    }
    return nullptr;
}

// One interface implementation inside a host object: the object's data and the steps
// every operation shares (count the call, find its fault, journal it).
class FacetBase {
public:
    explicit FacetBase(HostObject& owner) : m_owner(owner) {}
    virtual ~FacetBase() = default;
    FacetBase(const FacetBase&) = delete;
    FacetBase& operator=(const FacetBase&) = delete;

    virtual const IID& Iid() const = 0;
    // The interface pointer handed out for this interface (no new reference).
    virtual IUnknown* Interface() = 0;

protected:
    HostObject& Owner() { return m_owner; }
    HostObject::State& Data() { return *m_owner.m_state; }
    Host* OwnerHost() { return m_owner.m_host; }
    static HostObject::State& DataOf(HostObject& object) { return *object.m_state; }

    // Counts the call under the operation and key and returns the fault that applies.
    Call Begin(std::wstring_view operation, std::wstring_view key = {});
    // Adds "<object>.<operation>(<arguments>)" to the host's journal.
    void Record(const wchar_t* operation, const std::wstring& arguments);
    // Remembers the status the caller preset.
    void NoteStatusIn(std::wstring_view operation, const LONG* status);

    std::wstring Describe(const VARIANT& value);
    std::wstring Describe(IUnknown* object);
    // A host object's link for a VARIANT that holds one, so storing it takes no reference.
    Slot ToSlot(const VARIANT& value);
    // The first service of this container that offers the interface.
    HostObject* FindService(REFIID wanted, REFIID container);

    // A new host object "<owner>.<kind><n>" offering one enumerator interface over
    // this object's items, starting at cursor; the host keeps it like any other object.
    // The faults this object holds for that interface's operations ("IEnumVARIANT::Next")
    // apply to the new enumerator as well, so a test can reach an enumerator that is made
    // only while the page runs. Null when the host is gone.
    HostObject* MakeEnumerator(const wchar_t* kind, REFIID iid, std::size_t cursor);

    // Hands out an object read: null on a failing call or NullObject fault, missing
    // when there is no object, else the object with a new reference.
    HRESULT GiveObject(const Call& call, HostObject* object, IUnknown** out, HRESULT missing = E_FAIL);
    // Hands out a string read likewise (missing: no string).
    HRESULT GiveString(const Call& call, const std::wstring* text, BSTR* out, HRESULT missing = E_INVALIDARG);

private:
    HostObject& m_owner;
};

// The implementation of interface I: IUnknown goes to the owning object.
template <class I>
class Facet : public FacetBase, public I {
public:
    using FacetBase::FacetBase;
    const IID& Iid() const override { return __uuidof(I); }
    IUnknown* Interface() override { return static_cast<I*>(this); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Owner().QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Owner().AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Owner().Release(); }
};

// Factories per group of interfaces; each answers null for an interface not its own.
std::unique_ptr<FacetBase> CreateContainerFacet(REFIID iid, HostObject& owner);
std::unique_ptr<FacetBase> CreateServiceFacet(REFIID iid, HostObject& owner);
std::unique_ptr<FacetBase> CreateNodeFacet(REFIID iid, HostObject& owner);
std::unique_ptr<FacetBase> CreateChannelFacet(REFIID iid, HostObject& owner);
// Tries each group.
std::unique_ptr<FacetBase> CreateFacet(REFIID iid, HostObject& owner);

}  // namespace hostsim
