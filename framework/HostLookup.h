// Finding host objects from the objects a page was given.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <string>

namespace tavrel {

// Finds the host object that offers riid, starting from one of the page's objects:
// the start object's IObjectLocator, else its IObjectSite, then its IObjectContainer,
// and last the start object itself. Every intermediate reference is released.
HRESULT LocateHostInterface(IUnknown* start, REFIID riid, void** found);

template <class I>
HRESULT LocateHostInterface(IUnknown* start, Microsoft::WRL::ComPtr<I>& found) {
    return LocateHostInterface(start, __uuidof(I), reinterpret_cast<void**>(found.ReleaseAndGetAddressOf()));
}

// Which host application the pages run in, from its "AppName".
enum class ApplicationKind { Unrecognised, TK11, TK22, TK33 };

// The first object's IHostView, its application's IHostApplication and its "AppName",
// upper-cased; any missing step leaves the kind unrecognised.
ApplicationKind GetApplicationKind(IUnknown* firstObject);

// The layer selected in the host: ILayerSelection found from the first object, then
// GetSelectedLayer. False when there is no layer selection (layer stays null).
bool GetSelectedLayer(IUnknown* firstObject, Microsoft::WRL::ComPtr<IUnknown>& layer);
// A layer's name: ILayer::GetName, or IHostNode::GetName when it has no ILayer.
// False when the layer answers neither or its GetName does not answer S_OK.
bool GetLayerName(IUnknown* layer, std::wstring& name);

// The root of parameter paths when no layer selection is found.
constexpr const wchar_t* kLocalPathRoot = L"Local";

// The root of a page's parameter paths: the selected layer's name (GetSelectedLayer).
// "Local" when there is no selected layer or it gives no name (its GetName fails or
// answers an empty name): an empty root would address "/ProcessingMgr/...", a path
// no host has.
std::wstring ParameterPathRoot(IUnknown* selectedLayer);

// "<root>/ProcessingMgr/<channel>/ChannelProcessingCommon/<parameter>"
std::wstring ParameterPath(const std::wstring& root, const std::wstring& channelId, const wchar_t* parameterName);

// The "ApplyAll:" names a page sets on the screen manager so that the host applies a
// value to every view of a kind.
std::wstring BottomDetectionApplyAllName(const wchar_t* parameterName);
std::wstring ColorScaleApplyAllName(const wchar_t* layers, const wchar_t* parameterName);
std::wstring ConfigureWindowApplyAllName(const std::wstring& viewName, const wchar_t* parameterName);

}  // namespace tavrel
