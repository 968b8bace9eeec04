#include "HostDescription.h"

#include "HostInterfaces.h"
#include "PageHostText.h"
#include "SimHostObject.h"
#include "SimText.h"
#include "SimVariant.h"

#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <type_traits>

namespace tavrel::pagehost {

using namespace hostsim;

namespace {

// ---- Words of one line, taken in order

class Line {
public:
    explicit Line(std::vector<Word> words) : m_words(std::move(words)) {}

    bool AtEnd() const { return m_next >= m_words.size(); }
    // The next word, without taking it (empty at the end).
    const Word& Peek() const {
        static const Word none;
        return AtEnd() ? none : m_words[m_next];
    }
    // Takes the next word; false with "<what> is missing" at the end.
    bool Take(const wchar_t* what, std::wstring* text) {
        if (AtEnd()) return Fail(std::wstring(what) + L" is missing");
        *text = m_words[m_next++].text;
        return true;
    }
    // Takes the next word if it is this keyword, unquoted.
    bool TakeKeyword(const wchar_t* keyword) {
        if (AtEnd() || Peek().quoted || Peek().text != keyword) return false;
        ++m_next;
        return true;
    }
    // False with "unexpected <word>" unless every word was taken.
    bool End() {
        if (AtEnd()) return true;
        return Fail(L"unexpected " + Quote(Peek().text) + L" at the end of the line");
    }

    bool Fail(std::wstring reason) {
        if (m_error.empty()) m_error = std::move(reason);
        return false;
    }
    const std::wstring& Error() const { return m_error; }

private:
    std::vector<Word> m_words;
    std::size_t m_next = 0;
    std::wstring m_error;
};

// ---- Numbers, types, results

bool ParseNumber(const std::wstring& text, long* value) {
    if (text.empty() || std::iswspace(text[0])) return false;
    wchar_t* end = nullptr;
    errno = 0;
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    // Hexadecimal is read as the 32-bit pattern it spells (0x80004005 is E_FAIL).
    if (hex) {
        const unsigned long bits = std::wcstoul(text.c_str(), &end, 16);
        if (errno || *end) return false;
        *value = static_cast<long>(static_cast<unsigned int>(bits));
        return true;
    }
    const long parsed = std::wcstol(text.c_str(), &end, 10);
    if (errno || *end) return false;
    *value = parsed;
    return true;
}

bool ParseNumber(const std::wstring& text, double* value) {
    if (text.empty() || std::iswspace(text[0])) return false;
    wchar_t* end = nullptr;
    errno = 0;
    const double parsed = std::wcstod(text.c_str(), &end);
    if (errno || *end) return false;
    *value = parsed;
    return true;
}

// Takes a number word; false with "<what> "<word>" is not an integer" (or "a number").
template <class Number>
bool TakeNumber(Line& line, const wchar_t* what, Number* value) {
    std::wstring text;
    const wchar_t* kind = std::is_integral<Number>::value ? L" is not an integer" : L" is not a number";
    return line.Take(what, &text) && (ParseNumber(text, value) || line.Fail(what + (L" " + Quote(text)) + kind));
}

struct NamedType {
    const wchar_t* name;
    VARTYPE type;
};

const NamedType kTypes[] = {
    {L"I2", VT_I2},     {L"I4", VT_I4},     {L"R4", VT_R4},   {L"R8", VT_R8},          {L"BOOL", VT_BOOL},
    {L"BSTR", VT_BSTR}, {L"EMPTY", VT_EMPTY}, {L"NULL", VT_NULL}, {L"UNKNOWN", VT_UNKNOWN},
};

bool ParseType(std::wstring text, VARTYPE* type) {
    if (text.compare(0, 3, L"VT_") == 0) text.erase(0, 3);
    for (const NamedType& named : kTypes) {
        if (text == named.name) {
            *type = named.type;
            return true;
        }
    }
    return false;
}

bool ParseResult(const std::wstring& text, HRESULT* result) {
    if (ResultFromName(text, result)) return true;
    long value = 0;
    if (!ParseNumber(text, &value)) return false;
    *result = static_cast<HRESULT>(value);
    return true;
}

// The operations hostsim counts and can fault, as the journal spells them.
const wchar_t* const kOperations[] = {
    L"QueryInterface",
    L"ICalibrationControl::IsBusy",
    L"ICalibrationControl::StartCalibration",
    L"IChannel::GetChannelID",
    L"IChannel::GetComponent",
    L"IChannelOrigin::GetOriginID",
    L"IEchogramRange::GetDepthRange",
    L"IEchogramRange::SetDepthRange",
    L"IEnumUnknown::Clone",
    L"IEnumUnknown::Next",
    L"IEnumUnknown::Reset",
    L"IEnumUnknown::Skip",
    L"IEnumVARIANT::Clone",
    L"IEnumVARIANT::Next",
    L"IEnumVARIANT::Reset",
    L"IEnumVARIANT::Skip",
    L"IHelpViewer::ShowTopic",
    L"IHostApplication::GetStringValue",
    L"IHostCollection::GetEnumerator",
    L"IHostLogger::LogMessage",
    L"IHostNode::GetChildren",
    L"IHostNode::GetName",
    L"IHostView::GetApplication",
    L"ILayer::GetName",
    L"ILayerSelection::GetSelectedLayer",
    L"ILayerState::GetState",
    L"IObjectContainer::GetObject",
    L"IObjectLocator::LocateObject",
    L"IObjectSite::GetObject",
    L"IParameterAccess::GetParameter",
    L"IParameterAccess::SetParameter",
    L"IParameterNotifier::Subscribe",
    L"IParameterServer::SetValue",
    L"IParameterServer::Subscribe",
    L"IProcessingUnit::GetSettings",
    L"IScreenCommand::ExecuteCommand",
    L"ITransceiverDirectory::GetTransceiver",
    L"ITransceiverDirectory::IsBusy",
    L"IValueStore::GetValue",
    L"IValueStore::PutValue",
};

bool IsOperation(const std::wstring& text) {
    for (const wchar_t* operation : kOperations) {
        if (text == operation) return true;
    }
    return false;
}

// An I4 or R8 value as the type asked for (I2 and R4 are narrowed); false when it
// does not fit.
bool Narrow(Variant value, VARTYPE type, Slot* slot) {
    // MinGW declares the source without const; VariantChangeType only reads it.
    return SUCCEEDED(VariantChangeType(slot->value.put(), const_cast<VARIANT*>(&value.get()), 0, type));
}

// ---- Building

class Builder {
public:
    Builder(Host& host, HostDescription& description) : m_host(host), m_description(description) {}

