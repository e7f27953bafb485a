// What the local site holds: its listings (the root and nine categories), the pictures each
// listing page shows, the HTML of every listing page and the bytes of every picture.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lumeno::demo {

struct PictureEntry {
    std::string name;      // file name stem of the full-size picture, unique on the site
    std::string datePath;  // "YYYY/MM/DD", always 10 characters
    std::string digits;    // the ten digits behind the name in the thumbnail's file name
    std::string altUtf8;   // Chinese caption, UTF-8
    std::uint32_t seed = 0;

    std::string ThumbnailPath() const;  // /uploads/YYYY/MM/DD/small<name><digits>.jpg
    std::string FullSizePath() const;   // /uploads/YYYY/MM/DD/<name>.jpg
};

struct ListingPage {
    int listing = 0;  // 0 = root, 1..9 = category in CategorySegments() order
    int page = 1;
};

class SiteCatalog {
public:
    SiteCatalog(int pagesPerListing, int picturesPerPage);

    // "/", "/index.html", "/index_N.html", "/<seg>/index.html", "/<seg>/index_N.html" with
    // 1 <= N <= pagesPerListing (page 1 only through the index.html forms).
    std::optional<ListingPage> ParseListingPath(const std::string& path) const;
    const std::vector<PictureEntry>& Pictures(ListingPage page) const;
    bool IsUtf8(int listing) const;
    // The page's HTML in the bytes it is served with (GBK or UTF-8).
    std::string PageHtml(ListingPage page) const;

    // Bytes of a picture or static image; nullopt when the path is none of them. Generated on
    // first use and cached; safe to call from several threads.
    std::optional<std::string> ImageBytes(const std::string& path) const;

private:
    struct ImageSpec {
        int width = 0;
        int height = 0;
        std::uint32_t seed = 0;
    };
    int pagesPerListing_;
    std::vector<std::vector<std::vector<PictureEntry>>> pictures_;  // [listing][page-1][k]
    std::map<std::string, ImageSpec> images_;
    mutable std::mutex cacheMutex_;
    mutable std::map<std::string, std::string> cache_;
};

}  // namespace lumeno::demo
