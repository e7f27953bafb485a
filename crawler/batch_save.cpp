// "下载全部": the save folder (beside the program, else in the user's pictures folder) and the
// save worker that downloads every listed picture into it, reporting progress in the hint
// label. A download that yields no picture, or a name that could point outside the folder,
// writes nothing and is counted as failed; files are written whole or not at all.
#include "crawler/category_table.h"
#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "crawler/show_hint.h"
#include "http/object_web_request.h"
#include "platform/system/folders.h"
#include "platform/system/worker_threads.h"
#include "util/responsive_delay.h"
#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace lumeno {
namespace {

constexpr int kDelayBetweenPicturesMs = 500;

enum class RowOutcome { Saved, DownloadFailed, SaveFailed };

bool IsSuccessStatus(int statusCode) {
    return statusCode >= 200 && statusCode <= 299;
}

}  // namespace

Text SavedFileName(const Text& address) {
    return TextBetween(address, "/", ".jpg", 41);
}

bool IsSafeFileName(const Text& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

bool LooksLikePicture(const ByteSet& bytes) {
    auto startsWith = [&bytes](std::initializer_list<std::uint8_t> magic) {
        return bytes.size() >= magic.size() &&
               std::equal(magic.begin(), magic.end(), bytes.begin());
    };
    return startsWith({0xFF, 0xD8, 0xFF}) ||                             // JPEG
           startsWith({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}) ||  // PNG
           startsWith({'G', 'I', 'F', '8'}) ||                           // GIF
           startsWith({'B', 'M'}) ||                                     // BMP
           startsWith({0x00, 0x00, 0x01, 0x00});                         // icon
}

bool Crawler::EnsureFolder(const Text& path) {
    const Text folder = RightText(path, 1) == "\\" ? path : path + "\\";
    return platform::MakeSureDirectoryPathExists(NativePath(folder));
}

Text Crawler::ChooseSaveFolder() const {
    // Whether files can be made is asked of the folder itself: a read-only install folder, a
    // read-only share or a file in the way all show there, for an administrator too.
    auto usable = [](const Text& folder) {
        return EnsureFolder(folder) && platform::CanCreateFilesIn(NativePath(folder));
    };
    const Text beside = SaveFolderPath();
    if (usable(beside)) return beside;
    const Text fallback = FallbackSaveFolderPath();
    if (!fallback.empty() && usable(fallback)) return fallback;
    return beside;
}

void Crawler::OnSaveAll() {
    const Text folder = ChooseSaveFolder();
    {
        std::lock_guard lock(state_.saveFolderMutex);
        state_.SaveFolder = folder;
    }
    StartThread([this] { SaveAllImages(); });
}

void Crawler::SaveAllImages() {
    // The worker keeps its own copy of the folder: a second save that finishes first empties
    // SaveFolder, which must not send this worker's files elsewhere.
    Text folder;
    {
        std::lock_guard lock(state_.saveFolderMutex);
        folder = state_.SaveFolder;
    }
    const int count = window_.ListRowCount(controls::ImageList);
    int failed = 0;
    for (int row = 0; row < count; ++row) {
        // Closing the window stops the save between pictures, never in the middle of a file.
        if (platform::ShutdownRequested()) return;

        const Text address = window_.ListCellText(controls::ImageList, row);
        const Text name = SavedFileName(address);
        ShowHint(window_, "读取 " + name);

        RowOutcome outcome = RowOutcome::SaveFailed;
        if (IsSafeFileName(name)) {
            int statusCode = 0;
            ObjectRequestOptions options;
            options.statusCode = &statusCode;
            const ByteSet bytes = ObjectWebRequest(address, options);
            if (bytes.empty() || !IsSuccessStatus(statusCode) || !LooksLikePicture(bytes)) {
                outcome = RowOutcome::DownloadFailed;
            } else if (!platform::ShutdownRequested() &&
                       WriteFileBytes(folder + name + ".jpg", bytes)) {
                outcome = RowOutcome::Saved;
            }
        }
        ResponsiveDelay(kDelayBetweenPicturesMs);

        switch (outcome) {
            case RowOutcome::Saved:
                ShowHint(window_, "图片数据保存完成 " + name);
                break;
            case RowOutcome::DownloadFailed:
                ++failed;
                ShowHint(window_, "图片下载失败 " + name);
                break;
            case RowOutcome::SaveFailed:
                ++failed;
                ShowHint(window_, "图片保存失败 " + name);
                break;
        }
    }

    Text question;
    if (failed == 0) {
        ShowHint(window_, "所有图片保存完成");
        question = "保存成功，是否打开文件夹查看？";
    } else {
        ShowHint(window_, "图片保存结束，失败 " + ToText(failed) + " 张");
        question = "部分图片保存失败（" + ToText(failed) + " 张），是否打开文件夹查看？";
    }
    if (window_.ShowMessageBox(question, kButtonsYesNo, "Kestrune - 提示") != kAnswerYes) return;

    window_.OpenWithShell(folder);
    for (const Category& category : kCategories) window_.SetDisabled(category.checkBox, 0);
    {
        // Emptying the lists waits for a crawl that is appending a page's rows.
        std::lock_guard lock(state_.pageThumbnailsMutex);
        window_.ClearListRows(controls::ImageList);
        window_.ClearListRows(controls::SourceList);
    }
    std::lock_guard lock(state_.saveFolderMutex);
    state_.SaveFolder.clear();
}

}  // namespace lumeno
