// "WinHttp.WinHttpRequest.5.1" on Windows is the system's class: nothing to register, and a
// new object comes from the system's COM library.
#include "platform/winhttp/winhttp_request_object.h"

#include "platform/com/runtime.h"

namespace lumeno::platform {

void RegisterWinHttpRequestClass() {}

DispatchPtr MakeWinHttpRequestObject() {
    DispatchPtr object;
    CreateInstance(kWinHttpRequestProgId, CLSCTX_ALL, &object);
    return object;
}

}  // namespace lumeno::platform
