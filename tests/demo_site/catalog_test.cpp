// The local site's pieces without a network: listing path parsing, query parsing and the
// picture encoder.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "demo_site/endpoints.h"
#include "demo_site/picture_maker.h"
#include "demo_site/site_catalog.h"
#include "tests/demo_site/jpeg_probe.h"

namespace lumeno::demo {
namespace {

struct ListingCase {
    std::string path;
    int listing;  // -1: not a listing page
    int page;
};

class ListingPathTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListingPathTest, ParsesOnlyTheSiteAddresses) {
    const SiteCatalog catalog(3, 6);
    const auto parsed = catalog.ParseListingPath(GetParam().path);
    if (GetParam().listing < 0) {
        EXPECT_FALSE(parsed.has_value());
    } else {
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->listing, GetParam().listing);
        EXPECT_EQ(parsed->page, GetParam().page);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ListingPathTest,
    ::testing::Values(ListingCase{"/", 0, 1}, ListingCase{"/index.html", 0, 1},
                      ListingCase{"/index_2.html", 0, 2}, ListingCase{"/index_3.html", 0, 3},
                      ListingCase{"/index_4.html", -1, 0}, ListingCase{"/index_1.html", -1, 0},
                      ListingCase{"/index_0.html", -1, 0}, ListingCase{"/index_02.html", -1, 0},
                      ListingCase{"/index_x.html", -1, 0}, ListingCase{"/index_.html", -1, 0},
                      ListingCase{"/index_2.htm", -1, 0}, ListingCase{"/youxi/index.html", 1, 1},
                      ListingCase{"/fengjing/index_2.html", 3, 2},
                      ListingCase{"/xitong/index_3.html", 9, 3}, ListingCase{"/fengjing/", -1, 0},
                      ListingCase{"/fengjing", -1, 0}, ListingCase{"/FengJing/index.html", -1, 0},
                      ListingCase{"/fengjing/sub/index.html", -1, 0}, ListingCase{"", -1, 0},
                      ListingCase{"index.html", -1, 0}));

TEST(SiteCatalogTest, PageMarkersAppearOnceInOrder) {
    const SiteCatalog catalog(2, 4);
    for (int listing = 0; listing < 10; ++listing) {
        const std::string html = catalog.PageHtml({listing, 2});
        const size_t start = html.find("<div class=\"piclist clearfix\">");
        const size_t end = html.find("<div class=\"side\">");
        ASSERT_NE(start, std::string::npos);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LT(start, end);
        EXPECT_EQ(html.find("<div class=\"piclist clearfix\">", start + 1), std::string::npos);
        EXPECT_LT(html.find("charset="), 1024u);
        EXPECT_EQ(catalog.Pictures({listing, 2}).size(), 4u);
    }
}

TEST(QueryTest, KeepsOrderAndDecodes) {
    const QueryList parsed = ParseQuery("set=a%3D1&b=x+y&set=c&flag&&empty=");
    const QueryList expected = {
        {"set", "a=1"}, {"b", "x y"}, {"set", "c"}, {"flag", ""}, {"empty", ""}};
    EXPECT_EQ(parsed, expected);
    EXPECT_TRUE(ParseQuery("").empty());
}

TEST(PictureMakerTest, SameSeedSameBytesOtherSeedOtherBytes) {
    const std::string a = MakeJpeg(64, 48, 7), b = MakeJpeg(64, 48, 7), c = MakeJpeg(64, 48, 8);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    const auto info = testing::ProbeJpeg(a);
    EXPECT_TRUE(info.valid);
    EXPECT_EQ(info.width, 64);
    EXPECT_EQ(info.height, 48);
    EXPECT_TRUE(MakeJpeg(0, 10, 1).empty());
    EXPECT_TRUE(MakeJpeg(10, -1, 1).empty());
    EXPECT_FALSE(testing::ProbeJpeg("not a jpeg").valid);
}

}  // namespace
}  // namespace lumeno::demo