    Host& TheHost() { return m_host; }
    HostDescription& Description() { return m_description; }
    int lineNumber = 0;   // of the line being built
    int objectsLine = 0;  // of the "objects" directive, 0 before it

    // Takes an object name declared before.
    bool TakeObject(Line& line, const wchar_t* what, HostObject** object) {
        std::wstring name;
        if (!line.Take(what, &name)) return false;
        *object = m_host.Find(name);
        if (!*object) {
            return line.Fail(L"no object " + Quote(name) + L" (declare it with \"object " + name + L"\" first)");
        }
        return true;
    }

    // Takes an interface that hostsim implements.
    static bool TakeInterface(Line& line, IID* iid) {
        std::wstring name;
        if (!line.Take(L"the interface", &name)) return false;
        if (!InterfaceFromName(name, iid) || !HostObject::CanOffer(*iid)) {
            return line.Fail(Quote(name) + L" is not a host interface the simulated host offers");
        }
        return true;
    }

    // Takes "<type> [<value>]" into a slot; an object link only if allowed.
    bool TakeValue(Line& line, bool objectAllowed, Slot* slot) {
        std::wstring typeName;
        if (!line.Take(L"the value type", &typeName)) return false;
        VARTYPE type = VT_EMPTY;
        if (!ParseType(typeName, &type)) {
            return line.Fail(Quote(typeName) +
                             L" is not a value type (I4, I2, R8, R4, BOOL, BSTR, EMPTY, NULL, UNKNOWN)");
        }
        std::wstring text;
        if (type == VT_EMPTY || type == VT_NULL) {
            slot->value = Variant::Zero(type);
            return true;
        }
        if (!line.Take(L"the value", &text)) return false;
        long integer = 0;
        double number = 0.0;
        switch (type) {
        case VT_I4:
        case VT_I2:
            if (!ParseNumber(text, &integer) || (type == VT_I2 && (integer < -32768 || integer > 32767))) {
                return line.Fail(Quote(text) + L" is not an " + typeName + L" integer");
            }
            return Narrow(Variant(integer), type, slot);
        case VT_R8:
        case VT_R4:
            if (!ParseNumber(text, &number)) return line.Fail(Quote(text) + L" is not a number");
            if (!Narrow(Variant(number), type, slot)) return line.Fail(Quote(text) + L" is out of the R4 range");
            return true;
        case VT_BOOL:
            if (text != L"true" && text != L"false") return line.Fail(L"a BOOL is true or false, not " + Quote(text));
            slot->value = Variant::Bool(text == L"true");
            return true;
        case VT_BSTR:
            slot->value = Variant(text);
            return true;
        case VT_UNKNOWN:
            if (text == L"null") {
                slot->value = Variant::Object(nullptr);
                return true;
            }
            if (!objectAllowed) return line.Fail(L"here an UNKNOWN value can only be null");
            slot->object = m_host.Find(text);
            if (!slot->object) return line.Fail(L"no object " + Quote(text) + L" (declare it with \"object\" first)");
            return true;
        default:
            return line.Fail(L"unsupported value type");
        }
    }

private:
    Host& m_host;
    HostDescription& m_description;
};

// ---- Directives

// The interfaces to the end of the line, each offered or hidden.
bool TakeInterfaces(Line& line, HostObject& object, HostObject& (HostObject::*apply)(REFIID)) {
    while (!line.AtEnd()) {
        IID iid;
        if (!Builder::TakeInterface(line, &iid)) return false;
        (object.*apply)(iid);
    }
    return true;
}

bool ObjectDirective(Builder& b, Line& line) {
    std::wstring name;
    if (!line.Take(L"the object name", &name)) return false;
    if (name == L"null") return line.Fail(L"\"null\" stands for a null object and cannot name one");
    HostObject* object = b.TheHost().Find(name);
    if (!object) object = &b.TheHost().Create(name);
    return TakeInterfaces(line, *object, &HostObject::Offer);
}

bool HideDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    if (!b.TakeObject(line, L"the object", &object)) return false;
    if (line.AtEnd()) return line.Fail(L"the interface is missing");
    return TakeInterfaces(line, *object, &HostObject::Hide);
}

bool ServiceDirective(Builder& b, Line& line) {
    HostObject* container = nullptr;
    HostObject* service = nullptr;
    if (!b.TakeObject(line, L"the container", &container) || !b.TakeObject(line, L"the service", &service)) {
        return false;
    }
    if (line.AtEnd()) {
        container->AddService(*service);
        return true;
    }
    IID via;
    if (!Builder::TakeInterface(line, &via)) return false;
    if (!IsEqualGUID(via, __uuidof(IObjectLocator)) && !IsEqualGUID(via, __uuidof(IObjectSite)) &&
        !IsEqualGUID(via, __uuidof(IObjectContainer))) {
        return line.Fail(L"a service answers through IObjectLocator, IObjectSite or IObjectContainer");
    }
    container->AddService(*service, via);
    return line.End();
}

// value, parameter, path: a named slot in one of the object's tables.
template <ValueTable& (HostObject::*Table)()>
bool TableDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    std::wstring name;
    Slot slot;
    if (!b.TakeObject(line, L"the object", &object) || !line.Take(L"the name", &name) ||
        !b.TakeValue(line, true, &slot)) {
        return false;
    }
    (object->*Table)().SetSlot(name, slot);
    return line.End();
}

