// The simulated host's own behaviour where a page test relies on it and it is not
// obvious: enumerator faults, which reach enumerators made while the page runs.
#include "HostSim.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace hostsim {
namespace {

// What each Next(1) hands out: "result/count fetched/element's name".
std::vector<std::wstring> FetchAll(Host& host, IEnumVARIANT& elements, int calls) {
    std::vector<std::wstring> fetches;
    for (int i = 0; i < calls; ++i) {
        Variant element;
        ULONG fetched = 99;
        const HRESULT hr = elements.Next(1, element.put(), &fetched);
        fetches.push_back(std::to_wstring(hr) + L"/" + std::to_wstring(fetched) + L"/" +
                          (element.type() == VT_UNKNOWN ? host.NameOf(element.get().punkVal) : L""));
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
    EXPECT_EQ((std::vector<std::wstring>{L"0/1/a", L"0/0/", L"0/1/b", L"0/1/c", L"1/0/"}),
              FetchAll(host, *elements.Get(), 5));

    // Each enumerator counts for itself, from the fault as the collection holds it.
    ComPtr<IUnknown> second;
    ASSERT_EQ(S_OK, collection->GetEnumerator(second.GetAddressOf()));
    ComPtr<IEnumVARIANT> again;
    ASSERT_EQ(S_OK, second.As(&again));
    EXPECT_EQ((std::vector<std::wstring>{L"0/1/a", L"0/0/", L"0/1/b"}), FetchAll(host, *again.Get(), 3));
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
