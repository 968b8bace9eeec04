// The simulated host application: include this one header. It brings the host
// interface declarations along.
#pragma once

#include "HostInterfaces.h"

#include "SimFault.h"
#include "SimHost.h"
#include "SimHostObject.h"
#include "SimJournal.h"
#include "SimText.h"
#include "SimValueTable.h"
#include "SimVariant.h"
