#include "HostLookup.h"

#include "ComResource.h"
#include "HostInterfaces.h"

#include <cwctype>
#include <initializer_list>

using Microsoft::WRL::ComPtr;

namespace tavrel {
namespace {

// The parts one after the other, each up to its first NUL and a null part as
// "(null)", as "%ls" writes them.
std::wstring Concatenate(std::initializer_list<const wchar_t*> parts) {
    std::wstring text;
    for (const wchar_t* part : parts)
        text += part ? part : L"(null)";
    return text;
}

// The found object is asked for the wanted interface; a null object offers nothing.
HRESULT AskFoundObject(IUnknown* object, REFIID riid, void** found) {
    if (!object)
        return E_NOINTERFACE;
    return object->QueryInterface(riid, found);
}

}  // namespace

HRESULT LocateHostInterface(IUnknown* start, REFIID riid, void** found) {
    if (!start || !found)
        return E_POINTER;
    *found = nullptr;

    ComPtr<IObjectLocator> locator;
    ComPtr<IObjectSite> site;
    if (SUCCEEDED(start->QueryInterface(IID_IObjectLocator, reinterpret_cast<void**>(locator.GetAddressOf())))) {
        ComPtr<IUnknown> object;
        long status = -1;
        HRESULT hr = locator->LocateObject(riid, object.GetAddressOf(), &status);
        if (hr == S_OK && status == 0)
            return AskFoundObject(object.Get(), riid, found);
        // A locator that did not find it hands over to the container; the site is skipped.
    } else if (SUCCEEDED(start->QueryInterface(IID_IObjectSite, reinterpret_cast<void**>(site.GetAddressOf())))) {
        ComPtr<IUnknown> object;
        if (site->GetObject(riid, object.GetAddressOf()) == S_OK)
            return AskFoundObject(object.Get(), riid, found);
    }

    ComPtr<IObjectContainer> container;
    if (SUCCEEDED(start->QueryInterface(IID_IObjectContainer, reinterpret_cast<void**>(container.GetAddressOf())))) {
        ComPtr<IUnknown> object;
        if (container->GetObject(riid, object.GetAddressOf()) == S_OK)
            return AskFoundObject(object.Get(), riid, found);
    }

    return start->QueryInterface(riid, found);
}

ApplicationKind GetApplicationKind(IUnknown* firstObject) {
    if (!firstObject)
        return ApplicationKind::Unrecognised;
    ComPtr<IHostView> view;
    ComPtr<IUnknown> applicationObject;
    ComPtr<IHostApplication> application;
    if (FAILED(firstObject->QueryInterface(IID_IHostView, reinterpret_cast<void**>(view.GetAddressOf()))) ||
        FAILED(view->GetApplication(applicationObject.GetAddressOf())) || !applicationObject ||
        FAILED(applicationObject.As(&application)))
        return ApplicationKind::Unrecognised;
    UniqueBstr valueName = MakeBstr(L"AppName");
    UniqueBstr appName;
    if (FAILED(application->GetStringValue(valueName.get(), appName.put())))
        return ApplicationKind::Unrecognised;
    std::wstring name = BstrText(appName.get());
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towupper(c));
    if (name == L"TK11")
        return ApplicationKind::TK11;
    if (name == L"TK22")
        return ApplicationKind::TK22;
    if (name == L"TK33")
        return ApplicationKind::TK33;
    return ApplicationKind::Unrecognised;
}

bool GetSelectedLayer(IUnknown* firstObject, ComPtr<IUnknown>& layer) {
    layer.Reset();
    ComPtr<ILayerSelection> selection;
    if (FAILED(LocateHostInterface(firstObject, selection)) || !selection)
        return false;
    selection->GetSelectedLayer(layer.ReleaseAndGetAddressOf());
    return true;
}

bool GetLayerName(IUnknown* layer, std::wstring& name) {
    if (!layer)
        return false;
    UniqueBstr layerName;
    ComPtr<ILayer> namedLayer;
    ComPtr<IHostNode> node;
    HRESULT hr = E_NOINTERFACE;
    if (SUCCEEDED(layer->QueryInterface(IID_ILayer, reinterpret_cast<void**>(namedLayer.GetAddressOf()))))
        hr = namedLayer->GetName(layerName.put());
    else if (SUCCEEDED(layer->QueryInterface(IID_IHostNode, reinterpret_cast<void**>(node.GetAddressOf()))))
        hr = node->GetName(layerName.put());
    if (hr != S_OK)
        return false;
    name = BstrText(layerName.get());
    return true;
}

std::wstring ParameterPathRoot(IUnknown* selectedLayer) {
    std::wstring name;
    if (GetLayerName(selectedLayer, name) && !name.empty())
        return name;
    return kLocalPathRoot;
}

std::wstring ParameterPath(const std::wstring& root, const std::wstring& channelId, const wchar_t* parameterName) {
    return Concatenate(
        {root.c_str(), L"/ProcessingMgr/", channelId.c_str(), L"/ChannelProcessingCommon/", parameterName});
}

std::wstring BottomDetectionApplyAllName(const wchar_t* parameterName) {
    return Concatenate({L"ApplyAll:-SwathView:Echogram/World2Echogram/", parameterName});
}

std::wstring ColorScaleApplyAllName(const wchar_t* layers, const wchar_t* parameterName) {
    return Concatenate({L"ApplyAll:Colour Scale/", layers, L"/ColorScaleView/", parameterName});
}

std::wstring ConfigureWindowApplyAllName(const std::wstring& viewName, const wchar_t* parameterName) {
    return Concatenate({L"ApplyAll:", viewName.c_str(), L"/", parameterName});
}

}  // namespace tavrel
