// Finding host objects from a page's objects, the application kind, the selected
// layer's name and the parameter and "ApplyAll:" texts.
#include "HostLookup.h"
#include "HostSim.h"

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

namespace tavrel {
namespace {

class HostLookupTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText(); }
    hostsim::Host host;
};

TEST_F(HostLookupTest, EachContainerStepFindsTheServiceAndReleasesWhatItPassed) {
    hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});

    // Through a locator, a site and a container in turn; last, the object itself.
    for (const IID& container : {IID_IObjectLocator, IID_IObjectSite, IID_IObjectContainer}) {
        hostsim::HostObject& view = host.Create(L"view", {container});
        view.AddService(help, container);
        ComPtr<IHelpViewer> found;
        EXPECT_EQ(S_OK, LocateHostInterface(view.Identity(), found));
        EXPECT_TRUE(help.Owns(found.Get()));
        found.Reset();
        EXPECT_EQ(0u, view.OutstandingReferences());
        EXPECT_EQ(0u, help.OutstandingReferences());
    }
    ComPtr<IHelpViewer> direct;
    EXPECT_EQ(S_OK, LocateHostInterface(help.Identity(), direct)) << "an object that offers it directly";
    EXPECT_TRUE(help.Owns(direct.Get()));
    direct.Reset();

    hostsim::HostObject& bare = host.Create(L"bare");
    ComPtr<IHelpViewer> missing;
    EXPECT_EQ(E_NOINTERFACE, LocateHostInterface(bare.Identity(), missing));
    EXPECT_EQ(nullptr, missing.Get());
    EXPECT_EQ(E_POINTER, LocateHostInterface(nullptr, missing));
}

TEST_F(HostLookupTest, ALocatorThatDoesNotFindItHandsOverToTheContainerNotTheSite) {
    hostsim::HostObject& siteHelp = host.Create(L"siteHelp", {IID_IHelpViewer});
    hostsim::HostObject& containerHelp = host.Create(L"containerHelp", {IID_IHelpViewer});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectLocator, IID_IObjectSite, IID_IObjectContainer});
    view.AddService(siteHelp, IID_IObjectSite).AddService(containerHelp, IID_IObjectContainer);
    // The locator answers S_OK with status 1: not found.
    view.SetFault(L"IObjectLocator::LocateObject", hostsim::Fault::Status(1));

    ComPtr<IHelpViewer> found;
    EXPECT_EQ(S_OK, LocateHostInterface(view.Identity(), found));
    EXPECT_TRUE(containerHelp.Owns(found.Get()));
    EXPECT_EQ(0, view.Calls(L"IObjectSite::GetObject"));
    EXPECT_EQ(1, view.Calls(L"IObjectContainer::GetObject"));
    EXPECT_EQ(-1, view.LastStatusIn(L"IObjectLocator::LocateObject")) << "the status is preset to -1";
    found.Reset();

    // A locator that finds a null object gives E_NOINTERFACE.
    view.ClearFaults();
    view.SetFault(L"IObjectLocator::LocateObject", hostsim::Fault::NullObject());
    EXPECT_EQ(E_NOINTERFACE, LocateHostInterface(view.Identity(), found));
}

TEST_F(HostLookupTest, AFailingSiteHandsOverToTheContainerAndThenToTheObjectItself) {
    hostsim::HostObject& siteHelp = host.Create(L"siteHelp", {IID_IHelpViewer});
    hostsim::HostObject& containerHelp = host.Create(L"containerHelp", {IID_IHelpViewer});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite, IID_IObjectContainer, IID_IHelpViewer});
    view.AddService(siteHelp, IID_IObjectSite).AddService(containerHelp, IID_IObjectContainer);

    ComPtr<IHelpViewer> found;
    EXPECT_EQ(S_OK, LocateHostInterface(view.Identity(), found));
    EXPECT_TRUE(siteHelp.Owns(found.Get())) << "the site first";
    view.SetFault(L"IObjectSite::GetObject", hostsim::Fault::Fail());
    EXPECT_EQ(S_OK, LocateHostInterface(view.Identity(), found));
    EXPECT_TRUE(containerHelp.Owns(found.Get())) << "then the container";
    view.SetFault(L"IObjectContainer::GetObject", hostsim::Fault::Fail(S_FALSE));
    EXPECT_EQ(S_OK, LocateHostInterface(view.Identity(), found));
    EXPECT_TRUE(view.Owns(found.Get())) << "then the object itself";
    EXPECT_EQ(3, view.Calls(L"IObjectSite::GetObject"));
    EXPECT_EQ(2, view.Calls(L"IObjectContainer::GetObject"));
}

