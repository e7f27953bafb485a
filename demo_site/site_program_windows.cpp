// The site program on Windows: stop requests come from the console (Ctrl+C, Ctrl+Break,
// closing its window, logging off); the program run beside the site is started with
// CreateProcessW and tied to this process by a job object, so that it cannot outlive the site
// even when this process is ended from outside.
#include "demo_site/site_program.h"

#include <windows.h>

#include <atomic>

namespace lumeno::demo {
namespace {

constexpr DWORD kCloseGraceMs = 4000;  // Windows ends a closed console's process after ~5 s

HANDLE stopRequested = nullptr;  // manual-reset events made by StopRequests
HANDLE siteStopped = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    ::SetEvent(stopRequested);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // The process ends as soon as this returns: let the program close and the site stop.
        ::WaitForSingleObject(siteStopped, kCloseGraceMs + 500);
    }
    return TRUE;
}

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId) && ::IsWindowVisible(window)) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

std::wstring Wide(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

// For messages on the console: the console's own code page.
std::string ForConsole(const std::wstring& text) {
    const UINT page = ::GetConsoleOutputCP() != 0 ? ::GetConsoleOutputCP() : CP_ACP;
    const int length =
        ::WideCharToMultiByte(page, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    ::WideCharToMultiByte(page, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text != nullptr ? text : L"";
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return ForConsole(message) + " (error " + std::to_string(code) + ")";
}

std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

struct Handle {
    HANDLE value = nullptr;
    ~Handle() {
        if (value != nullptr) ::CloseHandle(value);
    }
};

// A job that ends its processes when its last handle closes (also when this process is ended
// from outside), and lets them start other programs outside it: a browser or Explorer window
// opened from Lumeno Box stays open.
HANDLE MakeJob() {
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

StopRequests::StopRequests() {
    stopRequested = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    siteStopped = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopRequests::~StopRequests() {
    ::SetEvent(siteStopped);
}

void StopRequests::Wait() {
    ::WaitForSingleObject(stopRequested, INFINITE);
}

int RunProgramUntilItEnds(const std::string& program, StopRequests&, std::string& error) {
    std::wstring path = Wide(program);
    const bool bare = path.find_first_of(L"\\/:") == std::wstring::npos;
    if (bare) path = OwnFolder() + path;
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + path + L"\"";

    Handle job{MakeJob()};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED, nullptr, folder.empty() ? nullptr : folder.c_str(),
                          &startup, &started)) {
        error = "cannot start " + ForConsole(path) + ": " + SystemMessage(::GetLastError());
        return -1;
    }
    Handle process{started.hProcess};
    Handle thread{started.hThread};
    // Best effort: a process already in a job that forbids nesting (Windows 7) runs without.
    if (job.value != nullptr) ::AssignProcessToJobObject(job.value, process.value);
    ::ResumeThread(thread.value);

    HANDLE waits[2] = {process.value, stopRequested};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        // Asked to stop: the program closes its window as on a click on its close button.
        ::EnumWindows(CloseWindowsOf, static_cast<LPARAM>(started.dwProcessId));
        if (::WaitForSingleObject(process.value, kCloseGraceMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.value, 1);
            ::WaitForSingleObject(process.value, kCloseGraceMs);
        }
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.value, &code);
    return static_cast<int>(code);
}

}  // namespace lumeno::demo
