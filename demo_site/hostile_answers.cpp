// The hostile answers: generated pages and pictures streamed in blocks (so the site never holds
// a huge answer in memory), and raw answers written byte for byte on the connection.
#include "demo_site/hostile_answers.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "demo_site/picture_maker.h"

namespace lumeno::demo {
namespace {

constexpr std::uint64_t kMaxHostileBytes = 1ULL << 30;
constexpr std::size_t kBlock = 64 * 1024;
constexpr int kContentThumbnails = 3;
constexpr const char* kPageType = "text/html; charset=gbk";

const std::string kPageHead =
    "<!DOCTYPE html>\n<html>\n<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n"
    "<title>hostile</title>\n</head>\n<body>\n";
const std::string kListStart = "<div class=\"piclist clearfix\">\n<ul>\n";
const std::string kListEnd = "</ul>\n</div>\n<div class=\"side\">\n</div>\n</body>\n</html>\n";

std::string ThumbnailLine(const std::string& path) {
    return "<li><img src=\"" + path + "\" alt=\"x\"></li>\n";
}

// A listing page with `count` hostile thumbnails and `between` put after the second one.
std::string Page(int count, const std::string& between = {}) {
    std::string page = kPageHead + kListStart;
    for (int k = 0; k < count; ++k) {
        page += ThumbnailLine(HostileThumbnailPath(k));
        if (k == 1) page += between;
    }
    return page + kListEnd;
}

const std::string& SmallPicture() {
    static const std::string picture = MakeJpeg(64, 48, 7);
    return picture;
}

std::string Content(bool picture) {
    return picture ? SmallPicture() : Page(kContentThumbnails);
}
const char* ContentType(bool picture) {
    return picture ? "image/jpeg" : kPageType;
}

std::string Gzip(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string Head(const std::string& extraLines, bool picture, std::size_t length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + std::string(ContentType(picture)) + "\r\n" +
           extraLines + "Content-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}

// Streams `head`, then `fillerBytes` filler lines, then `tail`, in blocks.
void StreamPage(std::shared_ptr<const std::string> head, std::uint64_t fillerBytes,
                std::shared_ptr<const std::string> tail, httplib::Response& res) {
    res.set_content_provider(
        static_cast<size_t>(head->size() + fillerBytes + tail->size()), kPageType,
        [=](size_t, size_t, httplib::DataSink& sink) {
            if (!sink.write(head->data(), head->size())) return false;
            const std::string line = "<p>filler filler filler filler filler filler filler</p>\n";
            std::string block;
            while (block.size() + line.size() <= kBlock) block += line;
            for (std::uint64_t left = fillerBytes; left > 0;) {
                const std::size_t n =
                    static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
                if (!sink.write(block.data(), n)) return false;
                left -= n;
            }
            return sink.write(tail->data(), tail->size());
        });
}

void ManyThumbnails(std::uint64_t count, httplib::Response& res) {
    std::uint64_t length = kPageHead.size() + kListStart.size() + kListEnd.size();
    for (std::uint64_t k = 0; k < count; ++k)
        length += ThumbnailLine(HostileThumbnailPath(static_cast<int>(k))).size();
    res.set_content_provider(
        static_cast<size_t>(length), kPageType, [count](size_t, size_t, httplib::DataSink& sink) {
            std::string block = kPageHead + kListStart;
            for (std::uint64_t k = 0; k < count; ++k) {
                block += ThumbnailLine(HostileThumbnailPath(static_cast<int>(k)));
                if (block.size() >= kBlock) {
                    if (!sink.write(block.data(), block.size())) return false;
                    block.clear();
                }
            }
            block += kListEnd;
            return sink.write(block.data(), block.size());
        });
}

// JPEG start bytes, then filler: enough to pass for a picture by its leading bytes.
void HugePicture(std::uint64_t bytes, httplib::Response& res) {
    res.set_content_provider(
        static_cast<size_t>(bytes), "image/jpeg", [bytes](size_t, size_t, httplib::DataSink& sink) {
            std::string block(kBlock, '\0');
            for (std::size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<char>(i * 131 + 7);
            std::string first = block;
            first.replace(0, 4, "\xFF\xD8\xFF\xE0");
            for (std::uint64_t sent = 0; sent < bytes;) {
                const std::size_t n =
                    static_cast<std::size_t>(std::min<std::uint64_t>(bytes - sent, kBlock));
                if (!sink.write((sent == 0 ? first : block).data(), n)) return false;
                sent += n;
            }
            return true;
        });
}

// A raw answer: written as it is, then the connection is ended.
void Raw(const std::string& bytes, EndpointContext& context) {
    for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
        if (!context.writeRaw(bytes.substr(at, kBlock))) break;
    }
    context.abortConnection();
}

}  // namespace

std::string HostileThumbnailPath(int k) {
    return "/uploads/2024/01/02/smallhostile" + std::to_string(k) + "0123456789.jpg";
}

bool RespondHostile(const std::string& mode, const QueryList& query, bool picture,
                    EndpointContext& context, httplib::Response& res) {
    if (mode == "huge-page") {
        const std::uint64_t bytes = Number(query, "bytes", 200ULL << 20, kMaxHostileBytes);
        auto head = std::make_shared<const std::string>(kPageHead);
        std::string list = kListStart;
        for (int k = 0; k < kContentThumbnails; ++k) list += ThumbnailLine(HostileThumbnailPath(k));
        auto tail = std::make_shared<const std::string>(list + kListEnd);
        const std::uint64_t fixed = head->size() + tail->size();
        StreamPage(head, bytes > fixed ? bytes - fixed : 0, tail, res);
    } else if (mode == "many-thumbnails") {
        ManyThumbnails(Number(query, "count", 1000000, 20000000), res);
    } else if (mode == "long-thumbnail") {
        const std::uint64_t bytes = Number(query, "bytes", 64 * 1024, 16 << 20);
        const std::string start = "/uploads/2024/01/02/small", end = "0123456789.jpg";
        const std::string path =
            start +
            std::string(bytes > start.size() + end.size() ? bytes - start.size() - end.size() : 1,
                        'a') +
            end;
        std::string page = kPageHead + kListStart + ThumbnailLine(HostileThumbnailPath(0)) +
                           ThumbnailLine(path) + ThumbnailLine(HostileThumbnailPath(2)) + kListEnd;
        res.set_content(page, kPageType);
    } else if (mode == "nul-bytes") {
        res.set_content(Page(kContentThumbnails + 2, std::string(1, '\0')), kPageType);
    } else if (mode == "huge-picture") {
        HugePicture(Number(query, "bytes", 500ULL << 20, kMaxHostileBytes), res);
    } else if (mode == "picture" || mode == "page") {
        res.set_content(Content(picture), ContentType(picture));
    } else if (mode == "short-body") {
        auto content = std::make_shared<const std::string>(Content(picture));
        res.set_content_provider(content->size() * 2, ContentType(picture),
                                 [content](size_t, size_t, httplib::DataSink& sink) {
                                     sink.write(content->data(), content->size());
                                     return false;  // the library then drops the connection
                                 });
    } else if (mode == "false-chunk") {
        const std::string content = Content(picture);
        char size[32];
        std::snprintf(size, sizeof size, "%zx", content.size() * 2 + 4096);
        Raw("HTTP/1.1 200 OK\r\nContent-Type: " + std::string(ContentType(picture)) +
                "\r\nTransfer-Encoding: chunked\r\n\r\n" + size + "\r\n" + content +
                "\r\n0\r\n\r\n",
            context);
    } else if (mode == "gzip") {
        res.set_content(Gzip(Content(picture)), ContentType(picture));
        res.set_header("Content-Encoding", "gzip");
    } else if (mode == "redirect-loop") {
        res.set_redirect(picture ? "/hostile/redirect-loop?kind=picture" : "/hostile/redirect-loop",
                         302);
        res.set_content("<html><body>302</body></html>\n", "text/html");
    } else if (mode == "redirect-chain") {
        const std::uint64_t n = Number(query, "n", 50, 1000);
        if (n == 0) {
            res.set_content(Content(picture), ContentType(picture));
        } else {
            res.set_redirect("/hostile/redirect-chain?n=" + std::to_string(n - 1) +
                                 (picture ? "&kind=picture" : ""),
                             302);
            res.set_content("<html><body>302</body></html>\n", "text/html");
        }
    } else if (mode == "huge-headers") {
        const std::uint64_t bytes = Number(query, "bytes", 10ULL << 20, kMaxHostileBytes);
        const std::string content = Content(picture);
        std::string lines;
        for (int i = 0; lines.size() < bytes; ++i)
            lines += "X-Filler-" + std::to_string(i) + ": " + std::string(80, 'f') + "\r\n";
        Raw(Head(lines, picture, content.size()) + content, context);
    } else if (mode == "many-cookies") {
        const std::uint64_t count = Number(query, "count", 100000, 10000000);
        const std::string content = Content(picture);
        std::string lines;
        for (std::uint64_t i = 0; i < count; ++i)
            lines +=
                "Set-Cookie: c" + std::to_string(i) + "=v" + std::to_string(i) + "; path=/\r\n";
        Raw(Head(lines, picture, content.size()) + content, context);
    } else if (mode == "slow-headers") {
        const int interval = static_cast<int>(Number(query, "interval", 10000, 600000));
        const bool byLine = Param(query, "by") == "line";
        const std::string content = Content(picture);
        std::string lines;
        for (std::uint64_t i = 0, n = Number(query, "lines", 0, 10000); i < n; ++i)
            lines += "X-Slow-" + std::to_string(i) + ": 1\r\n";
        const std::string head = Head(lines, picture, content.size());
        for (std::size_t at = 0; at < head.size();) {
            const std::size_t n = byLine ? head.find('\n', at) + 1 - at : 1;
            if (!context.writeRaw(head.substr(at, n)) || !context.pause(interval)) {
                context.abortConnection();
                return true;
            }
            at += n;
        }
        Raw(content, context);
    } else if (mode == "close-in-headers") {
        Raw("HTTP/1.1 200 OK\r\nContent-Type: text/ht", context);
    } else {
        return false;
    }
    return true;
}

}  // namespace lumeno::demo
