// Our Variant and the system's VARIANT at the boundary to real automation objects: strings as
// BSTRs, byte sets as one-dimensional VT_UI1 SAFEARRAYs, object references as IDispatch.
#pragma once

#include "platform/windows/win32.h"

#include "platform/com/variant.h"

namespace lumeno::platform::win32 {

// Fills the (empty) *out; the caller clears it with VariantClear. DISP_E_TYPEMISMATCH for an
// object that is not a system object (one of our in-process classes cannot be handed to a
// system object), E_OUTOFMEMORY when a string or array cannot be made.
HRESULT ToSystemVariant(const Variant& value, VARIANT* out);

// Reads a VARIANT the system handed back. Numbers that fit a 32-bit integer become I4, other
// numbers R8; VT_NULL, VT_ERROR (a missing argument) and VT_EMPTY become empty; references are
// followed. DISP_E_TYPEMISMATCH for kinds our Variant cannot hold (arrays of other types, ...).
HRESULT FromSystemVariant(const VARIANT& value, Variant* out);

}  // namespace lumeno::platform::win32
