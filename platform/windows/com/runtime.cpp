// The object runtime on the system's COM library: CoInitialize / CoUninitialize bound by name
// from "ole32.dll", ProgIDs resolved by CLSIDFromProgID, instances made by CoCreateInstance
// asking for IDispatch. Classes that the program registers itself (RegisterClass) are looked up
// first and made in-process, as on Linux.
//
// Initialisation is counted per thread. A CoInitialize that the system refuses (the thread is
// already in the multithreaded apartment) still counts, so the caller's CoUninitialize stays
// paired with it, but only a successful one is undone at the system: an unbalanced
// CoUninitialize would tear down an apartment that someone else set up.
#include "platform/windows/win32.h"

#include "platform/com/runtime.h"

#include <atomic>
#include <string>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/com/class_registry.h"
#include "platform/windows/com/com_object.h"

namespace lumeno::platform {
namespace {

using CoInitializeFn = ::HRESULT(WINAPI*)(LPVOID);
using CoUninitializeFn = void(WINAPI*)();

struct Ole32 {
    CoInitializeFn initialize = nullptr;
    CoUninitializeFn uninitialize = nullptr;
};

const Ole32& BoundOle32() {
    static const Ole32 ole32 = [] {
        Ole32 bound;
        if (HMODULE module = ::LoadLibraryW(L"ole32.dll")) {
            bound.initialize = reinterpret_cast<CoInitializeFn>(
                reinterpret_cast<void*>(::GetProcAddress(module, "CoInitialize")));
            bound.uninitialize = reinterpret_cast<CoUninitializeFn>(
                reinterpret_cast<void*>(::GetProcAddress(module, "CoUninitialize")));
        }
        if (bound.initialize == nullptr || bound.uninitialize == nullptr) bound = Ole32{};
        return bound;
    }();
    return ole32;
}

struct ThreadApartment {
    std::vector<bool> initialisations;  // one entry per outstanding CoInitialize: did it succeed
    std::uint64_t apartment = 0;
};

// Exists while the thread has a CoInitialize outstanding. A plain pointer, not a thread-local
// object with a destructor: MinGW may free such an object's storage before its destructor runs
// at thread exit (see platform/system/thread_exit.h). A thread that ends with its
// initialisation still outstanding leaves its record behind, as it leaves its apartment.
thread_local ThreadApartment* tApartment = nullptr;
std::atomic<std::uint64_t> nextApartment{0};

std::wstring WideText(std::string_view gbk) {
    const std::u16string wide = GbkToUtf16(gbk);
    return std::wstring(wide.begin(), wide.end());
}

std::string ClsidText(const CLSID& clsid) {
    wchar_t text[64] = {};
    const int length = ::StringFromGUID2(clsid, text, 64);
    if (length <= 1) return {};
    return std::string(text, text + length - 1);  // all ASCII
}

bool ParseClsid(std::string_view text, CLSID* clsid) {
    std::wstring wide(text.begin(), text.end());
    return win32::Ok(::CLSIDFromString(wide.c_str(), clsid));
}

}  // namespace

std::uint64_t win32::CurrentApartment() {
    return tApartment == nullptr ? 0 : tApartment->apartment;
}

HRESULT CoInitialize(void* reserved) {
    (void)reserved;  // the system takes none either
    const Ole32& ole32 = BoundOle32();
    const ::HRESULT hr = ole32.initialize != nullptr ? ole32.initialize(nullptr) : E_NOTIMPL;
    if (tApartment == nullptr) tApartment = new ThreadApartment{{}, ++nextApartment};
    tApartment->initialisations.push_back(win32::Ok(hr));
    return hr;
}

void CoUninitialize() {
    if (tApartment == nullptr) return;
    const bool succeeded = tApartment->initialisations.back();
    tApartment->initialisations.pop_back();
    if (tApartment->initialisations.empty()) {
        delete tApartment;
        tApartment = nullptr;
    }
    if (succeeded) BoundOle32().uninitialize();
}

int CoInitializeCount() {
    return tApartment == nullptr ? 0 : static_cast<int>(tApartment->initialisations.size());
}

HRESULT RegisterClass(std::string_view progId, std::string_view clsid, ClassFactory factory) {
    if (progId.empty() || !IsClsidText(clsid) || !factory) return E_INVALIDARG;
    ClassRegistry::Instance().Add(progId, clsid, std::move(factory));
    return S_OK;
}

HRESULT CLSIDFromProgID(std::string_view progId, std::string* clsid) {
    if (clsid == nullptr) return E_POINTER;
    if (progId.empty()) return CO_E_CLASSSTRING;
    if (ClassRegistry::Instance().FindProgId(progId, clsid)) return S_OK;
    CLSID found;
    const std::wstring wide = WideText(progId);
    if (const ::HRESULT hr = ::CLSIDFromProgID(wide.c_str(), &found); !win32::Ok(hr)) return hr;
    *clsid = ClsidText(found);
    return clsid->empty() ? E_FAIL : S_OK;
}

HRESULT CoCreateInstance(std::string_view clsid, unsigned context, DispatchPtr* object) {
    if (object == nullptr) return E_POINTER;
    if (!IsClsidText(clsid)) return CO_E_CLASSSTRING;
    if (ClassFactory factory = ClassRegistry::Instance().FindFactory(clsid)) {
        // Our own classes keep the rules of the Linux runtime.
        if (tApartment == nullptr) return CO_E_NOTINITIALIZED;
        if ((context & CLSCTX_INPROC_SERVER) == 0) return E_INVALIDARG;
        DispatchPtr made = factory();
        if (!made) return E_FAIL;
        *object = std::move(made);
        return S_OK;
    }
    return win32::CreateSystemObject(clsid, context, object);
}

HRESULT win32::CreateSystemObject(std::string_view clsid, unsigned context, DispatchPtr* object) {
    if (object == nullptr) return E_POINTER;
    CLSID id;
    if (!ParseClsid(clsid, &id)) return CO_E_CLASSSTRING;
    IDispatch* dispatch = nullptr;
    const ::HRESULT hr = ::CoCreateInstance(id, nullptr, context, IID_IDispatch,
                                            reinterpret_cast<void**>(&dispatch));
    if (!win32::Ok(hr)) return hr;
    if (dispatch == nullptr) return E_FAIL;
    // A system object made on a thread we did not initialise has no apartment of ours to live
    // in; refuse it rather than keep a reference nobody can release safely.
    if (tApartment == nullptr) {
        dispatch->Release();
        return CO_E_NOTINITIALIZED;
    }
    *object = win32::WrapSystemObject(dispatch);
    dispatch->Release();  // the wrapper holds its own reference
    return S_OK;
}

HRESULT OleRun(const DispatchPtr& object) {
    if (!object) return E_INVALIDARG;
    IDispatch* system = win32::SystemDispatch(object);
    if (system == nullptr) return S_OK;  // our own classes run once made
    return ::OleRun(system);
}

}  // namespace lumeno::platform
