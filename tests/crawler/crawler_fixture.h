// Shared set-up for the crawler tests: the local wallpaper site on a loopback port, an
// in-memory window, and a temporary run directory and pictures folder for the save folder.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "demo_site/demo_site.h"
#include "tests/support/fake_window_controls.h"

namespace lumeno::testing {

class CrawlerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Fills the window the way the window's start-up does: page boxes, link box.
    void SetPages(const Text& first, const Text& last);
    void Check(const char* box) { window.SetChecked(box, 1); }

    // Paths the site was asked for, in order.
    std::vector<std::string> RequestedPaths() const;
    std::vector<Text> ListColumn(const char* list);
    void AppendRow(const Text& imageAddress, const Text& thumbnailAddress = {});

    // Presses "下载全部" and waits (bounded) for its save worker to finish.
    void SaveAllAndWait();

    // The folder the save writes into, as a POSIX path, and its twin in the pictures folder.
    std::filesystem::path SaveDirectory() const;
    std::filesystem::path FallbackDirectory() const;
    std::vector<std::string> SavedFiles() const;
    std::vector<std::string> FilesIn(const std::filesystem::path& folder) const;

    std::unique_ptr<demo::DemoSite> site;
    FakeWindowControls window;
    CrawlerState state;
    std::filesystem::path runDirectory;
    std::filesystem::path picturesDirectory;  // the user's pictures folder of the test
    std::unique_ptr<Crawler> crawler;
};

}  // namespace lumeno::testing
