// Host values as the pages read and write them: the typed reads and their S_OK and
// type rule, the status rules of parameter access and parameter server, and the
// holder that remembers what the host last had.
#include "HostSim.h"
#include "HostValues.h"

#include <gtest/gtest.h>

namespace tavrel::frame {
namespace {

class HostValuesTest : public ::testing::Test {
protected:
    void TearDown() override {
        host.ReleaseSubscribers();
        EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    }
    hostsim::Host host;
};

TEST_F(HostValuesTest, AValueIsTakenOnlyOnExactlySOkWithItsType) {
    hostsim::HostObject& channel = host.Create(L"channel", {IID_IValueStore});
    channel.Values().Set(L"Limit", 12.5).Set(L"Scale", 2).Set(L"ChannelID", L"KTA 1");
    const ValueStore store(channel.Identity());
    ASSERT_TRUE(store);

    double limit = 0;
    int scale = 0;
    std::wstring channelId;
    EXPECT_TRUE(store.Read(L"Limit", limit));
    EXPECT_TRUE(store.Read(L"Scale", scale));
    EXPECT_TRUE(store.Read(L"ChannelID", channelId));
    EXPECT_EQ(12.5, limit);
    EXPECT_EQ(2, scale);
    EXPECT_EQ(L"KTA 1", channelId);

    // Another type, S_FALSE with the right type, a failure or a missing value: the
    // page keeps what it had.
    EXPECT_FALSE(store.Read(L"Limit", scale)) << "VT_R8 is no VT_I4";
    EXPECT_FALSE(store.Read(L"Scale", channelId)) << "VT_I4 is no VT_BSTR";
    EXPECT_EQ(2, scale);
    EXPECT_EQ(L"KTA 1", channelId);
    Tracked<double> held(5.0);
    EXPECT_FALSE(store.Read(L"Scale", held)) << "VT_I4 is no VT_R8";
    channel.SetFault(L"IValueStore::GetValue", L"Limit", hostsim::Fault::Fail(S_FALSE));
    EXPECT_FALSE(store.Read(L"Limit", held)) << "S_FALSE is not S_OK";
    channel.SetFault(L"IValueStore::GetValue", L"Limit", hostsim::Fault::Fail());
    EXPECT_FALSE(store.Read(L"Limit", held));
    EXPECT_FALSE(store.Read(L"Missing", held));
    EXPECT_EQ(5.0, held.value);
    EXPECT_FALSE(held.Changed());

    // An object that only offers the store through its site is found by the lookup,
    // not by a plain query.
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(channel);
    EXPECT_TRUE(ValueStore(view.Identity()));
    EXPECT_FALSE(ValueStore::Query(view.Identity()));
    EXPECT_TRUE(ValueStore::Query(channel.Identity()));
    EXPECT_FALSE(ValueStore(nullptr));
}

TEST_F(HostValuesTest, TrackedValuesRememberWhatWasReadAndWhatWasWritten) {
    hostsim::HostObject& view = host.Create(L"view", {IID_IValueStore});
    view.Values().Set(L"HistogramScale", 1);
    const ValueStore store(view.Identity());
    Tracked<int> scale;
    ASSERT_TRUE(store.Read(L"HistogramScale", scale));
    EXPECT_EQ(1, scale.value);
    EXPECT_FALSE(scale.Changed());
    scale.value = 2;
    EXPECT_TRUE(scale.Changed());
    store.Put(L"HistogramScale", scale);
    EXPECT_FALSE(scale.Changed()) << "what was written is what the host has";
    EXPECT_EQ(2, scale.HostValue());

    // A plain write leaves the remembered value alone: the next write is still due.
    scale.value = 3;
    store.Put(L"HistogramScale", scale.value);
    EXPECT_TRUE(scale.Changed());
    EXPECT_EQ((std::vector<std::wstring>{L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)",
                                         L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 3)"}),
              host.Lines());

    Tracked<double> level(-40.0);
    level.value = -40.04;
    EXPECT_FALSE(level.ChangedBeyond(0.05));
    level.value = -40.06;
    EXPECT_TRUE(level.ChangedBeyond(0.05));
    level.value = -39.9;
    EXPECT_TRUE(level.ChangedBeyond(0.05)) << "in either direction";
}

TEST_F(HostValuesTest, ParameterAccessPresetsItsStatusAndLeavesWritesUnexamined) {
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(screen);
    screen.Parameters().Set(L"ColorMin", -70.0).Set(L"Name", L"x");

    const ParameterAccess parameters = ParameterAccess::OfScreenManager(view.Identity());
    ASSERT_TRUE(parameters);
    double level = 0;
    EXPECT_TRUE(parameters.Read(L"ColorMin", level));
    EXPECT_EQ(-70.0, level);
    EXPECT_EQ(kParameterStatusPreset, screen.LastStatusIn(L"IParameterAccess::GetParameter"));
    EXPECT_FALSE(parameters.Read(L"Name", level)) << "VT_BSTR is no VT_R8";
    screen.SetFault(L"IParameterAccess::GetParameter", hostsim::Fault::Fail(S_FALSE));
    EXPECT_FALSE(parameters.Read(L"ColorMin", level));

    // One status for a run of writes: each call sees what the one before left.
    screen.SetFault(L"IParameterAccess::SetParameter", L"ApplyAll:A", hostsim::Fault::Status(-3));
    long status = kParameterStatusPreset;
    parameters.Set(L"ApplyAll:A", 1.5, status);
    parameters.Set(L"ApplyAll:B", 2.5, status);
    EXPECT_EQ(-3, screen.LastStatusIn(L"IParameterAccess::SetParameter"));
    EXPECT_EQ((std::vector<std::wstring>{L"screen.IParameterAccess::SetParameter(\"ApplyAll:A\", VT_R8 1.5)",
                                         L"screen.IParameterAccess::SetParameter(\"ApplyAll:B\", VT_R8 2.5)"}),
              host.Lines());

    hostsim::HostObject& bare = host.Create(L"bare");
    EXPECT_FALSE(ParameterAccess::OfScreenManager(bare.Identity())) << "no screen manager";
    screen.Hide(IID_IParameterAccess);
    EXPECT_FALSE(ParameterAccess::OfScreenManager(view.Identity())) << "a screen manager without access";
}

TEST_F(HostValuesTest, AnObjectsOwnParameterAccessCanBeHeldAndHandedOver) {
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite, IID_IParameterAccess});
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    view.AddService(screen);
    view.Parameters().Set(L"Hidden", 1);

