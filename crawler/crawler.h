// The wallpaper crawler: the page loop and listing addresses, the listing scrape, the batch save
// and the preview. The window's event routines call OnStartCrawl, OnSaveAll and PreviewImage;
// the two workers run CrawlPages and SaveAllImages. Each routine lives in its own source file.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "crawler/crawler_state.h"
#include "util/window_controls.h"

namespace lumeno {

class Crawler {
public:
    // baseUrl: the site's scheme and host without a trailing slash, put in front of every
    // thumbnail address. runDirectory: the folder beside which "Lumeno图片 1080P" is made.
    // picturesDirectory: the user's pictures folder, where the save folder goes instead when
    // the one beside the program cannot be made or written (empty: no such place).
    Crawler(WindowControls& window, CrawlerState& state, Text baseUrl, Text runDirectory,
            Text picturesDirectory);

    // "开始爬虫": starts a crawl worker, then disables the nine category boxes.
    void OnStartCrawl();
    // Crawl worker: every page from 编辑框2 to 编辑框3.
    void CrawlPages();
    // Fetches one listing page and appends a row pair per thumbnail it lists.
    void ScrapeListingPage(int page);
    // The addresses fetched for a page, in order (empty for a page below 1).
    std::vector<Text> ListingAddresses(int page);
    // Steps after the fetch: cut the picture list, collect the thumbnails, append the rows.
    // Returns the number of row pairs appended.
    int AppendListingRows(Text pageText);

    // "下载全部": picks and makes the save folder, sets SaveFolder and starts a save worker.
    void OnSaveAll();
    // The folder a save writes into: SaveFolderPath() when it can be made and files created in
    // it, else FallbackSaveFolderPath() when that one can; SaveFolderPath() when neither can
    // (each picture is then counted as failed). Makes the folder it picks.
    Text ChooseSaveFolder() const;
    // Makes every missing folder of path (a trailing backslash is added when missing).
    static bool EnsureFolder(const Text& path);
    // Save worker: downloads every row of ImageList into the save folder.
    void SaveAllImages();

    // ImageList click: shows the thumbnail of the selected row in the picture box. Reads the
    // row and its SourceList address at once, then downloads on a worker, so a thumbnail that
    // is slow to come never holds up the window. The latest click decides what is shown: a
    // late answer to an earlier click is dropped, and an empty address clears the box at once.
    void PreviewImage();

    // The save folder path: the run directory followed by "\Lumeno图片 1080P\".
    Text SaveFolderPath() const;
    // The same-named folder in the user's pictures folder; empty when there is none.
    Text FallbackSaveFolderPath() const;

private:
    // Preview worker: downloads `address` and shows it unless a later click came meanwhile.
    void ShowPreview(const Text& address, std::uint64_t click);

    WindowControls& window_;
    CrawlerState& state_;
    const Text baseUrl_;
    const Text runDirectory_;
    const Text picturesDirectory_;

    // The number of the latest ImageList click. Held while a preview is handed to the picture
    // box, so the box receives the pictures in click order and a stale one never lands last.
    std::mutex previewMutex_;
    std::uint64_t latestPreview_ = 0;
};

// The file name of a full-size address: the text after the first "/" at or after byte 41, up
// to the next ".jpg"; empty when there is none.
Text SavedFileName(const Text& address);

// True for a name that can only land inside the save folder: not empty, not "." or "..", no
// "/" or "\", no control character.
bool IsSafeFileName(const Text& name);

// True when the bytes begin like a JPEG, PNG, GIF, BMP or icon file.
bool LooksLikePicture(const ByteSet& bytes);

}  // namespace lumeno
