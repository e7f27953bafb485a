// The local site's listing pages and pictures, fetched over loopback: page structure, charset
// declarations, thumbnails inside the picture list only, valid and distinct JPEGs, and the
// full-size address and file name that a crawler derives from each thumbnail.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demo_site/demo_site.h"
#include "tests/demo_site/http_fetch.h"
#include "tests/demo_site/jpeg_probe.h"

namespace lumeno::demo {
namespace {

using testing::Fetch;
using testing::ProbeJpeg;

const std::string kListStart = "<div class=\"piclist clearfix\">";
const std::string kListEnd = "<div class=\"side\">";

std::string PictureList(const std::string& page) {
    const size_t start = page.find(kListStart);
    if (start == std::string::npos) return {};
    const size_t end = page.find(kListEnd, start + kListStart.size());
    if (end == std::string::npos) return {};
    return page.substr(start + kListStart.size(), end - start - kListStart.size());
}

std::vector<std::string> ImageSources(const std::string& html) {
    std::vector<std::string> out;
    const std::string marker = "<img src=\"";
    for (size_t at = html.find(marker); at != std::string::npos; at = html.find(marker, at)) {
        at += marker.size();
        const size_t quote = html.find('"', at);
        if (quote == std::string::npos) break;
        out.push_back(html.substr(at, quote - at));
    }
    return out;
}

// Every "small" removed (any letter case), the last 14 bytes dropped, ".jpg" appended.
std::string DeriveFullSize(std::string address) {
    for (size_t i = 0; i + 5 <= address.size();) {
        std::string five = address.substr(i, 5);
        std::transform(five.begin(), five.end(), five.begin(), ::tolower);
        if (five == "small") {
            address.erase(i, 5);
        } else {
            ++i;
        }
    }
    address.resize(address.size() > 14 ? address.size() - 14 : 0);
    return address + ".jpg";
}

// Text after the first "/" at or after 1-based byte 41, up to the next ".jpg".
std::string SavedFileName(const std::string& address) {
    if (address.size() < 41) return {};
    const size_t slash = address.find('/', 40);
    if (slash == std::string::npos) return {};
    const size_t jpg = address.find(".jpg", slash + 1);
    if (jpg == std::string::npos) return {};
    return address.substr(slash + 1, jpg - slash - 1);
}

std::vector<std::string> AllListingPaths(int pages) {
    std::vector<std::string> out = {"/"};
    for (int p = 2; p <= pages; ++p) out.push_back("/index_" + std::to_string(p) + ".html");
    for (const std::string& seg : CategorySegments()) {
        out.push_back("/" + seg + "/index.html");
        for (int p = 2; p <= pages; ++p) {
            out.push_back("/" + seg + "/index_" + std::to_string(p) + ".html");
        }
    }
    return out;
}

class SitePagesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.Start()); }
    DemoSite site;
};

class ListingPageTest : public SitePagesTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ListingPageTest, ListsExactlyItsThumbnailsInsideThePictureList) {
    const auto page = Fetch(site.BaseUrl() + GetParam());
    ASSERT_EQ(page.code, CURLE_OK);
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.body, site.PictureBytes(GetParam()));

    const auto expected = site.ThumbnailPaths(GetParam());
    ASSERT_EQ(expected.size(), 6u);
    EXPECT_EQ(ImageSources(PictureList(page.body)), expected);

    // The logo comes before the list and the side images after it; neither is listed.
    const size_t listStart = page.body.find(kListStart);
    const size_t logo = page.body.find("<img src=\"/static/logo.jpg\"");
    ASSERT_NE(logo, std::string::npos);
    EXPECT_LT(logo, listStart);
    const size_t side = page.body.find(kListEnd);
    ASSERT_NE(side, std::string::npos);
    EXPECT_FALSE(ImageSources(page.body.substr(side)).empty());
    EXPECT_EQ(ImageSources(page.body).size(), expected.size() + 3);
}

INSTANTIATE_TEST_SUITE_P(RootAndCategories, ListingPageTest,
                         ::testing::Values("/", "/index_2.html", "/index_3.html",
                                           "/fengjing/index.html", "/fengjing/index_2.html",
                                           "/youxi/index_3.html", "/meishi/index.html",
                                           "/xitong/index_2.html"));

TEST_F(SitePagesTest, GbkPagesDeclareGb2312AndCarryGbkText) {
    const auto page = Fetch(site.BaseUrl() + "/fengjing/index.html");
    ASSERT_EQ(page.code, CURLE_OK);
    const std::string head = page.body.substr(0, 1024);
    EXPECT_NE(head.find("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"),
              std::string::npos);
    // Narrow literals are GBK bytes in this build.
    EXPECT_NE(page.body.find("风景壁纸"), std::string::npos);
    EXPECT_EQ(page.body.find(reinterpret_cast<const char*>(u8"风景")), std::string::npos);
}

TEST_F(SitePagesTest, Utf8CategoriesDeclareUtf8AndCarryUtf8Text) {
    for (const auto& [path, title] :
         {std::pair<std::string, std::string>{"/meishi/index.html",
                                              reinterpret_cast<const char*>(u8"美食壁纸")},
          {"/xitong/index_2.html", reinterpret_cast<const char*>(u8"系统壁纸")}}) {
        const auto page = Fetch(site.BaseUrl() + path);
        ASSERT_EQ(page.code, CURLE_OK) << path;
        EXPECT_NE(page.body.substr(0, 1024).find("<meta charset=\"utf-8\">"), std::string::npos)
            << path;
        EXPECT_NE(page.body.find(title), std::string::npos) << path;
        EXPECT_EQ(page.body.find("gb2312"), std::string::npos) << path;
    }
}