bool StringDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    std::wstring name;
    std::wstring text;
    if (!b.TakeObject(line, L"the object", &object) || !line.Take(L"the name", &name) ||
        !line.Take(L"the text", &text)) {
        return false;
    }
    object->SetString(name, text);
    return line.End();
}

bool DepthRangeDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    long area = 0;
    double range = 0.0;
    double start = 0.0;
    if (!b.TakeObject(line, L"the object", &object) || !TakeNumber(line, L"the area", &area) ||
        !TakeNumber(line, L"the range", &range) || !TakeNumber(line, L"the start", &start)) {
        return false;
    }
    object->SetDepthRange(area, range, start);
    return line.End();
}

// selected-layer, children, application, settings: a link to another object.
template <HostObject& (HostObject::*Set)(HostObject*)>
bool LinkDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    HostObject* target = nullptr;
    if (!b.TakeObject(line, L"the object", &object) || !b.TakeObject(line, L"the linked object", &target)) {
        return false;
    }
    (object->*Set)(target);
    return line.End();
}

// layer-name, node-name, channel-id, origin-id: a text.
template <HostObject& (HostObject::*Set)(const std::wstring&)>
bool TextDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    std::wstring text;
    if (!b.TakeObject(line, L"the object", &object) || !line.Take(L"the text", &text)) return false;
    (object->*Set)(text);
    return line.End();
}

bool LayerStateDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    long state = 0;
    if (!b.TakeObject(line, L"the object", &object) || !TakeNumber(line, L"the state", &state)) return false;
    object->SetLayerState(state);
    return line.End();
}

