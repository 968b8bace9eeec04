// The class object of one page class.
#pragma once

#include "ClassTable.h"

namespace tavrel {

// Creates the cached class object of a class entry (one reference, the module's).
HRESULT CreateClassObject(CreatePageFunction createPage, IClassFactory** classObject);

}  // namespace tavrel
