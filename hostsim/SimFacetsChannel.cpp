// Transceivers, calibration, channels and processing units.
#include "SimFacets.h"

namespace hostsim {

namespace {

// An unknown channel id answers E_INVALIDARG and null.
class TransceiverDirectoryFacet : public Facet<ITransceiverDirectory> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetTransceiver(BSTR channelId, IUnknown** transceiver) override {
        if (!transceiver) return E_POINTER;
        *transceiver = nullptr;
        Call call = Begin(L"ITransceiverDirectory::GetTransceiver", ToString(channelId));
        auto found = Data().transceivers.find(ToString(channelId));
        return GiveObject(call, found == Data().transceivers.end() ? nullptr : found->second, transceiver,
                          E_INVALIDARG);
    }
    HRESULT STDMETHODCALLTYPE IsBusy(unsigned char* busy) override {
        if (!busy) return E_POINTER;
        *busy = 0;
        Call call = Begin(L"ITransceiverDirectory::IsBusy");
        if (call.Fails()) return call.Result();
        *busy = Data().directoryBusy;
        return call.Result(S_OK);
    }
};

class CalibrationControlFacet : public Facet<ICalibrationControl> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE StartCalibration(BSTR settings) override {
        static const wchar_t op[] = L"ICalibrationControl::StartCalibration";
        Record(op, QuoteBstr(settings));
        return Begin(op).Result(S_OK);
    }
    HRESULT STDMETHODCALLTYPE IsBusy(VARIANT_BOOL* busy) override {
        if (!busy) return E_POINTER;
        *busy = VARIANT_FALSE;
        Call call = Begin(L"ICalibrationControl::IsBusy");
        if (call.Fails()) return call.Result();
        *busy = Data().calibrationBusy ? VARIANT_TRUE : VARIANT_FALSE;
        return call.Result(S_OK);
    }
};

// A missing component answers E_INVALIDARG and null.
class ChannelFacet : public Facet<IChannel> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetChannelID(BSTR* channelId) override {
        if (!channelId) return E_POINTER;
        *channelId = nullptr;
        return GiveString(Begin(L"IChannel::GetChannelID"), &Data().channelId, channelId);
    }
    HRESULT STDMETHODCALLTYPE GetComponent(LONG index, IUnknown** component) override {
        if (!component) return E_POINTER;
        *component = nullptr;
        Call call = Begin(L"IChannel::GetComponent", std::to_wstring(index));
        auto found = Data().components.find(index);
        return GiveObject(call, found == Data().components.end() ? nullptr : found->second, component,
                          E_INVALIDARG);
    }
};

class ChannelOriginFacet : public Facet<IChannelOrigin> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetOriginID(BSTR* originId) override {
        if (!originId) return E_POINTER;
        *originId = nullptr;
        return GiveString(Begin(L"IChannelOrigin::GetOriginID"), &Data().originId, originId);
    }
};

// No settings object answers E_FAIL and null.
class ProcessingUnitFacet : public Facet<IProcessingUnit> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE GetSettings(IUnknown** settings) override {
        if (!settings) return E_POINTER;
        *settings = nullptr;
        return GiveObject(Begin(L"IProcessingUnit::GetSettings"), Data().settings, settings);
    }
};

}  // namespace

std::unique_ptr<FacetBase> CreateChannelFacet(REFIID iid, HostObject& owner) {
    if (IsEqualGUID(iid, __uuidof(ITransceiverDirectory))) return std::make_unique<TransceiverDirectoryFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(ICalibrationControl))) return std::make_unique<CalibrationControlFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IChannel))) return std::make_unique<ChannelFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IChannelOrigin))) return std::make_unique<ChannelOriginFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IProcessingUnit))) return std::make_unique<ProcessingUnitFacet>(owner);
    return nullptr;
}

}  // namespace hostsim
