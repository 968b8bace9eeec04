// Host descriptions: the simulated host the page host runs a page against, written by
// hand as a small text file, one directive per line, and the loader that builds it
// into a hostsim::Host.
//
//   # TS distribution view: the view keeps its own values and finds its help viewer
//   # through its site
//   object help    IHelpViewer
//   object view    IObjectSite IValueStore
//   service view help
//   service view view
//   value view HistogramScale I4 2
//   objects view            # what the page is given, in order
//
// Lines are split into words as PageHostText.h describes ('#' starts a comment).
// Names and keywords are case-sensitive; interface names are the host's ("IValueStore").
//
// Directives (an <object> is a name declared by an earlier "object" line):
//
//   object <name> [<interface>...]        an object offering these host interfaces;
//                                         naming it again offers more
//   hide <object> <interface>...          the object denies offering them (the data
//                                         stays): the "missing interface" fault
//   service <container> <object> [<container interface>]
//                                         a lookup on the container (IObjectLocator,
//                                         IObjectSite, IObjectContainer) for an interface
//                                         the object offers answers with the object;
//                                         with an interface, only that one answers
//   value <object> <name> <value>         an IValueStore value
//   parameter <object> <name> <value>     an IParameterAccess parameter
//   path <object> <path> <value>          an IParameterServer value at a path
//   string <object> <name> <text>         IHostApplication::GetStringValue ("AppName")
//   depth-range <object> <area> <range> <start>
//                                         IEchogramRange (area 0 displayed, 8 visual,
//                                         16 scroll)
//   selected-layer <object> <layer>       ILayerSelection::GetSelectedLayer
//   layer-name <object> <text>            ILayer::GetName (default: the object's name)
//   layer-state <object> <number>         ILayerState::GetState (default 0)
//   node-name <object> <text>             IHostNode::GetName (default: the object's name)
//   children <object> <collection>        IHostNode::GetChildren
//   application <object> <application>   IHostView::GetApplication
//   item <collection> <value>             one more item for IEnumUnknown, IEnumVARIANT
//                                         and IHostCollection
//   transceiver <directory> <channel id> <object>
//                                         ITransceiverDirectory::GetTransceiver
//   directory-busy <directory> <0..255>   ITransceiverDirectory::IsBusy
//   calibration-busy <object> yes|no      ICalibrationControl::IsBusy
//   channel-id <object> <text>            IChannel::GetChannelID
//   component <object> <index> <component>
//                                         IChannel::GetComponent
//   origin-id <object> <text>             IChannelOrigin::GetOriginID
//   settings <object> <settings>          IProcessingUnit::GetSettings
//   fault <object> <operation> <fault> [for <key>] [times <n>]
//                                         the operation ("IValueStore::GetValue",
//                                         "QueryInterface") misbehaves: for every call,
//                                         or only for calls with this key (the name,
//                                         path, interface or area passed), for the next
//                                         n calls or all of them
//   objects [<object>|null...]            what the page is given, in order; exactly once
//
// A <value> is a type and, for most types, a value:
//   I4 <integer>   I2 <integer>   R8 <number>   R4 <number>   BOOL true|false
//   BSTR <text>    EMPTY          NULL          UNKNOWN <object>|null
// ("VT_I4" and the like are accepted too). UNKNOWN <object> links to the host object
// without holding a reference.
//
// A <fault> is one of:
//   fail [<hresult>]            the call fails (E_FAIL unless given) and does nothing
//   status <number> [<hresult>] the call reports this status; a negative one refuses a write
//   type <type>                 a VARIANT read answers S_OK with its value converted
//   returns <value>             a VARIANT read answers S_OK with this value (not an object)
//   null                        an object or string read answers S_OK with null
// An <hresult> is a name (S_OK, S_FALSE, E_FAIL, E_NOINTERFACE, E_INVALIDARG,
// E_NOTIMPL, E_POINTER, E_UNEXPECTED, E_OUTOFMEMORY, E_ACCESSDENIED, CLASS_E_...) or a
// number (0x80004005).
//
// A malformed line stops the load with "<file>:<line>: <what is wrong>".
#pragma once

#include "SimHost.h"

#include <string>
#include <vector>

namespace tavrel::pagehost {

// The part of a description that is not objects: what the page is given.
struct HostDescription {
    std::vector<hostsim::HostObject*> pageObjects;  // in order; null entries stand for null objects
};

// Builds the objects that text describes into host. fileName is used in messages only.
// On the first malformed line returns false with "<fileName>:<line>: <reason>" in
// *error; the host may then hold some of the objects.
bool BuildHost(const std::wstring& text, const std::wstring& fileName, hostsim::Host& host,
               HostDescription* description, std::wstring* error);
// Reads the file at path and builds it (a file that cannot be read: "<path>: <reason>").
bool LoadHostDescription(const std::wstring& path, hostsim::Host& host, HostDescription* description,
                         std::wstring* error);

}  // namespace tavrel::pagehost
