// The simulated host's own behaviour where a page test relies on it and it is not
// obvious: enumerator faults, which reach enumerators made while the page runs.
#include "HostSim.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <vector>

using Microsoft::WRL::ComPtr;

namespace hostsim {
namespace {

// What one Next(1) hands out: the result, the count fetched and the element's name.
struct Fetch {
    HRESULT result;
    ULONG fetched;
    std::wstring element;
    bool operator==(const Fetch& other) const {
        return result == other.result && fetched == other.fetched && element == other.element;
    }
};

std::ostream& operator<<(std::ostream& out, const Fetch& fetch) {
    return out << "{0x" << std::hex << fetch.result << std::dec << ", " << fetch.fetched << ", \""
               << std::string(fetch.element.begin(), fetch.element.end()) << "\"}";
}

std::vector<Fetch> FetchAll(Host& host, IEnumVARIANT& elements, int calls) {
    std::vector<Fetch> fetches;
    for (int i = 0; i < calls; ++i) {
        Variant element;
        ULONG fetched = 99;
        const HRESULT hr = elements.Next(1, element.put(), &fetched);
        const bool isObject = element.type() == VT_UNKNOWN;
        fetches.push_back({hr, fetched, isObject ? host.NameOf(element.get().punkVal) : std::wstring()});
    }
    return fetches;
}

class HostSimTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText(); }
    Host host;
};

TEST_F(HostSimTest, EnumeratorFaultsOfACollectionReachTheEnumeratorsItHandsOut) {
    HostObject& views = host.Create(L"views", {__uuidof(IHostCollection)});
    views.AddItem(host.Create(L"a")).AddItem(host.Create(L"b")).AddItem(host.Create(L"c"));
    // The second call claims success and hands out nothing; the cursor stays put.
    views.SetFault(L"IEnumVARIANT::Next", Fault::Fetches(0, S_OK).After(1).Times(1));

    ComPtr<IHostCollection> collection;
    ASSERT_EQ(S_OK, views.QueryInterface(__uuidof(IHostCollection), reinterpret_cast<void**>(collection.GetAddressOf())));
    ComPtr<IUnknown> made;
    ASSERT_EQ(S_OK, collection->GetEnumerator(made.GetAddressOf()));
    ComPtr<IEnumVARIANT> elements;
    ASSERT_EQ(S_OK, made.As(&elements));
    EXPECT_EQ((std::vector<Fetch>{{S_OK, 1, L"a"}, {S_OK, 0, L""}, {S_OK, 1, L"b"}, {S_OK, 1, L"c"}, {S_FALSE, 0, L""}}),
              FetchAll(host, *elements.Get(), 5));

    // Each enumerator counts for itself, from the fault as the collection holds it.
    ComPtr<IUnknown> second;
    ASSERT_EQ(S_OK, collection->GetEnumerator(second.GetAddressOf()));
    ComPtr<IEnumVARIANT> again;
    ASSERT_EQ(S_OK, second.As(&again));
    EXPECT_EQ((std::vector<Fetch>{{S_OK, 1, L"a"}, {S_OK, 0, L""}, {S_OK, 1, L"b"}}), FetchAll(host, *again.Get(), 3));
    EXPECT_EQ(L"views.enum2", host.NameOf(second.Get()));
    EXPECT_EQ(3, host.Find(L"views.enum2")->Calls(L"IEnumVARIANT::Next"));
}

TEST_F(HostSimTest, AFaultAfterSomeCallsStrikesHalfWay) {
    HostObject& views = host.Create(L"views", {__uuidof(IEnumUnknown)});
    views.AddItem(host.Create(L"a")).AddItem(host.Create(L"b")).AddItem(host.Create(L"c"));
    views.SetFault(L"IEnumUnknown::Next", Fault::NullObject().After(1).Times(1));
    views.SetFault(L"IEnumUnknown::Reset", Fault::Fail().After(1));
    ComPtr<IEnumUnknown> elements;
    ASSERT_EQ(S_OK, views.QueryInterface(__uuidof(IEnumUnknown), reinterpret_cast<void**>(elements.GetAddressOf())));

    EXPECT_EQ(S_OK, elements->Reset());
    std::vector<std::wstring> names;
    for (int i = 0; i < 3; ++i) {
        ComPtr<IUnknown> element;
        ULONG fetched = 0;
        EXPECT_EQ(S_OK, elements->Next(1, element.GetAddressOf(), &fetched));
        EXPECT_EQ(1u, fetched);
        names.push_back(element ? host.NameOf(element.Get()) : L"null");
    }
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"null", L"c"}), names) << "a null element still moves the cursor";
    EXPECT_EQ(E_FAIL, elements->Reset()) << "the second Reset";
    EXPECT_EQ(E_FAIL, elements->Reset()) << "and every one after";
}

}  // namespace
}  // namespace hostsim
