// The Windows headers for the Windows bindings of platform/, included before any header of
// ours. Windows defines many names as macros that our platform headers declare as constants or
// functions of their own (S_OK, E_FAIL, DISP_E_*, RegisterClass, PostThreadMessage, ...): they
// are undefined here, so our declarations keep their meaning and the real functions are called
// by their explicit W names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>

#undef S_OK
#undef S_FALSE
#undef E_NOTIMPL
#undef E_NOINTERFACE
#undef E_POINTER
#undef E_FAIL
#undef E_UNEXPECTED
#undef E_OUTOFMEMORY
#undef E_INVALIDARG
#undef CO_E_NOTINITIALIZED
#undef CO_E_CLASSSTRING
#undef REGDB_E_CLASSNOTREG
#undef RPC_E_WRONG_THREAD
#undef DISP_E_UNKNOWNINTERFACE
#undef DISP_E_MEMBERNOTFOUND
#undef DISP_E_PARAMNOTFOUND
#undef DISP_E_TYPEMISMATCH
#undef DISP_E_UNKNOWNNAME
#undef DISP_E_EXCEPTION
#undef DISP_E_OVERFLOW
#undef DISP_E_BADINDEX
#undef DISP_E_BADPARAMCOUNT
#undef DISP_E_PARAMNOTOPTIONAL
#undef CLSCTX_INPROC_SERVER
#undef CLSCTX_INPROC_HANDLER
#undef CLSCTX_LOCAL_SERVER
#undef CLSCTX_REMOTE_SERVER
#undef CLSCTX_SERVER
#undef CLSCTX_ALL
#undef RegisterClass
#undef PostThreadMessage
#undef CreateWaitableTimer
#undef ERROR_INVALID_HANDLE
#undef ERROR_INVALID_PARAMETER
#undef ERROR_INSUFFICIENT_BUFFER
#undef Succeeded
#undef Failed
#undef SUCCEEDED
#undef FAILED

namespace lumeno::platform::win32 {

inline bool Ok(::HRESULT hr) {
    return hr >= 0;
}

}  // namespace lumeno::platform::win32
