// What the lumeno-demo-site program does that differs by system: waiting for a request to stop
// (SIGINT or SIGTERM; on Windows Ctrl+C, Ctrl+Break or closing the console window) and running
// another program while the site serves (the Windows package and the installed Linux menu entry
// start Lumeno Box so). POSIX half in site_program_posix.cpp, Windows half in
// site_program_windows.cpp.
#pragma once

#include <string>

namespace lumeno::demo {

// Takes over the stop requests for as long as it lives. Made before any thread starts.
class StopRequests {
public:
    StopRequests();
    // Lets a pending request end the process: on Windows, closing the console window waits
    // for this, so that the site has stopped first.
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    // Returns when a stop is requested.
    void Wait();
};

// Starts `program` (a file name is taken from this program's own folder, where the package
// puts both; a path as it is) in its own folder and waits until it ends. A stop request
// meanwhile asks its windows to close and, after a few seconds, ends it. Answers its exit code;
// -1 with `error` set when it could not be started.
int RunProgramUntilItEnds(const std::string& program, StopRequests& stops, std::string& error);

}  // namespace lumeno::demo
