// The probes behind the platform gaps: each makes the piece in question and tries it once.
#include "tests/support/platform_gaps.h"

#include <vector>

#include "platform/com/class_registry.h"
#include "platform/com/regexp_class.h"
#include "platform/com/runtime.h"

namespace lumeno {
namespace {

using namespace platform;

HRESULT Put(const DispatchPtr& object, const char* name, Variant value) {
    Variant arguments[] = {std::move(value)};
    return object->Invoke(name, DispatchKind::PropertyPut, arguments, nullptr);
}

HRESULT Call(const DispatchPtr& object, const char* name, std::vector<Variant> arguments,
             Variant* result) {
    return object->Invoke(name, DispatchKind::Method, arguments, result);
}

std::string ProbeStream() {
    constexpr HRESULT kTypeLibraryNotRegistered = MakeFailure(0x8002801Du);
    CoInitialize();
    std::string gap;
    {
        DispatchPtr stream;
        // A stream that cannot be made at all is no gap to skip over: the tests fail on it.
        if (Succeeded(CreateInstance("Adodb.Stream", CLSCTX_ALL, &stream))) {
            if (Put(stream, "Type", Variant::FromI4(1)) == kTypeLibraryNotRegistered) {
                gap =
                    "this platform's Adodb.Stream cannot be reached by member name "
                    "(TYPE_E_LIBNOTREGISTERED, as in Wine 8)";
            } else {
                Call(stream, "Open", {}, nullptr);
                Call(stream, "Write", {Variant::FromBytes({0x41})}, nullptr);
                Put(stream, "Position", Variant::FromI4(0));
                Put(stream, "Type", Variant::FromI4(2));
                Variant text;
                if (Call(stream, "ReadText", {}, &text) == E_NOTIMPL) {
                    gap =
                        "this platform's Adodb.Stream does not implement ReadText "
                        "(E_NOTIMPL, as in Wine 8)";
                }
            }
        }
    }
    CoUninitialize();
    return gap;
}

}  // namespace

const std::string& StreamDecodingGap() {
    static const std::string gap = ProbeStream();
    return gap;
}

bool IsOwnClass(std::string_view progId) {
    std::string clsid;
    // Looking the ProgID up first also registers our built-in classes where there are any.
    return Succeeded(CLSIDFromProgID(progId, &clsid)) &&
           ClassRegistry::Instance().FindFactory(clsid) != nullptr;
}

const std::string& RegExpBacktrackingGap() {
    static const std::string gap =
        IsOwnClass(kRegExpProgId)
            ? std::string()
            : std::string(
                  "this platform's VBScript.RegExp sets no limit on backtracking (only "
                  "our engine has a match limit): a runaway pattern would not return");
    return gap;
}

const std::string& RegExpEmptyMatchGap() {
    static const std::string gap = [] {
        const std::string wine = WineVersion();
        if (IsOwnClass(kRegExpProgId) || wine.empty() || wine.front() != '8') return std::string();
        return "this platform is Wine " + wine +
               ", whose VBScript.RegExp does not step past an empty match in a global search "
               "and never returns: not run";
    }();
    return gap;
}

}  // namespace lumeno
