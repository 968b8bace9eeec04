// Everything a page class builds on: reference counting, the property page and
// dialog frame, data exchange, the host's interfaces and the resource ids.
#pragma once

#include "ComObject.h"
#include "ComResource.h"
#include "DataExchange.h"
#include "DiagnosticsLog.h"
#include "Dialog.h"
#include "HostInterfaces.h"
#include "HostLookup.h"
#include "HostValues.h"
#include "PropertyPage.h"
#include "TavrelClasses.h"
#include "Window.h"
#include "resource.h"
