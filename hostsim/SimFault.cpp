#include "SimFault.h"

namespace hostsim {

Fault Fault::Fail(HRESULT hr) {
    Fault fault;
    fault.result = hr;
    return fault;
}

Fault Fault::Status(long status, HRESULT hr) {
    Fault fault;
    fault.result = hr;
    fault.status = status;
    return fault;
}

Fault Fault::WrongType(VARTYPE type) {
    Fault fault;
    fault.valueType = type;
    return fault;
}

Fault Fault::Returns(const Variant& value) {
    Fault fault;
    fault.value = value;
    return fault;
}

Fault Fault::NullObject() {
    Fault fault;
    fault.nullObject = true;
    return fault;
}

Fault Fault::Fetches(ULONG count, HRESULT hr) {
    Fault fault;
    fault.result = hr;
    fault.fetchLimit = count;
    return fault;
}

Fault Fault::Times(int n) const {
    Fault fault = *this;
    fault.times = n;
    return fault;
}

Fault Fault::After(int n) const {
    Fault fault = *this;
    fault.after = n;
    return fault;
}

bool Call::Fails() const { return m_fault && m_fault->result && FAILED(*m_fault->result); }

HRESULT Call::Result(HRESULT own) const {
    return m_fault && m_fault->result ? *m_fault->result : own;
}

long Call::Status(long own) const {
    return m_fault && m_fault->status ? *m_fault->status : own;
}

bool Call::NullObject() const { return m_fault && m_fault->nullObject; }

void Call::AdjustValue(Variant& value) const {
    if (!m_fault) return;
    if (m_fault->value) {
        value = *m_fault->value;
    } else if (m_fault->valueType) {
        Variant converted;
        // MinGW declares the source without const; VariantChangeType only reads it.
        VARIANT* source = const_cast<VARIANT*>(&value.get());
        if (FAILED(VariantChangeType(converted.put(), source, 0, *m_fault->valueType))) {
            converted = Variant::Zero(*m_fault->valueType);
        }
        value = std::move(converted);
    }
}

ULONG Call::FetchLimit(ULONG requested) const {
    return m_fault && m_fault->fetchLimit && *m_fault->fetchLimit < requested ? *m_fault->fetchLimit : requested;
}

}  // namespace hostsim
