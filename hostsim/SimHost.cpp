#include "SimHost.h"

namespace hostsim {

Host::~Host() {
    // Cut every link first, so that no object points at one already gone, then give
    // back the host's references.
    for (HostObject* object : m_objects) object->Detach();
    for (HostObject* object : m_objects) {
        object->m_heldByHost = false;
        object->Release();
    }
}

HostObject& Host::Create(const std::wstring& name) {
    HostObject* object = new HostObject(*this, name);
    m_objects.push_back(object);
    return *object;
}

HostObject& Host::Create(const std::wstring& name, std::initializer_list<IID> interfaces) {
    return Create(name).Offer(interfaces);
}

HostObject* Host::Find(const std::wstring& name) const {
    for (HostObject* object : m_objects) {
        if (object->Name() == name) return object;
    }
    return nullptr;
}

HostObject* Host::ObjectOf(IUnknown* p) const {
    if (!p) return nullptr;
    for (HostObject* object : m_objects) {
        if (object->Owns(p)) return object;
    }
    return nullptr;
}

void Host::NameObject(IUnknown* object, const std::wstring& name) {
    for (auto& named : m_otherNames) {
        if (named.first == object) {
            named.second = name;
            return;
        }
    }
    m_otherNames.emplace_back(object, name);
}

std::wstring Host::NameOf(IUnknown* object) const {
    if (HostObject* found = ObjectOf(object)) return found->Name();
    for (const auto& named : m_otherNames) {
        if (named.first == object) return named.second;
    }
    return {};
}

std::vector<std::wstring> Host::Outstanding() const {
    std::vector<std::wstring> lines;
    for (const HostObject* object : m_objects) {
        ULONG outstanding = object->OutstandingReferences();
        if (outstanding) {
            lines.push_back(object->Name() + L": " + std::to_wstring(outstanding) +
                            (outstanding == 1 ? L" reference outstanding" : L" references outstanding"));
        }
        if (ULONG excess = object->ExcessReleases()) {
            lines.push_back(object->Name() + L": " + std::to_wstring(excess) +
                            (excess == 1 ? L" Release too many" : L" Releases too many"));
        }
    }
    return lines;
}

std::wstring Host::OutstandingText() const {
    std::wstring text;
    for (const std::wstring& line : Outstanding()) {
        text += line;
        text += L'\n';
    }
    return text;
}

void Host::ReleaseSubscribers() {
    for (HostObject* object : m_objects) object->ReleaseSubscribers();
}

}  // namespace hostsim
