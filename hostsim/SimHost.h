// The simulated host application: owns its objects and the journal of the calls they
// received.
#pragma once

#include "SimHostObject.h"
#include "SimJournal.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace hostsim {

class Host {
public:
    Host() = default;
    // Releases the host's own references. An object the page still holds lives on, cut
    // off from the host; check Outstanding() before the host goes.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Creates an object; the host holds one reference to it for its whole life. Names
    // should be unique: they are what the journal and the reference check show.
    HostObject& Create(const std::wstring& name);
    HostObject& Create(const std::wstring& name, std::initializer_list<IID> interfaces);
    HostObject* Find(const std::wstring& name) const;
    // The host object that p belongs to (its identity or one of its interfaces), or null.
    HostObject* ObjectOf(IUnknown* p) const;
    const std::vector<HostObject*>& Objects() const { return m_objects; }
    // Names an object that is not the host's (the page, as a subscriber) so that the
    // journal shows the name instead of "object". The pointer is compared as given:
    // name the IUnknown the page passes.
    void NameObject(IUnknown* object, const std::wstring& name);
    // The name the journal shows for an object argument: a host object's name, a name
    // given with NameObject, or empty.
    std::wstring NameOf(IUnknown* object) const;

    CallJournal& Journal() { return m_journal; }
    const CallJournal& Journal() const { return m_journal; }
    const std::vector<std::wstring>& Lines() const { return m_journal.Lines(); }
    std::wstring Text() const { return m_journal.Text(); }

    // One line per object that others still hold references to, or that was released
    // more often than referenced: "view: 2 references outstanding",
    // "help: 1 Release too many". Empty when the page gave back what it took.
    std::vector<std::wstring> Outstanding() const;
    std::wstring OutstandingText() const;
    bool AllReferencesReturned() const { return Outstanding().empty(); }

    // Drops every object's references to its subscribers (the page), so that page and
    // host do not keep each other alive.
    void ReleaseSubscribers();

private:
    std::vector<HostObject*> m_objects;  // one reference each
    std::vector<std::pair<IUnknown*, std::wstring>> m_otherNames;  // no references
    CallJournal m_journal;
};

}  // namespace hostsim
