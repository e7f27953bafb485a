// The object runtime's library functions: per-thread initialisation counted as CoInitialize /
// CoUninitialize count it, the class registry (ProgID and "{CLSID}" text, both looked up without
// regard to case) and instance creation. Creation on a thread that is not initialised fails
// with CO_E_NOTINITIALIZED, so an unbalanced initialisation shows up at once.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/com/dispatch.h"
#include "platform/com/hresult.h"

namespace lumeno::platform {

// Context flags of CoCreateInstance; creation needs CLSCTX_INPROC_SERVER among them and fails
// with E_INVALIDARG otherwise.
inline constexpr unsigned CLSCTX_INPROC_SERVER = 0x1;
inline constexpr unsigned CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr unsigned CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr unsigned CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr unsigned CLSCTX_SERVER = 0x15;
inline constexpr unsigned CLSCTX_ALL = 0x17;

// S_OK for the thread's first initialisation, S_FALSE for each nested one (still counted).
HRESULT CoInitialize(void* reserved = nullptr);
// Undoes one CoInitialize of the calling thread; does nothing when none is outstanding.
void CoUninitialize();
// The calling thread's outstanding initialisations (0: not initialised).
int CoInitializeCount();

// Makes one fresh instance of a class on the calling thread; null on failure.
using ClassFactory = std::function<DispatchPtr()>;

// Registers (or replaces) a class under its ProgID and its CLSID text "{XXXXXXXX-XXXX-...}".
// Thread-safe; may be called before any thread is initialised. E_INVALIDARG for an empty
// ProgID, a CLSID not in braces or an empty factory.
HRESULT RegisterClass(std::string_view progId, std::string_view clsid, ClassFactory factory);

// The CLSID text of a registered ProgID (REGDB_E_CLASSNOTREG / CO_E_CLASSSTRING when unknown).
HRESULT CLSIDFromProgID(std::string_view progId, std::string* clsid);

// CoCreateInstance asking for the dispatch interface: *object receives the new instance and is
// left untouched on failure.
HRESULT CoCreateInstance(std::string_view clsid, unsigned context, DispatchPtr* object);

// Resolves `classText` (a "{CLSID}" when it begins with a brace, else a ProgID) and creates an
// instance with the given context flags.
HRESULT CreateInstance(std::string_view classText, unsigned context, DispatchPtr* object);

// OleRun: puts an object into its running state. Every class here is running once made, so
// this only checks the object (E_INVALIDARG for null).
HRESULT OleRun(const DispatchPtr& object);

}  // namespace lumeno::platform