TEST_F(HostLookupTest, ApplicationKindComesFromTheUpperCasedAppName) {
    hostsim::HostObject& application = host.Create(L"application", {IID_IHostApplication});
    hostsim::HostObject& view = host.Create(L"view", {IID_IHostView});
    view.SetApplication(&application);

    const std::pair<const wchar_t*, ApplicationKind> names[] = {{L"tk22", ApplicationKind::TK22},
                                                                {L"Tk11", ApplicationKind::TK11},
                                                                {L"TK33", ApplicationKind::TK33},
                                                                {L"TK33 ", ApplicationKind::Unrecognised}};
    for (const auto& name : names) {
        application.SetString(L"AppName", name.first);
        EXPECT_EQ(name.second, GetApplicationKind(view.Identity()));
    }

    application.SetString(L"AppName", L"TK11");
    application.Hide(IID_IHostApplication);
    EXPECT_EQ(ApplicationKind::Unrecognised, GetApplicationKind(view.Identity()));
    hostsim::HostObject& noView = host.Create(L"noView");
    EXPECT_EQ(ApplicationKind::Unrecognised, GetApplicationKind(noView.Identity()));
}

TEST_F(HostLookupTest, SelectedLayerNameAndPathTexts) {
    hostsim::HostObject& layer = host.Create(L"layer", {IID_ILayer, IID_IHostNode});
    layer.SetLayerName(L"Layer A").SetNodeName(L"Node A");
    hostsim::HostObject& selection = host.Create(L"selection", {IID_ILayerSelection});
    selection.SetSelectedLayer(&layer);
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(selection);

    ComPtr<IUnknown> selected;
    std::wstring name;
    ASSERT_TRUE(GetSelectedLayer(view.Identity(), selected));
    EXPECT_TRUE(GetLayerName(selected.Get(), name));
    EXPECT_EQ(L"Layer A", name) << "ILayer's name comes first";
    layer.Hide(IID_ILayer);
    EXPECT_TRUE(GetLayerName(selected.Get(), name));
    EXPECT_EQ(L"Node A", name) << "else the host node's";
    layer.Hide(IID_IHostNode);
    EXPECT_FALSE(GetLayerName(selected.Get(), name));
    selected.Reset();

    hostsim::HostObject& noSelection = host.Create(L"noSelection");
    EXPECT_FALSE(GetSelectedLayer(noSelection.Identity(), selected));

    // The root of parameter paths: the layer's name, else "Local", never empty.
    layer.Offer(IID_ILayer);
    EXPECT_EQ(L"Layer A", ParameterPathRoot(layer.Identity()));
    layer.SetFault(L"ILayer::GetName", hostsim::Fault::Fail());
    EXPECT_FALSE(GetLayerName(layer.Identity(), name)) << "a failing GetName gives no name";
    EXPECT_EQ(L"Local", ParameterPathRoot(layer.Identity()));
    layer.ClearFaults();
    layer.SetLayerName(L"");
    EXPECT_EQ(L"Local", ParameterPathRoot(layer.Identity())) << "an empty name";
    selection.SetSelectedLayer(nullptr);
    EXPECT_TRUE(GetSelectedLayer(view.Identity(), selected));
    EXPECT_EQ(nullptr, selected.Get());
    EXPECT_EQ(L"Local", ParameterPathRoot(selected.Get())) << "nothing selected";

    EXPECT_EQ(L"Local/ProcessingMgr/KTA 1/ChannelProcessingCommon/MaxPingRange",
              ParameterPath(kLocalPathRoot, L"KTA 1", L"MaxPingRange"));
    EXPECT_EQ(L"ApplyAll:-SwathView:Echogram/World2Echogram/BottomBackstep",
              BottomDetectionApplyAllName(L"BottomBackstep"));
    EXPECT_EQ(L"ApplyAll:Colour Scale/Layers/ColorScaleView/ColorMinTVG40",
              ColorScaleApplyAllName(L"Layers", L"ColorMinTVG40"));
    EXPECT_EQ(L"ApplyAll:Echogram/Hidden", ConfigureWindowApplyAllName(L"Echogram", L"Hidden"));
    // Names of any length come whole; a name ends at an embedded NUL, as the host's
    // C strings do.
    const std::wstring longName(300, L'v');
    EXPECT_EQ(L"ApplyAll:" + longName + L"/Hidden", ConfigureWindowApplyAllName(longName, L"Hidden"));
    EXPECT_EQ(longName + L"/ProcessingMgr/" + longName + L"/ChannelProcessingCommon/MaxPingRange",
              ParameterPath(longName, longName, L"MaxPingRange"));
    EXPECT_EQ(L"ApplyAll:Echo/Hidden", ConfigureWindowApplyAllName(std::wstring(L"Echo\0gram", 9), L"Hidden"));
}

}  // namespace
}  // namespace tavrel