    ParameterAccess access = ParameterAccess::Query(view.Identity());
    int hidden = 0;
    ASSERT_TRUE(access.Read(L"Hidden", hidden)) << "the view's own, not the screen manager's";
    EXPECT_EQ(1, hidden);
    EXPECT_EQ(0, screen.Calls(L"IParameterAccess::GetParameter"));
    EXPECT_FALSE(ParameterAccess::Query(host.Create(L"bare").Identity()));
    EXPECT_FALSE(ParameterAccess::Query(nullptr));

    // Handed over, the reference is the caller's; a new holder takes one of its own.
    IParameterAccess* detached = access.Detach();
    ASSERT_NE(nullptr, detached);
    EXPECT_FALSE(access);
    EXPECT_EQ(1u, view.OutstandingReferences());
    {
        long status = kParameterStatusPreset;
        const ParameterAccess held(detached);
        EXPECT_EQ(2u, view.OutstandingReferences());
        held.Set(L"Hidden", 0, status);
    }
    EXPECT_EQ(1u, view.OutstandingReferences());
    detached->Release();
    EXPECT_EQ(L"view.IParameterAccess::SetParameter(\"Hidden\", VT_I4 0)", host.Lines().back());
}

TEST_F(HostValuesTest, AReadByStatusGoesByTheHostsStatusNotTheCallsResult) {
    hostsim::HostObject& settings = host.Create(L"settings", {IID_IParameterAccess});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(settings);
    settings.Parameters().Set(L"ScatterType", L"Sv").Set(L"Level", -70.0);
    EXPECT_FALSE(ParameterAccess::Query(view.Identity())) << "the object's own, by a plain query";
    const ParameterAccess access = ParameterAccess::Query(settings.Identity());
    ASSERT_TRUE(access);

    std::wstring type;
    settings.SetFault(L"IParameterAccess::GetParameter", hostsim::Fault::Status(0, S_FALSE));
    EXPECT_FALSE(access.Read(L"ScatterType", type)) << "a plain read wants S_OK";
    EXPECT_TRUE(access.ReadByStatus(L"ScatterType", type));
    EXPECT_EQ(L"Sv", type);
    EXPECT_EQ(kParameterStatusPreset, settings.LastStatusIn(L"IParameterAccess::GetParameter"));
    type = L"kept";
    settings.SetFault(L"IParameterAccess::GetParameter", hostsim::Fault::Status(-1));
    EXPECT_FALSE(access.ReadByStatus(L"ScatterType", type)) << "a negative status";
    settings.ClearFaults();
    EXPECT_FALSE(access.ReadByStatus(L"Level", type)) << "VT_R8 is no VT_BSTR";
    EXPECT_FALSE(access.ReadByStatus(L"Missing", type)) << "status 1 but no value";
    EXPECT_EQ(L"kept", type);
    EXPECT_FALSE(ParameterAccess().ReadByStatus(L"ScatterType", type)) << "no access at all";
}

TEST_F(HostValuesTest, AParameterServerWriteIsTakenWhenItsStatusIsNotNegative) {
    hostsim::HostObject& server = host.Create(L"server", {IID_IParameterServer});
    const ParameterServer parameters(server.Identity());
    ASSERT_TRUE(parameters);

    Tracked<double> minDepth(5.0);
    minDepth.value = 20.0;
    long status = kParameterStatusPreset;
    EXPECT_TRUE(parameters.SetValue(L"Local/ProcessingMgr/1/ChannelProcessingCommon/UpperDetectorLimit", minDepth,
                                    status));
    EXPECT_EQ(kParameterStatusPreset, server.LastStatusIn(L"IParameterServer::SetValue"));
    EXPECT_FALSE(minDepth.Changed());

    minDepth.value = 30.0;
    server.SetFault(L"IParameterServer::SetValue", hostsim::Fault::Status(-1));
    EXPECT_FALSE(parameters.SetValue(L"p", minDepth, status));
    EXPECT_TRUE(minDepth.Changed()) << "refused: the next write tries again";
    EXPECT_EQ(20.0, minDepth.HostValue());
    server.SetFault(L"IParameterServer::SetValue", hostsim::Fault::Status(0, E_FAIL));
    EXPECT_TRUE(parameters.SetValue(L"p", minDepth, status)) << "the status decides, not the result";

    // Without a server nothing is taken.
    minDepth.value = 40.0;
    EXPECT_FALSE(ParameterServer().SetValue(L"p", minDepth, status));
    EXPECT_TRUE(minDepth.Changed());

    long cookie = 0;
    hostsim::HostObject& subscriber = host.Create(L"page");
    status = kParameterStatusPreset;
    EXPECT_EQ(S_OK, parameters.Subscribe(L"path", subscriber.Identity(), cookie, status));
    EXPECT_EQ(1, cookie);
    EXPECT_EQ(L"server.IParameterServer::Subscribe(\"path\", page)", host.Lines().back());
}

}  // namespace
}  // namespace tavrel::frame
