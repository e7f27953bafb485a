// HRESULT-style status codes of the object runtime: 0 and 1 succeed, negative values fail.
#pragma once

#include <cstdint>

namespace lumeno::platform {

using HRESULT = std::int32_t;

constexpr HRESULT MakeFailure(std::uint32_t code) {
    return static_cast<HRESULT>(code);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeFailure(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = MakeFailure(0x80004002u);
inline constexpr HRESULT E_POINTER = MakeFailure(0x80004003u);
inline constexpr HRESULT E_FAIL = MakeFailure(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = MakeFailure(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = MakeFailure(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = MakeFailure(0x80070057u);
inline constexpr HRESULT CO_E_NOTINITIALIZED = MakeFailure(0x800401F0u);
inline constexpr HRESULT CO_E_CLASSSTRING = MakeFailure(0x800401F3u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeFailure(0x80040154u);
inline constexpr HRESULT RPC_E_WRONG_THREAD = MakeFailure(0x8001010Eu);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = MakeFailure(0x80020001u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeFailure(0x80020003u);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = MakeFailure(0x80020004u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = MakeFailure(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = MakeFailure(0x80020006u);
inline constexpr HRESULT DISP_E_EXCEPTION = MakeFailure(0x80020009u);
inline constexpr HRESULT DISP_E_OVERFLOW = MakeFailure(0x8002000Au);
inline constexpr HRESULT DISP_E_BADINDEX = MakeFailure(0x8002000Bu);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeFailure(0x8002000Eu);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = MakeFailure(0x8002000Fu);

constexpr bool Succeeded(HRESULT hr) {
    return hr >= 0;
}
constexpr bool Failed(HRESULT hr) {
    return hr < 0;
}

}  // namespace lumeno::platform
