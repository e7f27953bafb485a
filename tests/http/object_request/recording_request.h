// A request class for tests: it records every member call as one line of text and answers with
// a canned response, so the exact calls a transport makes can be checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/dispatch.h"

namespace lumeno::testing_support {

// The ProgID under which RegisterRecordingRequestClass() registers the class.
inline constexpr const char* kRecordingRequestProgId = "Lumeno.Test.RecordingRequest";

class RecordingRequest : public platform::DispatchObject {
public:
    // Calls as "Name(arg,arg)" for methods, "Name[index]=value" for property writes and
    // "Name" for property reads; texts as GBK, booleans as True/False, byte arrays as
    // "<N bytes>".
    std::vector<std::string> calls;
    // Only the SetRequestHeader calls, as "name: value".
    std::vector<std::string> requestHeaders;
    std::vector<std::uint8_t> sentBytes;

    // The canned response; an empty body answers ResponseBody with an empty variant.
    std::vector<std::uint8_t> responseBody;
    std::string responseHeaders;
    double status = 200;

protected:
    platform::HRESULT InvokeMember(std::string_view member, platform::DispatchKind kind,
                                   std::span<platform::Variant> arguments,
                                   platform::Variant* result) override;
};

// Registers the class once (thread-safe).
void RegisterRecordingRequestClass();

}  // namespace lumeno::testing_support
