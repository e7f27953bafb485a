// The hostile-site matrix: each case starts the local site with one hostile mode for its
// listing pages or its pictures and runs the crawler against it in a child process (the scrape
// of listing page 1, the save of one picture, or both). Every case must end without a crash,
// within its time limit, with a memory peak of at most three times the largest body it was
// sent (over the peak of an ordinary crawl, plus what the listed rows themselves hold), with no
// half-written file and nothing outside the
// save folder, and with the outcome the user is shown for that kind of failure. Each case
// prints a "ROW" line with its time, peak and outcome.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "demo_site/demo_site.h"
#include "demo_site/hostile_answers.h"
#include "platform/codepage/codepage.h"
#include "tests/hostile/child_run.h"

namespace lumeno::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr std::uint64_t kMiB = 1024 * 1024;
// Allocator and library noise between two runs of the same program.
constexpr long kSlackKiB = 16 * 1024;
// The picture name of the 64 KiB thumbnail: the address less "/uploads/2024/01/02/small" and
// its last fourteen bytes.
const std::string kLongName(64 * 1024 - 25 - 14, 'a');
const std::string kFolderUtf8 = reinterpret_cast<const char*>(u8"Lumeno图片 1080P");

enum class Action { Scrape, Save, Crawl };

struct Expected {
    int rows = 0;                    // rows listed by the scrape
    bool accessFailed = false;       // "访问失败，请重试！" shown once
    std::vector<std::string> hints;  // hint texts (GBK) that must have been shown
    // The save folder afterwards: name -> size in bytes (0: any size but empty).
    std::map<std::string, std::uint64_t> files;
};

struct HostileCase {
    const char* name;
    std::string listings;  // SiteOptions::hostileListings
    std::string pictures;  // SiteOptions::hostilePictures
    Action action;
    std::uint64_t largestBody;  // bytes of the largest body or header block sent
    seconds limit;
    Expected expected;
};

struct Outcome {
    int rows = 0;
    long peakKiB = -1;
    std::map<int, std::pair<std::string, std::string>> listed;  // row -> (full, thumbnail)
    std::vector<std::string> messages;
    std::vector<std::string> hints;
};

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == '0' ? '\0' : c;
    }
    return out;
}

Outcome ParseOutcome(const std::string& output) {
    Outcome outcome;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "rows") outcome.rows = std::atoi(value.c_str());
        if (key == "peak_kib") outcome.peakKiB = std::atol(value.c_str());
        if (key == "message") outcome.messages.push_back(Unescape(value));
        if (key == "hint") outcome.hints.push_back(Unescape(value));
        if (key == "row") {
            const std::size_t a = value.find(' '), b = value.find(' ', a + 1);
            outcome.listed[std::atoi(value.c_str())] = {Unescape(value.substr(a + 1, b - a - 1)),
                                                        Unescape(value.substr(b + 1))};
        }
    }
    return outcome;
}

std::string Gbk(const char8_t* utf8) {
    return platform::Utf8ToGbk(reinterpret_cast<const char*>(utf8));
}

std::string Hint(const char8_t* what, const std::string& name) {
    return Gbk(u8"温馨提示 - ") + Gbk(what) + " " + name;
}

