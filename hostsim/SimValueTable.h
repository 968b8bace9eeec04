// Named values held by a host object: the value store's values, the parameters behind
// parameter access, the parameter server's values by path.
#pragma once

#include "SimVariant.h"

#include <map>
#include <string>

namespace hostsim {

class HostObject;

// One stored value: a VARIANT, or a link to another host object that is handed out as
// VT_UNKNOWN. A link holds no reference, so it does not count as one the page holds.
struct Slot {
    Variant value;
    HostObject* object = nullptr;
    VARTYPE objectType = VT_UNKNOWN;  // a link is handed out as VT_UNKNOWN or VT_DISPATCH
};

class ValueTable {
public:
    ValueTable& Set(const std::wstring& name, const Variant& value);
    ValueTable& SetObject(const std::wstring& name, HostObject& object);
    ValueTable& SetSlot(const std::wstring& name, Slot slot);
    void Erase(const std::wstring& name) { m_slots.erase(name); }
    void Clear() { m_slots.clear(); }

    bool Has(const std::wstring& name) const { return m_slots.count(name) != 0; }
    const Slot* Find(const std::wstring& name) const;
    // The value as a read hands it out (a link as VT_UNKNOWN); VT_EMPTY when absent.
    Variant Get(const std::wstring& name) const;
    const std::map<std::wstring, Slot>& Entries() const { return m_slots; }

private:
    std::map<std::wstring, Slot> m_slots;
};

// The value a read hands out for a slot (a link becomes VT_UNKNOWN, or VT_DISPATCH, with
// a new reference).
Variant ValueOf(const Slot& slot);

}  // namespace hostsim
