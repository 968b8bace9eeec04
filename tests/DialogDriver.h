// The dialog driver (tools/driver) as the tests use it: its names in tavrel::test, and
// its failures raised as GoogleTest failures (TestMain.cpp installs the hooks).
#pragma once

#include "driver/DialogDriver.h"

namespace tavrel::test {
using namespace tavrel::driver;
}  // namespace tavrel::test
