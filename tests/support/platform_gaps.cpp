// The probes behind the platform gaps: each makes the piece in question and tries it once.
#include "tests/support/platform_gaps.h"

#include <vector>

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

}  // namespace lumeno
