// Conversions between our Variant and the system's VARIANT, on oleaut32.
#include "platform/windows/com/com_variant.h"

#include <cstring>
#include <limits>

#include "platform/windows/com/com_object.h"

namespace lumeno::platform::win32 {
namespace {

HRESULT BytesToSafeArray(const std::vector<std::uint8_t>& bytes, VARIANT* out) {
    if (bytes.size() > std::numeric_limits<ULONG>::max()) return E_OUTOFMEMORY;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (array == nullptr) return E_OUTOFMEMORY;
    if (!bytes.empty()) {
        void* data = nullptr;
        if (::HRESULT hr = ::SafeArrayAccessData(array, &data); !Ok(hr)) {
            ::SafeArrayDestroy(array);
            return hr;
        }
        std::memcpy(data, bytes.data(), bytes.size());
        ::SafeArrayUnaccessData(array);
    }
    out->vt = VT_ARRAY | VT_UI1;
    out->parray = array;
    return S_OK;
}

HRESULT SafeArrayToBytes(SAFEARRAY* array, Variant* out) {
    if (array == nullptr) {
        *out = Variant::FromBytes({});
        return S_OK;
    }
    if (::SafeArrayGetDim(array) != 1) return DISP_E_TYPEMISMATCH;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    std::vector<std::uint8_t> bytes;
    if (upper >= lower) {
        bytes.resize(static_cast<std::size_t>(upper - lower) + 1);
        void* data = nullptr;
        if (::HRESULT hr = ::SafeArrayAccessData(array, &data); !Ok(hr)) return hr;
        std::memcpy(bytes.data(), data, bytes.size());
        ::SafeArrayUnaccessData(array);
    }
    *out = Variant::FromBytes(std::move(bytes));
    return S_OK;
}

// A number of any numeric kind as I4 when it is a whole number that fits, else as R8.
HRESULT NumberFrom(const VARIANT& value, Variant* out) {
    VARIANT number;
    ::VariantInit(&number);
    const ::HRESULT hr =
        ::VariantChangeTypeEx(&number, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_R8);
    if (!Ok(hr)) return hr;
    const double r8 = number.dblVal;
    const bool integral = value.vt != VT_R4 && value.vt != VT_R8 && value.vt != VT_DATE &&
                          value.vt != VT_CY && value.vt != VT_DECIMAL;
    if (integral && r8 >= std::numeric_limits<std::int32_t>::min() &&
        r8 <= std::numeric_limits<std::int32_t>::max()) {
        *out = Variant::FromI4(static_cast<std::int32_t>(r8));
    } else {
        *out = Variant::FromR8(r8);
    }
    return S_OK;
}

}  // namespace

HRESULT ToSystemVariant(const Variant& value, VARIANT* out) {
    ::VariantInit(out);
    switch (value.Type()) {
        case VarType::Empty:
            return S_OK;
        case VarType::I4:
            out->vt = VT_I4;
            out->lVal = *value.I4();
            return S_OK;
        case VarType::R8:
            out->vt = VT_R8;
            out->dblVal = *value.R8();
            return S_OK;
        case VarType::Bool:
            out->vt = VT_BOOL;
            out->boolVal = *value.Bool() ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case VarType::Bstr: {
            const std::u16string& text = *value.Bstr();
            if (text.size() > std::numeric_limits<UINT>::max() / 2) {
                return E_OUTOFMEMORY;
            }
            BSTR bstr = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                            static_cast<UINT>(text.size()));
            if (bstr == nullptr) return E_OUTOFMEMORY;
            out->vt = VT_BSTR;
            out->bstrVal = bstr;
            return S_OK;
        }
        case VarType::Dispatch: {
            const DispatchPtr& object = *value.Dispatch();
            if (!object) {
                out->vt = VT_DISPATCH;
                out->pdispVal = nullptr;
                return S_OK;
            }
            IDispatch* system = SystemDispatch(object);
            if (system == nullptr) return DISP_E_TYPEMISMATCH;
            system->AddRef();
            out->vt = VT_DISPATCH;
            out->pdispVal = system;
            return S_OK;
        }
        case VarType::UI1Array:
            return BytesToSafeArray(*value.Bytes(), out);
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT FromSystemVariant(const VARIANT& value, Variant* out) {
    if ((value.vt & VT_BYREF) != 0) {
        VARIANT direct;
        ::VariantInit(&direct);
        ::HRESULT hr = ::VariantCopyInd(&direct, const_cast<VARIANT*>(&value));
        if (Ok(hr)) hr = FromSystemVariant(direct, out);
        ::VariantClear(&direct);
        return hr;
    }
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_ERROR:
            *out = Variant();
            return S_OK;
        case VT_BOOL:
            *out = Variant::FromBool(value.boolVal != VARIANT_FALSE);
            return S_OK;
        case VT_BSTR:
            *out = Variant::FromBstr(std::u16string(
                reinterpret_cast<const char16_t*>(value.bstrVal), ::SysStringLen(value.bstrVal)));
            return S_OK;
        case VT_DISPATCH:
            *out = Variant::FromDispatch(WrapSystemObject(value.pdispVal));
            return S_OK;
        case VT_UNKNOWN: {
            IDispatch* dispatch = nullptr;
            if (value.punkVal == nullptr ||
                !Ok(value.punkVal->QueryInterface(IID_IDispatch,
                                                  reinterpret_cast<void**>(&dispatch)))) {
                return DISP_E_TYPEMISMATCH;
            }
            *out = Variant::FromDispatch(WrapSystemObject(dispatch));
            dispatch->Release();
            return S_OK;
        }
        case VT_ARRAY | VT_UI1:
        case VT_ARRAY | VT_I1:
            return SafeArrayToBytes(value.parray, out);
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_INT:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_DECIMAL:
            return NumberFrom(value, out);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace lumeno::platform::win32
