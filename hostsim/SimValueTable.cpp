#include "SimValueTable.h"

#include "SimHostObject.h"

namespace hostsim {

ValueTable& ValueTable::Set(const std::wstring& name, const Variant& value) {
    Slot& slot = m_slots[name];
    slot.value = value;
    slot.object = nullptr;
    return *this;
}

ValueTable& ValueTable::SetObject(const std::wstring& name, HostObject& object) {
    Slot& slot = m_slots[name];
    slot.value = Variant();
    slot.object = &object;
    return *this;
}

ValueTable& ValueTable::SetSlot(const std::wstring& name, Slot slot) {
    m_slots[name] = std::move(slot);
    return *this;
}

const Slot* ValueTable::Find(const std::wstring& name) const {
    auto found = m_slots.find(name);
    return found == m_slots.end() ? nullptr : &found->second;
}

Variant ValueTable::Get(const std::wstring& name) const {
    const Slot* slot = Find(name);
    return slot ? ValueOf(*slot) : Variant();
}

Variant ValueOf(const Slot& slot) {
    if (!slot.object) return slot.value;
    return slot.objectType == VT_DISPATCH ? Variant::Dispatch(slot.object->Identity())
                                          : Variant::Object(slot.object->Identity());
}

}  // namespace hostsim
