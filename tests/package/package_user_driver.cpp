// The Windows package as a user gets it, seen from the user's side of the screen: the start
// script (run beside this program by package_as_user.sh) has started the site and Lumeno Box.
// This program finds the window by its caption, crawls, saves, answers the closing question
// with No, checks the saved files beside the program and closes the window; then the site
// must be gone. It works the other process's window only through messages the system carries
// across processes (BM_CLICK, LVM_GETITEMCOUNT, WM_GETTEXT, WM_CLOSE).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr u_short kSitePort = 8808;
const wchar_t kCaption[] = L"Lumeno - Box    源自Kestrune论坛";

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The status line of the site's answer to GET / over loopback; empty when nothing answers.
std::string SiteStatusLine() {
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kSitePort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    const DWORD timeoutMs = 5000;
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                 sizeof timeoutMs);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        ::send(s, request, sizeof request - 1, 0);
        char chunk[256];
        int n;
        while (answer.find("\r\n") == std::string::npos &&
               (n = ::recv(s, chunk, sizeof chunk, 0)) > 0) {
            answer.append(chunk, static_cast<std::size_t>(n));
        }
    }
    ::closesocket(s);
    return answer.substr(0, answer.find("\r\n"));
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                          nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child : Children(parent))
        if (TextOf(child) == text) return child;
    return nullptr;
}

// The picture list the user sees: the list view inside the window's client area (the other
// one lies outside it).
HWND VisibleList(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    for (HWND child : Children(window)) {
        if (ClassOf(child) != WC_LISTVIEWW) continue;
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.right <= client.right) return child;
    }
    return nullptr;
}

int Rows(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() { ::WSACleanup(); }
};

TEST(PackageAsUserGetsIt, CrawlSaveAndCloseStopTheSite) {
    WinsockSession winsock;
    const wchar_t* folderVariable = ::_wgetenv(L"LUMENO_PACKAGE_FOLDER");
    ASSERT_NE(folderVariable, nullptr) << "LUMENO_PACKAGE_FOLDER names the unpacked folder";
    const std::filesystem::path folder = folderVariable;

    // The start script has the site answer before it opens the window.
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (window = ::FindWindowW(nullptr, kCaption)) && ::IsWindowVisible(window); },
        std::chrono::seconds(30)))
        << "the window did not open";
    EXPECT_EQ(SiteStatusLine(), "HTTP/1.1 200 OK");
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    ASSERT_NE(process, nullptr);

    // "开始爬虫" with the page boxes as they start (1 to 2), no category: the root listing.
    const HWND list = VisibleList(window);
    ASSERT_NE(list, nullptr);
    const HWND crawl = ChildWithText(window, L"开始爬虫");
    ASSERT_NE(crawl, nullptr);
    ::PostMessageW(crawl, BM_CLICK, 0, 0);
    // The crawl is over when the rows stop coming.
    int rows = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            const int before = Rows(list);
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            rows = Rows(list);
            return rows > 0 && rows == before;
        },
        std::chrono::seconds(30)));

    // "下载全部", then the question at its end, answered No (Yes opens a file browser).
    const HWND save = ChildWithText(window, L"下载全部");
    ASSERT_NE(save, nullptr);
    ::PostMessageW(save, BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = ::FindWindowW(L"#32770", L"Kestrune - 提示")); },
                        std::chrono::seconds(60)));
    EXPECT_NE(ChildWithText(box, L"保存成功，是否打开文件夹查看？"), nullptr);
    const HWND no = ::GetDlgItem(box, IDNO);
    ASSERT_NE(no, nullptr);
    ::PostMessageW(no, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }, std::chrono::seconds(10)));

    // One real JPEG per row, in the folder beside the program.
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / L"Lumeno图片 1080P")) {
        std::ifstream file(entry.path(), std::ios::binary);
        char head[3] = {};
        file.read(head, 3);
        EXPECT_EQ(std::string(head, 3), "\xFF\xD8\xFF") << entry.path().filename().string();
        EXPECT_EQ(entry.path().extension(), L".jpg");
        ++pictures;
    }
    EXPECT_EQ(pictures, rows);

    // Closing the window ends the program, and with it the site.
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process, &code);
    EXPECT_EQ(code, 0u);
    ::CloseHandle(process);
    EXPECT_TRUE(WaitFor([] { return SiteStatusLine().empty(); }, std::chrono::seconds(10)))
        << "the site still answers after the window closed";
}

}  // namespace
