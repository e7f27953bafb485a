// One hostile-site case in a process of its own, so that its time and its memory peak are its
// own: hostile_client <scrape|save|crawl> <base URL> <run directory> [address ...]
//   scrape  scrapes listing page 1 (the root listing) into the lists
//   save    lists the addresses in ImageList and runs the save worker's loop on this thread
//   crawl   scrape, then save every row it listed
// Prints what the user would see, one item a line ("rows N", "row I <full> <thumbnail>" for the
// first three and the last row, "message <text>", "hint <text>", "ms <elapsed>"), with "\\",
// CR, LF and zero bytes escaped, then "peak_kib <VmHWM>".
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "platform/winhttp/winhttp.h"
#include "tests/hostile/row_window.h"

namespace {

using namespace lumeno;

std::string Escaped(const Text& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The peak resident set of this process (VmHWM) in KiB. Read here rather than from the parent's
// resource usage of the child, which also counts the parent's own pages up to the program start.
long PeakKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

void Print(const std::string& key, const std::string& value) {
    std::fwrite(key.data(), 1, key.size(), stdout);
    std::fputc(' ', stdout);
    std::fwrite(value.data(), 1, value.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: hostile_client scrape|save BASE_URL RUN_DIRECTORY [ADDRESS...]\n");
        return 2;
    }
    const std::string action = argv[1];
    platform::InitializeHttpEngine();
    testing::RowWindow window;
    window.SetContent(controls::编辑框4, argv[2]);  // the link box holds the site's address
    CrawlerState state;
    Crawler crawler(window, state, argv[2], argv[3], "");

    const auto start = std::chrono::steady_clock::now();
    if (action != "scrape" && action != "save" && action != "crawl") return 2;
    if (action != "save") crawler.ScrapeListingPage(1);
    if (action != "scrape") {
        for (int i = 4; i < argc; ++i) {
            const int row = window.AppendListRow(controls::ImageList);
            window.SetListCellText(controls::ImageList, row, 0, argv[i]);
        }
        // What "下载全部" does before it starts the worker, then the worker's loop.
        Crawler::EnsureFolder(crawler.SaveFolderPath());
        state.SaveFolder = crawler.SaveFolderPath();
        crawler.SaveAllImages();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;

    const std::vector<Text>& images = window.Rows(controls::ImageList);
    const std::vector<Text>& sources = window.Rows(controls::SourceList);
    const std::size_t listed = action == "save" ? 0 : sources.size();
    Print("rows", std::to_string(listed));
    for (std::size_t i = 0; i < listed; ++i) {
        if (i >= 3 && i + 1 != images.size()) continue;
        Print("row", std::to_string(i) + " " + Escaped(images[i]) + " " +
                         Escaped(i < sources.size() ? sources[i] : Text()));
    }
    for (const Text& message : window.Messages()) Print("message", Escaped(message));
    for (const Text& hint : window.Hints()) Print("hint", Escaped(hint));
    Print("peak_kib", std::to_string(PeakKiB()));
    Print("ms",
          std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
    std::fflush(stdout);
    return 0;
}
