// Listings, picture names and listing page HTML of the local site.
#include "demo_site/site_catalog.h"

#include <cstdio>

#include "demo_site/demo_site.h"
#include "demo_site/picture_maker.h"
#include "platform/codepage/codepage.h"

namespace lumeno::demo {
namespace {

constexpr int kThumbWidth = 200, kThumbHeight = 120;
constexpr int kFullWidth = 1280, kFullHeight = 720;

// UTF-8 texts: every target compiles narrow literals to GBK, so Chinese is written as u8"".
std::string U8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::string ListingTitle(int listing) {
    static const char8_t* const kTitles[] = {u8"最新", u8"游戏", u8"动漫", u8"风景", u8"美女",
                                             u8"影视", u8"跑车", u8"萌物", u8"美食", u8"系统"};
    return U8(kTitles[listing]);
}

std::string ListingStem(int listing) {
    return listing == 0 ? std::string("home") : CategorySegments()[listing - 1];
}

std::string ListingFolder(int listing) {
    return listing == 0 ? std::string("/") : "/" + CategorySegments()[listing - 1] + "/";
}

std::string PageFileName(int page) {
    return page == 1 ? std::string("index.html") : "index_" + std::to_string(page) + ".html";
}

std::string TwoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n % 100);
    return buffer;
}

// Most names read "<stem>-p<page>-<kk>"; every sixth picture from the second on uses
// underscores and every sixth from the fifth on uses dots, characters a file name may hold.
std::string PictureName(int listing, int page, int k) {
    const std::string stem = ListingStem(listing);
    const std::string p = std::to_string(page), kk = TwoDigits(k);
    if (k % 6 == 2) return stem + "_p" + p + "_" + kk;
    if (k % 6 == 5) return stem + ".p" + p + "." + kk;
    return stem + "-p" + p + "-" + kk;
}