TEST_F(SitePagesTest, UnknownPathsAndPagesOutOfRangeAre404WithHtml) {
    for (const std::string path :
         {"/nothing-here", "/index_4.html", "/fengjing/index_4.html", "/fengjing/index_1.html",
          "/fengjing/index_02.html", "/gouwu/index.html", "/uploads/2022/04/01/missing.jpg"}) {
        const auto page = Fetch(site.BaseUrl() + path);
        ASSERT_EQ(page.code, CURLE_OK) << path;
        EXPECT_EQ(page.status, 404) << path;
        EXPECT_NE(page.body.find("<html>"), std::string::npos) << path;
        EXPECT_EQ(page.body.find(kListStart), std::string::npos) << path;
    }
}

TEST_F(SitePagesTest, ThumbnailsAndFullSizePicturesAreDistinctValidJpegs) {
    std::set<std::string> seen;
    const auto thumbs = site.ThumbnailPaths("/paoche/index_2.html");
    const auto fulls = site.FullSizePaths("/paoche/index_2.html");
    ASSERT_EQ(thumbs.size(), fulls.size());
    for (size_t i = 0; i < thumbs.size(); ++i) {
        const auto thumb = Fetch(site.BaseUrl() + thumbs[i]);
        const auto full = Fetch(site.BaseUrl() + fulls[i]);
        ASSERT_EQ(thumb.status, 200) << thumbs[i];
        ASSERT_EQ(full.status, 200) << fulls[i];
        EXPECT_NE(thumb.headerBlock.find("Content-Type: image/jpeg"), std::string::npos);
        const auto thumbInfo = ProbeJpeg(thumb.body), fullInfo = ProbeJpeg(full.body);
        EXPECT_TRUE(thumbInfo.valid);
        EXPECT_EQ(thumbInfo.width, 200);
        EXPECT_EQ(thumbInfo.height, 120);
        EXPECT_TRUE(fullInfo.valid);
        EXPECT_EQ(fullInfo.width, 1280);
        EXPECT_EQ(fullInfo.height, 720);
        EXPECT_EQ(full.body, site.PictureBytes(fulls[i]));
        EXPECT_TRUE(seen.insert(thumb.body).second) << thumbs[i];
        EXPECT_TRUE(seen.insert(full.body).second) << fulls[i];
    }
    EXPECT_TRUE(ProbeJpeg(Fetch(site.BaseUrl() + "/static/logo.jpg").body).valid);
}

TEST_F(SitePagesTest, DerivedFullSizeAddressOfEveryThumbnailExists) {
    size_t checked = 0;
    for (const std::string& listing : AllListingPaths(3)) {
        const auto thumbs = site.ThumbnailPaths(listing);
        const auto fulls = site.FullSizePaths(listing);
        ASSERT_EQ(thumbs.size(), fulls.size()) << listing;
        for (size_t i = 0; i < thumbs.size(); ++i) {
            const std::string derived = DeriveFullSize(site.BaseUrl() + thumbs[i]);
            EXPECT_EQ(derived, site.BaseUrl() + fulls[i]) << thumbs[i];
            ++checked;
        }
    }
    EXPECT_EQ(checked, 10u * 3u * 6u);
    // The site serves each derived picture; one per listing keeps the encoding time short.
    for (const std::string& listing : AllListingPaths(1)) {
        const std::string full = DeriveFullSize(site.ThumbnailPaths(listing).at(3));
        EXPECT_TRUE(ProbeJpeg(site.PictureBytes(full)).valid) << full;
    }
    // One of them over the wire, as a crawler would fetch it.
    const auto thumbs = site.ThumbnailPaths("/mengwu/index_3.html");
    const auto full = Fetch(DeriveFullSize(site.BaseUrl() + thumbs.back()));
    EXPECT_EQ(full.status, 200);
    EXPECT_TRUE(ProbeJpeg(full.body).valid);
}

TEST(SiteNamesTest, NamesAreUniqueAndTheSavedFileNameIsTheNameForShortBaseUrls) {
    DemoSite site;  // not started: the catalogue alone
    std::set<std::string> names;
    bool sawUnderscore = false, sawDot = false;
    for (const std::string& listing : AllListingPaths(3)) {
        for (const std::string& full : site.FullSizePaths(listing)) {
            const std::string name =
                full.substr(full.rfind('/') + 1, full.size() - full.rfind('/') - 5);
            std::string lower = full;
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            EXPECT_EQ(lower.find("small"), std::string::npos) << full;
            EXPECT_TRUE(names.insert(name).second) << name;
            sawUnderscore |= name.find('_') != std::string::npos;
            sawDot |= name.find('.') != std::string::npos;
            for (const std::string base :
                 {"http://127.0.0.1:8808", "http://127.0.0.1:18808", "https://127.0.0.1:18808"}) {
                EXPECT_EQ(SavedFileName(base + full), name) << base << full;
            }
        }
    }
    EXPECT_EQ(names.size(), 180u);
    EXPECT_TRUE(sawUnderscore);
    EXPECT_TRUE(sawDot);
}

TEST(SiteNamesTest, PicturesAreTheSameInEverySiteAndFollowTheOptions) {
    DemoSite first, second(SiteOptions{false, 0, 5, 2});
    const auto path = first.FullSizePaths("/meinv/index_2.html").at(1);
    EXPECT_EQ(first.PictureBytes(path), second.PictureBytes(path));
    EXPECT_EQ(second.ThumbnailPaths("/meinv/index_5.html").size(), 2u);
    EXPECT_TRUE(first.ThumbnailPaths("/meinv/index_5.html").empty());
    EXPECT_TRUE(first.PictureBytes("/uploads/none.jpg").empty());
}

}  // namespace
}  // namespace lumeno::demo
