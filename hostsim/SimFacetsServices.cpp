// Host services: help viewer, logger, screen manager and command, value store,
// parameter access, echogram range, parameter server and notifier.
#include "SimFacets.h"

namespace hostsim {

namespace {

std::wstring Joined(std::initializer_list<std::wstring> parts) {
    std::wstring text;
    for (const std::wstring& part : parts) {
        if (!text.empty()) text += L", ";
        text += part;
    }
    return text;
}

// The status a write reports: the fault's; else the caller's preset when the call
// fails, 0 when it is taken.
long WriteStatus(const Call& call, const LONG* status) {
    return call.Status(call.Fails() ? (status ? *status : 0) : 0);
}

class HelpViewerFacet : public Facet<IHelpViewer> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE ShowTopic(LONG reserved, BSTR topicFile) override {
        static const wchar_t op[] = L"IHelpViewer::ShowTopic";
        Record(op, Joined({std::to_wstring(reserved), QuoteBstr(topicFile)}));
        return Begin(op, ToString(topicFile)).Result(S_OK);
    }
};

class HostLoggerFacet : public Facet<IHostLogger> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE LogMessage(BSTR message, BSTR sourceName, LONG level, LONG reserved) override {
        static const wchar_t op[] = L"IHostLogger::LogMessage";
        Record(op, Joined({QuoteBstr(message), QuoteBstr(sourceName), std::to_wstring(level),
                           std::to_wstring(reserved)}));
        return Begin(op, ToString(message)).Result(S_OK);
    }
};

// No operations of its own: the same object answers IParameterAccess or IScreenCommand.
class ScreenManagerFacet : public Facet<IScreenManager> {
public:
    using Facet::Facet;
};

class ScreenCommandFacet : public Facet<IScreenCommand> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE ExecuteCommand(LONG command, LONG firstArgument, LONG secondArgument) override {
        static const wchar_t op[] = L"IScreenCommand::ExecuteCommand";
        Record(op, Joined({std::to_wstring(command), std::to_wstring(firstArgument),
                           std::to_wstring(secondArgument)}));
        return Begin(op, std::to_wstring(command)).Result(S_OK);
    }
};

// A missing name answers E_INVALIDARG and VT_EMPTY.
class ValueStoreFacet : public Facet<IValueStore> {
public:
    using Facet::Facet;

    HRESULT STDMETHODCALLTYPE GetValue(BSTR name, VARIANT* value) override {
        if (!value) return E_POINTER;
        VariantInit(value);
        Call call = Begin(L"IValueStore::GetValue", ToString(name));
        if (call.Fails()) return call.Result();
        const Slot* slot = Data().values.Find(ToString(name));
        if (!slot) return call.Result(E_INVALIDARG);
        Variant result = ValueOf(*slot);
        call.AdjustValue(result);
        *value = result.release();
        return call.Result(S_OK);
    }

    HRESULT STDMETHODCALLTYPE PutValue(BSTR name, VARIANT value) override {
        static const wchar_t op[] = L"IValueStore::PutValue";
        Record(op, Joined({QuoteBstr(name), Describe(value)}));
        Call call = Begin(op, ToString(name));
        if (call.Fails()) return call.Result();
        Data().values.SetSlot(ToString(name), ToSlot(value));
        return call.Result(S_OK);
    }
};

// A missing name answers E_INVALIDARG, VT_EMPTY and status 1; success reports status 0.
class ParameterAccessFacet : public Facet<IParameterAccess> {
public:
    using Facet::Facet;

    HRESULT STDMETHODCALLTYPE GetParameter(BSTR name, VARIANT* value, LONG* status) override {
        static const wchar_t op[] = L"IParameterAccess::GetParameter";
        if (!value) return E_POINTER;
        VariantInit(value);
        NoteStatusIn(op, status);
        const std::wstring parameter = ToString(name);
        Call call = Begin(op, parameter);
        if (call.Fails()) {
            if (status) *status = call.Status(*status);
            return call.Result();
        }
        const Slot* slot = Data().parameters.Find(parameter);
        if (status) *status = call.Status(slot ? 0 : 1);
        if (!slot) return call.Result(E_INVALIDARG);
        Variant result = ValueOf(*slot);
        call.AdjustValue(result);
        *value = result.release();
        return call.Result(S_OK);
    }

    HRESULT STDMETHODCALLTYPE SetParameter(BSTR name, VARIANT value, LONG* status) override {
        static const wchar_t op[] = L"IParameterAccess::SetParameter";
        Record(op, Joined({QuoteBstr(name), Describe(value)}));
        NoteStatusIn(op, status);
        Call call = Begin(op, ToString(name));
        long reported = WriteStatus(call, status);
        if (status) *status = reported;
        if (call.Fails() || reported < 0) return call.Result();
        Data().parameters.SetSlot(ToString(name), ToSlot(value));
        return call.Result(S_OK);
    }
};

