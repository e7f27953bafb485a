// The recording request class: call log and canned response.
#include "tests/http/object_request/recording_request.h"

#include <mutex>

#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"

namespace lumeno::testing_support {
namespace {

std::string ArgumentText(const platform::Variant& value) {
    if (const auto* bytes = value.Bytes()) return "<" + std::to_string(bytes->size()) + " bytes>";
    std::u16string wide;
    if (platform::Failed(platform::VariantToString(value, &wide))) return "<?>";
    return platform::Utf16ToGbk(wide);
}

std::string Joined(std::span<const platform::Variant> arguments) {
    std::string out;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) out += ",";
        out += ArgumentText(arguments[i]);
    }
    return out;
}

}  // namespace

platform::HRESULT RecordingRequest::InvokeMember(std::string_view member,
                                                 platform::DispatchKind kind,
                                                 std::span<platform::Variant> arguments,
                                                 platform::Variant* result) {
    const std::string name(member);
    switch (kind) {
        case platform::DispatchKind::PropertyPut:
            calls.push_back(name + "[" + Joined(arguments.subspan(1)) + "]=" +
                            (arguments.empty() ? std::string() : ArgumentText(arguments[0])));
            return platform::S_OK;
        case platform::DispatchKind::PropertyGet:
            calls.push_back(name);
            if (result == nullptr) return platform::S_OK;
            if (platform::MemberIs(member, "ResponseBody")) {
                if (!responseBody.empty()) *result = platform::Variant::FromBytes(responseBody);
            } else if (platform::MemberIs(member, "Status")) {
                *result = platform::Variant::FromR8(status);
            } else {
                return platform::DISP_E_MEMBERNOTFOUND;
            }
            return platform::S_OK;
        case platform::DispatchKind::Method:
            calls.push_back(name + "(" + Joined(arguments) + ")");
            if (platform::MemberIs(member, "SetRequestHeader") && arguments.size() == 2) {
                requestHeaders.push_back(ArgumentText(arguments[0]) + ": " +
                                         ArgumentText(arguments[1]));
                // Like the real object, an empty header name is refused.
                if (ArgumentText(arguments[0]).empty()) return platform::E_INVALIDARG;
            }
            if (platform::MemberIs(member, "Send") && arguments.size() == 1 &&
                arguments[0].Bytes() != nullptr) {
                sentBytes = *arguments[0].Bytes();
            }
            if (platform::MemberIs(member, "GetAllResponseHeaders") && result != nullptr) {
                *result = platform::Variant::FromBstr(platform::GbkToUtf16(responseHeaders));
            }
            return platform::S_OK;
    }
    return platform::DISP_E_MEMBERNOTFOUND;
}

void RegisterRecordingRequestClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        platform::RegisterClass(kRecordingRequestProgId, "{6C756D65-6E6F-4000-8000-726563726571}",
                                [] { return std::make_shared<RecordingRequest>(); });
    });
}

}  // namespace lumeno::testing_support