bool ItemDirective(Builder& b, Line& line) {
    HostObject* collection = nullptr;
    Slot slot;
    if (!b.TakeObject(line, L"the collection", &collection) || !b.TakeValue(line, true, &slot)) return false;
    if (slot.object) {
        collection->AddItem(*slot.object);
    } else {
        collection->AddItem(slot.value);
    }
    return line.End();
}

bool TransceiverDirective(Builder& b, Line& line) {
    HostObject* directory = nullptr;
    HostObject* transceiver = nullptr;
    std::wstring channelId;
    if (!b.TakeObject(line, L"the directory", &directory) || !line.Take(L"the channel id", &channelId) ||
        !b.TakeObject(line, L"the transceiver", &transceiver)) {
        return false;
    }
    directory->SetTransceiver(channelId, transceiver);
    return line.End();
}

bool DirectoryBusyDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    long busy = 0;
    if (!b.TakeObject(line, L"the object", &object) || !TakeNumber(line, L"the busy value", &busy)) return false;
    if (busy < 0 || busy > 255) return line.Fail(L"the busy value " + std::to_wstring(busy) + L" is not from 0 to 255");
    object->SetDirectoryBusy(static_cast<unsigned char>(busy));
    return line.End();
}

bool CalibrationBusyDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    std::wstring text;
    if (!b.TakeObject(line, L"the object", &object) || !line.Take(L"yes or no", &text)) return false;
    if (text != L"yes" && text != L"no") return line.Fail(L"expected yes or no, not " + Quote(text));
    object->SetCalibrationBusy(text == L"yes");
    return line.End();
}

bool ComponentDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    HostObject* component = nullptr;
    long index = 0;
    if (!b.TakeObject(line, L"the object", &object) || !TakeNumber(line, L"the index", &index) ||
        !b.TakeObject(line, L"the component", &component)) {
        return false;
    }
    object->SetComponent(index, component);
    return line.End();
}

// The optional result after "fail" or "status <n>", unless a modifier follows.
bool TakeOptionalResult(Line& line, HRESULT* result) {
    if (line.AtEnd() || (!line.Peek().quoted && (line.Peek().text == L"for" || line.Peek().text == L"times"))) {
        return true;
    }
    std::wstring text;
    line.Take(L"the result", &text);
    if (!ParseResult(text, result)) {
        return line.Fail(Quote(text) + L" is not a result (S_OK, E_FAIL, E_NOINTERFACE... or 0x80004005)");
    }
    return true;
}

bool FaultDirective(Builder& b, Line& line) {
    HostObject* object = nullptr;
    std::wstring operation;
    std::wstring kind;
    if (!b.TakeObject(line, L"the object", &object) || !line.Take(L"the operation", &operation)) return false;
    if (!IsOperation(operation)) {
        return line.Fail(Quote(operation) +
                         L" is not an operation of the simulated host (\"IValueStore::GetValue\", "
                         L"\"QueryInterface\"...)");
    }
    if (!line.Take(L"the fault (fail, status, type, returns, null)", &kind)) return false;

    Fault fault;
    if (kind == L"fail") {
        HRESULT result = E_FAIL;
        if (!TakeOptionalResult(line, &result)) return false;
        fault = Fault::Fail(result);
    } else if (kind == L"status") {
        long status = 0;
        HRESULT result = S_OK;
        if (!TakeNumber(line, L"the status", &status) || !TakeOptionalResult(line, &result)) return false;
        fault = Fault::Status(status, result);
    } else if (kind == L"type") {
        std::wstring text;
        VARTYPE type = VT_EMPTY;
        if (!line.Take(L"the type", &text)) return false;
        if (!ParseType(text, &type)) return line.Fail(Quote(text) + L" is not a value type");
        fault = Fault::WrongType(type);
    } else if (kind == L"returns") {
        Slot slot;
        if (!b.TakeValue(line, false, &slot)) return false;
        fault = Fault::Returns(slot.value);
    } else if (kind == L"null") {
        fault = Fault::NullObject();
    } else {
        return line.Fail(Quote(kind) + L" is not a fault (fail, status, type, returns, null)");
    }

    bool keyed = false;
    std::wstring key;
    while (!line.AtEnd()) {
        if (line.TakeKeyword(L"for")) {
            if (!line.Take(L"the key after \"for\"", &key)) return false;
            keyed = true;
        } else if (line.TakeKeyword(L"times")) {
            std::wstring text;
            long times = 0;
            if (!line.Take(L"the count after \"times\"", &text)) return false;
            if (!ParseNumber(text, &times) || times < 1) {
                return line.Fail(L"the count " + Quote(text) + L" is not a positive integer");
            }
            fault = fault.Times(static_cast<int>(times));
        } else {
            return line.Fail(L"expected \"for <key>\" or \"times <n>\", not " + Quote(line.Peek().text));
        }
    }
    if (keyed) {
        object->SetFault(operation, key, fault);
    } else {
        object->SetFault(operation, fault);
    }
    return true;
}

