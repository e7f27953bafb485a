// ProcessMessages: dispatches what waits in the calling thread's loop, the installed one on
// the window thread and the thread's own posted-message queue everywhere else.
#include "platform/system/message_loop.h"
#include "util/runtime_services.h"

namespace lumeno {

void ProcessMessages() {
    platform::CurrentThreadLoop().DispatchPending();
}

}  // namespace lumeno
