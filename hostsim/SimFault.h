// Faults a test can inject into one operation of one host object.
#pragma once

#include "SimVariant.h"

#include <optional>

namespace hostsim {

// What an operation does differently. Writes are journaled whatever the fault; a write
// whose result is a failure code, or whose status is negative, is not stored.
struct Fault {
    std::optional<HRESULT> result;      // returned instead of the operation's own result;
                                        // a failure code also skips the operation's work
    std::optional<long> status;         // reported in the status out-value
    std::optional<VARTYPE> valueType;   // a VARIANT read comes back converted to this type
                                        // (all bits zero when it cannot be converted)
    std::optional<Variant> value;       // a VARIANT read comes back as exactly this value
    bool nullObject = false;            // an object or string read answers S_OK with null
                                        // (an enumerator's Next: every element handed out)
    std::optional<ULONG> fetchLimit;    // an enumerator's Next hands out at most this many
                                        // elements, and its cursor moves past those only
    int times = -1;                     // how many calls it applies to; -1: all of them
    int after = 0;                      // how many calls go by unharmed before it applies

    // The call returns hr (E_FAIL by default); with a failure code it has no effect and
    // leaves its outputs null, empty or zero.
    static Fault Fail(HRESULT hr = E_FAIL);
    // The call reports this status (and returns hr); a negative status refuses a write.
    static Fault Status(long status, HRESULT hr = S_OK);
    // A VARIANT read answers S_OK with the stored value converted to another type.
    static Fault WrongType(VARTYPE type);
    // A VARIANT read answers S_OK with this value.
    static Fault Returns(const Variant& value);
    // An object or string read answers S_OK with a null pointer.
    static Fault NullObject();
    // An enumerator's Next hands out at most count elements, reports that many as
    // fetched and returns hr: Fetches(0, S_OK) claims success with nothing fetched.
    static Fault Fetches(ULONG count, HRESULT hr);
    // The same fault for the next n calls only.
    Fault Times(int n) const;
    // The same fault once n calls have gone by unharmed ("fails half way"); Times counts
    // from there.
    Fault After(int n) const;
};

// The fault (if any) that applies to one call in progress, with the rules above.
class Call {
public:
    Call() = default;
    explicit Call(std::optional<Fault> fault) : m_fault(std::move(fault)) {}

    // The fault makes the call fail: skip the work, leave outputs empty.
    bool Fails() const;
    // The result to return: the fault's, else the operation's own.
    HRESULT Result(HRESULT own = S_OK) const;
    // The status to report: the fault's, else the operation's own.
    long Status(long own) const;
    // An object or string out-value is to be null.
    bool NullObject() const;
    // Applies a wrong-type or replacement value to a VARIANT read.
    void AdjustValue(Variant& value) const;
    // How many elements an enumerator's Next hands out when asked for requested.
    ULONG FetchLimit(ULONG requested) const;

private:
    std::optional<Fault> m_fault;
};

}  // namespace hostsim