// Parses a positive decimal number that is the whole text.
int ParsePageNumber(const std::string& text) {
    if (text.empty() || text.size() > 6 || text[0] == '0') return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string PictureEntry::ThumbnailPath() const {
    return "/uploads/" + datePath + "/small" + name + digits + ".jpg";
}

std::string PictureEntry::FullSizePath() const {
    return "/uploads/" + datePath + "/" + name + ".jpg";
}

SiteCatalog::SiteCatalog(int pagesPerListing, int picturesPerPage)
    : pagesPerListing_(pagesPerListing < 1 ? 1 : pagesPerListing) {
    if (picturesPerPage < 0) picturesPerPage = 0;
    const int listings = 1 + static_cast<int>(CategorySegments().size());
    pictures_.resize(static_cast<size_t>(listings));
    for (int listing = 0; listing < listings; ++listing) {
        for (int page = 1; page <= pagesPerListing_; ++page) {
            std::vector<PictureEntry> entries;
            for (int k = 1; k <= picturesPerPage; ++k) {
                PictureEntry entry;
                entry.name = PictureName(listing, page, k);
                entry.datePath = "20" + TwoDigits(22 + (page - 1) / 28 % 8) + "/" +
                                 TwoDigits(listing + 1) + "/" + TwoDigits(1 + (page - 1) % 28);
                const std::uint32_t spread = (static_cast<std::uint32_t>(listing) * 7919U +
                                              static_cast<std::uint32_t>(page) * 104729U +
                                              static_cast<std::uint32_t>(k) * 1299709U) %
                                             100000000U;
                entry.digits = std::to_string(1600000000U + spread);
                entry.altUtf8 = ListingTitle(listing) + U8(u8"壁纸 第") + std::to_string(page) +
                                U8(u8"页 第") + std::to_string(k) + U8(u8"张");
                // Depends on the picture's place only, so every site shows the same picture.
                entry.seed = static_cast<std::uint32_t>(listing + 1) * 1000003U +
                             static_cast<std::uint32_t>(page) * 1009U +
                             static_cast<std::uint32_t>(k);
                images_[entry.ThumbnailPath()] = {kThumbWidth, kThumbHeight, entry.seed};
                images_[entry.FullSizePath()] = {kFullWidth, kFullHeight, entry.seed};
                entries.push_back(std::move(entry));
            }
            pictures_[static_cast<size_t>(listing)].push_back(std::move(entries));
        }
    }
    images_["/static/logo.jpg"] = {160, 60, 0xA0000001U};
    images_["/static/side-1.jpg"] = {120, 90, 0xA0000002U};
    images_["/static/side-2.jpg"] = {120, 90, 0xA0000003U};
}

std::optional<ListingPage> SiteCatalog::ParseListingPath(const std::string& path) const {
    if (path == "/") return ListingPage{0, 1};
    int listing = -1;
    std::string file;
    const size_t slash = path.find('/', 1);
    if (path.empty() || path[0] != '/') return std::nullopt;
    if (slash == std::string::npos) {
        listing = 0;
        file = path.substr(1);
    } else {
        const std::string segment = path.substr(1, slash - 1);
        const auto& segments = CategorySegments();
        for (size_t i = 0; i < segments.size(); ++i) {
            if (segments[i] == segment) listing = static_cast<int>(i) + 1;
        }
        if (listing < 0) return std::nullopt;
        file = path.substr(slash + 1);
    }
    if (file == "index.html") return ListingPage{listing, 1};
    const std::string prefix = "index_", suffix = ".html";
    if (file.size() <= prefix.size() + suffix.size() ||
        file.compare(0, prefix.size(), prefix) != 0 ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const int page =
        ParsePageNumber(file.substr(prefix.size(), file.size() - prefix.size() - suffix.size()));
    if (page < 2 || page > pagesPerListing_) return std::nullopt;
    return ListingPage{listing, page};
}

const std::vector<PictureEntry>& SiteCatalog::Pictures(ListingPage page) const {
    return pictures_.at(static_cast<size_t>(page.listing)).at(static_cast<size_t>(page.page - 1));
}

bool SiteCatalog::IsUtf8(int listing) const {
    const int segments = static_cast<int>(CategorySegments().size());
    return listing == segments - 1 || listing == segments;  // meishi, xitong
}

std::string SiteCatalog::PageHtml(ListingPage page) const {
    const bool utf8 = IsUtf8(page.listing);
    const std::string title = ListingTitle(page.listing);
    std::string html = "<!DOCTYPE html>\n<html>\n<head>\n";
    html += utf8 ? "<meta charset=\"utf-8\">\n"
                 : "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n";
    html += "<title>" + title + U8(u8"壁纸 - 第") + std::to_string(page.page) +
            U8(u8"页 - 本地壁纸站") + "</title>\n</head>\n<body>\n";
    html += "<div class=\"header\"><a href=\"/\"><img src=\"/static/logo.jpg\" alt=\"" +
            U8(u8"本地壁纸站") + "\"></a>\n<ul class=\"nav\">\n";
    for (int listing = 0; listing <= static_cast<int>(CategorySegments().size()); ++listing) {
        html += "<li><a href=\"" + ListingFolder(listing) + (listing == 0 ? "" : "index.html") +
                "\">" + ListingTitle(listing) + "</a></li>\n";
    }
    html += "</ul>\n</div>\n<div class=\"piclist clearfix\">\n<ul>\n";
    for (const PictureEntry& entry : Pictures(page)) {
        html += "<li><a href=\"" + ListingFolder(page.listing) + entry.name +
                ".html\" target=\"_blank\"><img src=\"" + entry.ThumbnailPath() + "\" alt=\"" +
                entry.altUtf8 + "\"><b>" + entry.altUtf8 + "</b></a></li>\n";
    }
    html += "</ul>\n</div>\n<div class=\"page\">";
    for (int p = 1; p <= pagesPerListing_; ++p) {
        html += "<a href=\"" + ListingFolder(page.listing) + PageFileName(p) + "\">" +
                std::to_string(p) + "</a>";
    }
    html += "</div>\n<div class=\"side\">\n<h3>" + U8(u8"热门推荐") + "</h3>\n";
    html += "<img src=\"/static/side-1.jpg\" alt=\"" + U8(u8"推荐") + "\">\n";
    html += "<img src=\"/static/side-2.jpg\" alt=\"" + U8(u8"推荐") + "\">\n</div>\n";
    html += "<div class=\"footer\">" + U8(u8"本地壁纸站 仅供测试") + "</div>\n</body>\n</html>\n";
    return utf8 ? html : platform::Utf8ToGbk(html);
}

std::optional<std::string> SiteCatalog::ImageBytes(const std::string& path) const {
    const auto spec = images_.find(path);
    if (spec == images_.end()) return std::nullopt;
    {
        std::lock_guard<std::mutex> lock(cacheMutex_);
        const auto cached = cache_.find(path);
        if (cached != cache_.end()) return cached->second;
    }
    // Encoded outside the lock so that one large picture does not hold up the others; two
    // threads asking at once produce identical bytes, and the first one stored wins.
    std::string bytes = MakeJpeg(spec->second.width, spec->second.height, spec->second.seed);
    std::lock_guard<std::mutex> lock(cacheMutex_);
    return cache_.emplace(path, std::move(bytes)).first->second;
}

}  // namespace lumeno::demo
