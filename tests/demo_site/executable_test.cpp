// The lumeno-demo-site program: starts on the given port, says where it listens, serves the
// site and ends cleanly on SIGTERM; a port in use is said so, with a failing exit code.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "demo_site/demo_site.h"
#include "tests/demo_site/http_fetch.h"

namespace lumeno::demo {
namespace {

// Starts the program with its output and errors on a pipe; the first line it prints is returned.
pid_t StartProgram(const std::string& port, std::string& firstLine) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl(LUMENO_DEMO_SITE_PROGRAM, LUMENO_DEMO_SITE_PROGRAM, "--port", port.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') firstLine += c;
    ::close(pipeFds[0]);
    return pid;
}

int WaitForExit(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 300; ++i) {  // at most 3 s
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST(DemoSiteProgramTest, ServesTheSiteUntilSigterm) {
    const std::string port = std::to_string(RefusingPort());
    std::string line;
    const pid_t pid = StartProgram(port, line);
    ASSERT_GT(pid, 0);
    EXPECT_NE(line.find("http://127.0.0.1:" + port), std::string::npos) << line;
    const auto page = testing::Fetch("http://127.0.0.1:" + port + "/youxi/index_2.html");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("<div class=\"piclist clearfix\">"), std::string::npos);
    ::kill(pid, SIGTERM);
    EXPECT_EQ(WaitForExit(pid), 0);
}

TEST(DemoSiteProgramTest, SaysSoWhenThePortIsInUse) {
    DemoSite other;
    ASSERT_TRUE(other.Start());
    const std::string port = std::to_string(other.Port());
    std::string line;
    const pid_t pid = StartProgram(port, line);
    ASSERT_GT(pid, 0);
    EXPECT_NE(line.find("port " + port + " on 127.0.0.1 is already in use by another program"),
              std::string::npos)
        << line;
    EXPECT_EQ(WaitForExit(pid), 1);
    EXPECT_EQ(testing::Fetch(other.BaseUrl() + "/").status, 200);  // the port stays the other's
}

TEST(DemoSiteProgramTest, RejectsABadPort) {
    std::string line;
    const pid_t pid = StartProgram("not-a-port", line);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitForExit(pid), 2);
}

}  // namespace
}  // namespace lumeno::demo