bool ObjectsDirective(Builder& b, Line& line) {
    if (b.objectsLine) {
        return line.Fail(L"the page's objects were already given on line " + std::to_wstring(b.objectsLine));
    }
    b.objectsLine = b.lineNumber;
    std::vector<HostObject*>& objects = b.Description().pageObjects;
    while (!line.AtEnd()) {
        if (line.TakeKeyword(L"null")) {
            objects.push_back(nullptr);
            continue;
        }
        HostObject* object = nullptr;
        if (!b.TakeObject(line, L"the object", &object)) return false;
        objects.push_back(object);
    }
    return true;
}

struct Directive {
    const wchar_t* name;
    bool (*run)(Builder&, Line&);
    const wchar_t* usage;
};

const Directive kDirectives[] = {
    {L"object", ObjectDirective, L"object <name> [<interface>...]"},
    {L"hide", HideDirective, L"hide <object> <interface>..."},
    {L"service", ServiceDirective, L"service <container> <object> [<container interface>]"},
    {L"value", TableDirective<&HostObject::Values>, L"value <object> <name> <type> [<value>]"},
    {L"parameter", TableDirective<&HostObject::Parameters>, L"parameter <object> <name> <type> [<value>]"},
    {L"path", TableDirective<&HostObject::PathValues>, L"path <object> <path> <type> [<value>]"},
    {L"string", StringDirective, L"string <object> <name> <text>"},
    {L"depth-range", DepthRangeDirective, L"depth-range <object> <area> <range> <start>"},
    {L"selected-layer", LinkDirective<&HostObject::SetSelectedLayer>, L"selected-layer <object> <layer>"},
    {L"layer-name", TextDirective<&HostObject::SetLayerName>, L"layer-name <object> <text>"},
    {L"layer-state", LayerStateDirective, L"layer-state <object> <number>"},
    {L"node-name", TextDirective<&HostObject::SetNodeName>, L"node-name <object> <text>"},
    {L"children", LinkDirective<&HostObject::SetChildren>, L"children <object> <collection>"},
    {L"application", LinkDirective<&HostObject::SetApplication>, L"application <object> <application>"},
    {L"item", ItemDirective, L"item <collection> <type> [<value>]"},
    {L"transceiver", TransceiverDirective, L"transceiver <directory> <channel id> <object>"},
    {L"directory-busy", DirectoryBusyDirective, L"directory-busy <directory> <0..255>"},
    {L"calibration-busy", CalibrationBusyDirective, L"calibration-busy <object> yes|no"},
    {L"channel-id", TextDirective<&HostObject::SetChannelId>, L"channel-id <object> <text>"},
    {L"component", ComponentDirective, L"component <object> <index> <component>"},
    {L"origin-id", TextDirective<&HostObject::SetOriginId>, L"origin-id <object> <text>"},
    {L"settings", LinkDirective<&HostObject::SetSettings>, L"settings <object> <settings>"},
    {L"fault", FaultDirective, L"fault <object> <operation> <fault> [for <key>] [times <n>]"},
    {L"objects", ObjectsDirective, L"objects [<object>|null...]"},
};

}  // namespace

bool BuildHost(const std::wstring& text, const std::wstring& fileName, Host& host, HostDescription* description,
               std::wstring* error) {
    HostDescription built;
    Builder builder(host, built);
    const auto buildLine = [&](const Directive& directive, int lineNumber, const std::vector<Word>& words,
                               std::wstring* reason) {
        Line line(std::vector<Word>(words.begin() + 1, words.end()));
        builder.lineNumber = lineNumber;
        if (directive.run(builder, line)) return true;
        *reason = line.Error();
        return false;
    };
    if (!ParseKeywordLines(text, fileName, kDirectives, L"directive", buildLine, error)) return false;
    if (!builder.objectsLine) {
        *error = fileName + L": no \"objects\" line: say what the page is given (objects <object>...)";
        return false;
    }
    if (description) *description = std::move(built);
    return true;
}

bool LoadHostDescription(const std::wstring& path, Host& host, HostDescription* description, std::wstring* error) {
    std::wstring text;
    return ReadTextFile(path, L"host description", &text, error) && BuildHost(text, path, host, description, error);
}

}  // namespace tavrel::pagehost
