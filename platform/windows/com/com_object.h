// System automation objects behind our DispatchObject: each holds one IDispatch reference and
// turns a call by member name into GetIDsOfNames + IDispatch::Invoke, converting the arguments
// and the result between our Variant and the system's VARIANT.
#pragma once

#include "platform/windows/win32.h"

#include "platform/com/dispatch.h"

namespace lumeno::platform::win32 {

// Wraps `object` (AddRef'd; null gives null) for the calling thread, which must have the
// object runtime initialised.
DispatchPtr WrapSystemObject(IDispatch* object);

// The system object behind `object`; null for one of our in-process classes.
IDispatch* SystemDispatch(const DispatchPtr& object);

// An instance of the system's registered class `clsid` ("{...}" text), made by the system's
// CoCreateInstance and wrapped, past any class the program registered under the same CLSID (a
// registered class may wrap the system's own). Fails with CO_E_NOTINITIALIZED on a thread the
// object runtime has not initialised.
HRESULT CreateSystemObject(std::string_view clsid, unsigned context, DispatchPtr* object);

// The calling thread's apartment as the wrappers see it: a number that changes whenever the
// thread's last initialisation is undone (0 while it is not initialised). A wrapper releases
// its reference only in the apartment it was made in; after that apartment ended, the reference
// is gone with it and releasing it could call into unloaded code.
std::uint64_t CurrentApartment();

}  // namespace lumeno::platform::win32