// The outcome as the user sees it, for the ROW line: rows, message boxes and the hints that
// report a picture's fate (the "读取" hints and the final summary are left out).
std::string OutcomeText(const Outcome& outcome, std::size_t files) {
    std::string text = std::to_string(outcome.rows) + " rows";
    for (const std::string& m : outcome.messages)
        text += "; box \"" + platform::GbkToUtf8(m) + "\"";
    const std::string prefix = Gbk(u8"温馨提示 - ");
    for (const std::string& hint : outcome.hints) {
        const std::string shown = hint.substr(std::min(prefix.size(), hint.size()));
        if (shown.starts_with(Gbk(u8"读取")) || shown.starts_with(Gbk(u8"所有")) ||
            shown.starts_with(Gbk(u8"图片保存结束"))) {
            continue;
        }
        std::string utf8 = platform::GbkToUtf8(shown);
        if (utf8.size() > 48) {
            std::size_t cut = 48;
            while ((static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
            utf8 = utf8.substr(0, cut) + "...";
        }
        text += "; hint \"" + utf8 + "\"";
    }
    return text + "; " + std::to_string(files) + " files";
}

// What the listed rows themselves hold, which no transfer can spare: each row keeps its
// thumbnail address twice (SourceList and PageThumbnails) and its full-size address once
// (ImageList), each as a text object with its own heap block.
std::uint64_t RowStorage(const std::string& baseUrl, int rows) {
    auto heldBytes = [](std::size_t length) {
        const std::size_t block = length < 16 ? 0 : (length + 1 + 8 + 15) / 16 * 16;
        return sizeof(std::string) + block;
    };
    std::uint64_t bytes = 0;
    for (int k = 0; k < rows; ++k) {
        const std::size_t thumbnail = baseUrl.size() + demo::HostileThumbnailPath(k).size();
        bytes += 2 * heldBytes(thumbnail) + heldBytes(thumbnail - 5 - 14 + 4);
    }
    return bytes;
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        char pattern[] = "/tmp/lumeno-hostile-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TemporaryFolder() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

struct CaseRun {
    ChildResult child;
    Outcome outcome;
    std::string baseUrl;
};

CaseRun RunCase(const demo::SiteOptions& options, Action action, const fs::path& runDirectory,
                seconds limit) {
    demo::DemoSite site(options);
    EXPECT_TRUE(site.Start());
    CaseRun run;
    run.baseUrl = site.BaseUrl();
    std::vector<std::string> arguments = {HOSTILE_CLIENT,
                                          action == Action::Scrape ? "scrape"
                                          : action == Action::Save ? "save"
                                                                   : "crawl",
                                          run.baseUrl, runDirectory.string()};
    if (action == Action::Save)
        arguments.push_back(run.baseUrl + "/uploads/2024/01/02/hostile0.jpg");
    run.child = RunChild(arguments, limit);
    run.outcome = ParseOutcome(run.child.output);
    return run;
}

long BaselinePeakKiB() {
    static const long peak = [] {
        TemporaryFolder folder;
        return RunCase({}, Action::Crawl, folder.Path(), seconds(60)).outcome.peakKiB;
    }();
    return peak;
}

class HostileSiteTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileSiteTest, EndsInTimeWithinMemoryAndShowsTheOutcome) {
    const HostileCase& c = GetParam();
    const long baseline = BaselinePeakKiB();
    TemporaryFolder folder;
    demo::SiteOptions options;
    options.hostileListings = c.listings;
    options.hostilePictures = c.pictures;
    const CaseRun run = RunCase(options, c.action, folder.Path(), c.limit);
    const ChildResult& child = run.child;
    const Outcome& outcome = run.outcome;

    ASSERT_TRUE(child.started);
    EXPECT_FALSE(child.timedOut) << "still running after " << c.limit.count() << " s";
    EXPECT_EQ(child.signal, 0) << "ended by signal " << child.signal;
    EXPECT_EQ(child.exitCode, 0);
    const long budget = baseline + static_cast<long>(3 * c.largestBody / 1024) +
                        static_cast<long>(RowStorage(run.baseUrl, outcome.rows) / 1024) + kSlackKiB;
    EXPECT_GT(outcome.peakKiB, 0);
    EXPECT_LE(outcome.peakKiB, budget) << "baseline " << baseline << " KiB";

    // Nothing outside the save folder, and in it only whole files.
    std::map<std::string, std::uint64_t> files;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        ASSERT_EQ(entry.path().filename(), kFolderUtf8) << "outside the save folder";
        for (const auto& file : fs::recursive_directory_iterator(entry.path())) {
            files[file.path().filename().string()] = file.is_regular_file() ? file.file_size() : 0;
        }
    }
    EXPECT_EQ(files.size(), c.expected.files.size());
    for (const auto& [name, size] : c.expected.files) {
        ASSERT_EQ(files.count(name), 1u) << name << " not saved";
        if (size == 0) {
            EXPECT_GT(files[name], 0u) << name;
        } else {
            EXPECT_EQ(files[name], size) << name;
        }
    }

    EXPECT_EQ(outcome.rows, c.expected.rows);
    const std::vector<std::string> accessFailed = {Gbk(u8"访问失败，请重试！")};
    if (c.expected.accessFailed) {
        EXPECT_EQ(outcome.messages, accessFailed);
    } else if (c.action == Action::Scrape) {
        EXPECT_TRUE(outcome.messages.empty());
    }
    for (const std::string& hint : c.expected.hints) {
        EXPECT_NE(std::find(outcome.hints.begin(), outcome.hints.end(), hint), outcome.hints.end())
            << "hint not shown: " << platform::GbkToUtf8(hint.substr(0, 80));
    }
    // Every row pairs a thumbnail of the page with the full-size address made from it.
    for (const auto& [row, texts] : outcome.listed) {
        if (c.listings.starts_with("long-thumbnail") && row == 1) {
            // Compared by length: a failure message would print 64 KiB of address.
            EXPECT_EQ(texts.second.size(), run.baseUrl.size() + 64 * 1024);
            EXPECT_TRUE(texts.first == run.baseUrl + "/uploads/2024/01/02/" + kLongName + ".jpg");
            continue;
        }
        const std::string thumbnail = demo::HostileThumbnailPath(row);
        EXPECT_EQ(texts.second, run.baseUrl + thumbnail) << "row " << row;
        EXPECT_EQ(texts.first,
                  run.baseUrl + "/uploads/2024/01/02/hostile" + std::to_string(row) + ".jpg");
    }
    if (c.expected.rows > 0) {
        EXPECT_EQ(outcome.listed.count(c.expected.rows - 1), 1u) << "last row not listed";
    }

    std::printf("ROW | %s | %.1f s | %ld MiB (budget %ld MiB) | %s\n", c.name,
                static_cast<double>(child.elapsed.count()) / 1000.0, outcome.peakKiB / 1024,
                budget / 1024, OutcomeText(outcome, files.size()).c_str());
}

Expected Rows(int rows) {
    Expected e;
    e.rows = rows;
    return e;
}
Expected AccessFailed() {
    Expected e;
    e.accessFailed = true;
    return e;
}
Expected PictureFailed() {
    Expected e;
    e.hints = {Hint(u8"图片下载失败", "hostile0")};
    return e;
}
Expected PictureSaved(std::uint64_t size) {
    Expected e;
    e.hints = {Hint(u8"图片数据保存完成", "hostile0")};
    e.files = {{"hostile0.jpg", size}};
    return e;
}
Expected LongAddress() {
    Expected e;
    e.rows = 3;
    e.hints = {Hint(u8"图片数据保存完成", "hostile0"), Hint(u8"图片下载失败", kLongName),
               Hint(u8"图片数据保存完成", "hostile2")};
    e.files = {{"hostile0.jpg", 0}, {"hostile2.jpg", 0}};
    return e;
}

// The size of the page listing a million thumbnails, one line each.
std::uint64_t ThumbnailsPageBytes(int count) {
    std::uint64_t bytes = 512;  // head and tail
    for (int k = 0; k < count; ++k) bytes += 30 + demo::HostileThumbnailPath(k).size();
    return bytes;
}

std::vector<HostileCase> Cases() {
    const std::uint64_t thumbnailsPage = ThumbnailsPageBytes(1000000);
    return {
        {"200 MB listing page", "huge-page?bytes=209715200", "", Action::Scrape, 200 * kMiB,
         seconds(60), Rows(3)},
        {"1 000 000 thumbnails", "many-thumbnails?count=1000000", "", Action::Scrape,
         thumbnailsPage, seconds(90), Rows(1000000)},
        {"500 MB picture", "", "huge-picture?bytes=524288000", Action::Save, 500 * kMiB,
         seconds(90), PictureSaved(500 * kMiB)},
        {"64 KB thumbnail address", "long-thumbnail?bytes=65536", "picture", Action::Crawl,
         64 * 1024, seconds(30), LongAddress()},
        // The page text ends at its first zero byte, which here hides the end of the picture list.
        // The page text ends at its first zero byte, which hides the end of the picture list.
        {"NUL bytes inside a page", "nul-bytes", "", Action::Scrape, 4096, seconds(30), Rows(0)},
        {"Content-Length above what is sent (page)", "short-body", "", Action::Scrape, 4096,
         seconds(30), Rows(3)},
        {"Content-Length above what is sent (picture)", "", "short-body", Action::Save, 4096,
         seconds(30), PictureFailed()},
        {"false chunk size (page)", "false-chunk", "", Action::Scrape, 4096, seconds(30), Rows(3)},
        {"false chunk size (picture)", "", "false-chunk", Action::Save, 4096, seconds(30),
         PictureFailed()},
        {"unrequested gzip (page)", "gzip", "", Action::Scrape, 4096, seconds(30), Rows(0)},
        {"unrequested gzip (picture)", "", "gzip", Action::Save, 4096, seconds(30),
         PictureFailed()},
        {"redirect loop (page)", "redirect-loop", "", Action::Scrape, 4096, seconds(30), Rows(0)},
        {"redirect loop (picture)", "", "redirect-loop", Action::Save, 4096, seconds(30),
         PictureFailed()},
        {"50 redirects (page)", "redirect-chain?n=50", "", Action::Scrape, 4096, seconds(30),
         Rows(0)},
        {"50 redirects (picture)", "", "redirect-chain?n=50", Action::Save, 4096, seconds(30),
         PictureFailed()},
        // Response heads this large are refused, as WinHTTP refuses them: no response.
        {"10 MB header block (page)", "huge-headers?bytes=10485760", "", Action::Scrape, 10 * kMiB,
         seconds(30), AccessFailed()},
        {"10 MB header block (picture)", "", "huge-headers?bytes=10485760", Action::Save, 10 * kMiB,
         seconds(30), PictureFailed()},
        {"100 000 Set-Cookie lines (page)", "many-cookies?count=100000", "", Action::Scrape,
         4 * kMiB, seconds(30), AccessFailed()},
        {"100 000 Set-Cookie lines (picture)", "", "many-cookies?count=100000", Action::Save,
         4 * kMiB, seconds(30), PictureFailed()},
        {"headers at one byte per 10 s (page)", "slow-headers?interval=10000", "", Action::Scrape,
         4096, seconds(45), AccessFailed()},
        {"headers at one byte per 10 s (picture)", "", "slow-headers?interval=10000", Action::Save,
         4096, seconds(30), PictureFailed()},
        {"close in the middle of the headers (page)", "close-in-headers", "", Action::Scrape, 4096,
         seconds(30), AccessFailed()},
        {"close in the middle of the headers (picture)", "", "close-in-headers", Action::Save, 4096,
         seconds(30), PictureFailed()},
    };
}

INSTANTIATE_TEST_SUITE_P(Matrix, HostileSiteTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string name;
                             for (char c : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

}  // namespace
}  // namespace lumeno::testing
