// The local wallpaper site: a small HTTP/HTTPS server on the loopback interface that serves
// listing pages, generated JPEG pictures and a set of fault and test endpoints, and records every
// request it receives. Tests start one per case on an ephemeral port; the lumeno-demo-site
// executable serves the same site on a fixed port.
//
// Site layout (paths as requested):
//   /                         root listing, page 1        /index_N.html        root page N (N >= 2)
//   /<seg>/index.html         category page 1             /<seg>/index_N.html  category page N
//     seg: youxi donman fengjing meinv yingshi paoche mengwu meishi xitong
//     Pages declare their charset in a meta tag within the first 1024 bytes: GBK pages say
//     charset=gb2312, the meishi and xitong categories are UTF-8 and say charset="utf-8".
//     Each page holds a logo image before `<div class="piclist clearfix">`, then one
//     `<li><a href=...><img src="THUMB" alt="..."></a></li>` per picture, then `<div class="side">`
//     with more images after it.
//   /uploads/YYYY/MM/DD/small<name><10 digits>.jpg   thumbnail (JPEG, 200 x 120)
//   /uploads/YYYY/MM/DD/<name>.jpg                   full-size picture (JPEG, 1280 x 720)
//   /static/logo.jpg, /static/side-1.jpg, /static/side-2.jpg   decoration outside the list
//   Anything else: 404 with an HTML body.
//
// Test endpoints (query values are URL-decoded):
//   /fault/stall-headers?ms=N       reads the request, sends nothing for N ms, then a small 200
//   /fault/stall-body?bytes=N&total=T&ms=M
//                                   Content-Length T, N bytes, a pause of M ms, then the rest
//   /fault/cut-body?bytes=N&total=T Content-Length T, N bytes, then the connection is closed
//   /fault/slow-body?total=T&chunk=C&interval=MS
//                                   Content-Length T, C bytes every MS ms until T bytes are sent
//   /status/<code>                  that status (e.g. 404, 500) with an HTML body
//   /redirect?n=K                   302 to /redirect?n=K-1; n=0 answers 200 "redirect done"
//   /redirect-to?url=U              302 to U
//   /cookies?set=LINE&lset=LINE     one "Set-Cookie: LINE" header per set parameter and one
//                                   "set-cookie: LINE" header (lower-case name) per lset
//                                   parameter, in query order; body "cookies"
//   /size?bytes=N                   a GBK HTML page of exactly N bytes (over 512 MiB: 400)
//   /echo                           200, text/plain, body = the request's header lines exactly as
//                                   received (request line excluded), each ending in CR LF
//   /auth/basic?user=U&password=P   200 "authorized" when Authorization is Basic U:P, else 401
//                                   with WWW-Authenticate: Basic realm="lumeno"
//   /hostile/<mode>?...             answers of a site that means harm (hostile_answers.h)
//   Forward proxy: a request whose target is absolute-form (http://host:port/path) is recorded
//   with that target and answered as if /path had been asked.
//   Unreachable: RefusingPort() gives a loopback port where nothing listens.
// Stalls and slow bodies end at once when the site stops: Stop() never waits for them.
// Every request is recorded before its answer leaves, also one the server refuses to route (an
// unknown method gets 400 with an HTML body and the connection is closed after it).
// A port already in use is refused: Start() fails rather than sharing the port.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumeno::demo {

struct RecordedRequest {
    std::string method;
    std::string target;  // the request-target exactly as sent (origin-form or absolute-form)
    std::string path;    // path of the target without query, percent-decoding not applied
    // In the order received, names as sent, values without surrounding blanks.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string head;  // request line and header lines exactly as received, final CR LF included
};

struct SiteOptions {
    bool https = false;       // self-signed certificate for 127.0.0.1 made in memory at start
    int port = 0;             // 0 = ephemeral loopback port
    int pagesPerListing = 3;  // index.html, index_2.html, index_3.html per listing
    int picturesPerPage = 6;
    // A hostile mode ("mode" or "mode?query", see hostile_answers.h) that answers every listing
    // page, and one that answers every picture under /uploads/; empty for the ordinary site.
    std::string hostileListings{};
    std::string hostilePictures{};
};

// The nine category path segments in the order of the window's check boxes.
const std::vector<std::string>& CategorySegments();

class DemoSite {
public:
    explicit DemoSite(SiteOptions options = {});
    ~DemoSite();  // stops
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    // Binds 127.0.0.1 and returns once connections are accepted; false when the port is taken
    // or the certificate could not be made. A started site may not be started again.
    bool Start();
    // After Start returned false: why, as a sentence for the person who started the site
    // ("port 8808 on 127.0.0.1 is already in use by another program ...").
    std::string StartError() const;
    // Closes the listener and every open connection, stalled ones included, and joins the
    // server threads. Safe to call twice.
    void Stop();
    int Port() const;
    std::string BaseUrl() const;  // "http://127.0.0.1:<port>" ("https://" when https)

    std::vector<RecordedRequest> Requests() const;
    void ClearRequests();

    // What a listing page ("/", "/index_2.html", "/fengjing/index.html", ...) lists, in page
    // order, as site paths ("/uploads/..."). Empty for a path that is not a listing page.
    std::vector<std::string> ThumbnailPaths(const std::string& listingPath) const;
    std::vector<std::string> FullSizePaths(const std::string& listingPath) const;
    // The bytes the site serves for a path (pages, pictures, static images); empty when the
    // path is not part of the site.
    std::string PictureBytes(const std::string& path) const;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// A loopback port where nothing listens: bound to get a free number, then closed.
int RefusingPort();

}  // namespace lumeno::demo