// An area that holds nothing answers E_INVALIDARG with 0 and 0.
class EchogramRangeFacet : public Facet<IEchogramRange> {
public:
    using Facet::Facet;

    HRESULT STDMETHODCALLTYPE GetDepthRange(double* range, double* start, LONG area) override {
        if (!range || !start) return E_POINTER;
        *range = 0.0;
        *start = 0.0;
        Call call = Begin(L"IEchogramRange::GetDepthRange", std::to_wstring(area));
        if (call.Fails()) return call.Result();
        if (!Owner().DepthRange(area, range, start)) return call.Result(E_INVALIDARG);
        return call.Result(S_OK);
    }

    HRESULT STDMETHODCALLTYPE SetDepthRange(double range, double start, LONG area) override {
        static const wchar_t op[] = L"IEchogramRange::SetDepthRange";
        Record(op, Joined({FormatDouble(range), FormatDouble(start), std::to_wstring(area)}));
        Call call = Begin(op, std::to_wstring(area));
        if (call.Fails()) return call.Result();
        Owner().SetDepthRange(area, range, start);
        return call.Result(S_OK);
    }
};

// Keeps the subscriber with a reference and answers the next cookie of the object.
long AddSubscription(HostObject::State& data, BSTR path, IUnknown* subscriber, const wchar_t* via) {
    Subscription subscription;
    subscription.cookie = data.nextCookie++;
    subscription.path = ToString(path);
    subscription.viaInterface = via;
    subscription.subscriber = subscriber;
    data.subscriptions.push_back(subscription);
    return subscription.cookie;
}

// Subscribe and SetValue report status 0 when taken. A null subscriber is refused
// with E_INVALIDARG.
class ParameterServerFacet : public Facet<IParameterServer> {
public:
    using Facet::Facet;

    HRESULT STDMETHODCALLTYPE Subscribe(BSTR path, IUnknown* subscriber, LONG* cookie, LONG* status) override {
        static const wchar_t op[] = L"IParameterServer::Subscribe";
        Record(op, Joined({QuoteBstr(path), Describe(subscriber)}));
        NoteStatusIn(op, status);
        if (cookie) *cookie = 0;
        Call call = Begin(op, ToString(path));
        long reported = WriteStatus(call, status);
        if (status) *status = reported;
        if (call.Fails() || reported < 0) return call.Result();
        if (!subscriber) return call.Result(E_INVALIDARG);
        long taken = AddSubscription(Data(), path, subscriber, L"IParameterServer");
        if (cookie) *cookie = taken;
        return call.Result(S_OK);
    }

    HRESULT STDMETHODCALLTYPE SetValue(BSTR path, VARIANT value, LONG* status) override {
        static const wchar_t op[] = L"IParameterServer::SetValue";
        Record(op, Joined({QuoteBstr(path), Describe(value)}));
        NoteStatusIn(op, status);
        Call call = Begin(op, ToString(path));
        long reported = WriteStatus(call, status);
        if (status) *status = reported;
        if (call.Fails() || reported < 0) return call.Result();
        Data().pathValues.SetSlot(ToString(path), ToSlot(value));
        return call.Result(S_OK);
    }
};

class ParameterNotifierFacet : public Facet<IParameterNotifier> {
public:
    using Facet::Facet;

    HRESULT STDMETHODCALLTYPE Subscribe(BSTR path, IUnknown* subscriber, LONG* cookie) override {
        static const wchar_t op[] = L"IParameterNotifier::Subscribe";
        Record(op, Joined({QuoteBstr(path), Describe(subscriber)}));
        if (cookie) *cookie = 0;
        Call call = Begin(op, ToString(path));
        if (call.Fails()) return call.Result();
        if (!subscriber) return call.Result(E_INVALIDARG);
        long taken = AddSubscription(Data(), path, subscriber, L"IParameterNotifier");
        if (cookie) *cookie = taken;
        return call.Result(S_OK);
    }
};

}  // namespace

std::unique_ptr<FacetBase> CreateServiceFacet(REFIID iid, HostObject& owner) {
    if (IsEqualGUID(iid, __uuidof(IHelpViewer))) return std::make_unique<HelpViewerFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IHostLogger))) return std::make_unique<HostLoggerFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IScreenManager))) return std::make_unique<ScreenManagerFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IScreenCommand))) return std::make_unique<ScreenCommandFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IValueStore))) return std::make_unique<ValueStoreFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IParameterAccess))) return std::make_unique<ParameterAccessFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IEchogramRange))) return std::make_unique<EchogramRangeFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IParameterServer))) return std::make_unique<ParameterServerFacet>(owner);
    if (IsEqualGUID(iid, __uuidof(IParameterNotifier))) return std::make_unique<ParameterNotifierFacet>(owner);
    return nullptr;
}

}  // namespace hostsim
